#include "screens/scene_congr.h"

#include "game/rules.h"
#include "graphics/graphics.h"
#include "screens/scene_text.h"

#include <string_view>

CSceneCongr::CSceneCongr(std::int32_t result, std::int32_t points)
    : Result(result), Points(points) {}

void CSceneCongr::Draw(CGraphics* graphics) const {
    SetSceneColor(*graphics, kGold);
    std::string_view line = ResultText(Result);
    // The result texts are string literals, so the view ends with the literal's end mark.
    if (!line.empty()) {
        graphics->DrawString(0.1f, 0.8f, 0.1f, kResultHeightScale, line.data());
    }
    graphics->DrawFlag(0.5f, 0.35f, 0.6f, FlagPositions.data(), FlagNormals.data(), !IsWhiteWin());
    if (Points == 0) return;
    SetSceneColor(*graphics, IsWhiteWin() ? kWhiteArmyOlive : kRedArmyOrange);
    DrawRightAligned(*graphics, 0.76f, FormatPoints(Points));
}
