#include "screens/screen_congr.h"

#include "game/flag.h"
#include "screens/menu_tick.h"
#include "screens/scene_congr.h"
#include "screens/screen_main.h"

CScreenCongr ScreenCongr;

namespace {

// Nobody won (0), or the Red army lost the battle (2) or the GAME (5).
bool IsSadOutcome(std::int32_t result) {
    return result == 0 || result == 2 || result == 5;
}

}  // namespace

std::unique_ptr<CScene> CScreenCongr::CreateScene() {
    return std::make_unique<CSceneCongr>(Result, Points);
}

void CScreenCongr::Activate() {
    if (IsSadOutcome(Result)) {
        ResetFlag(Flag, 0, 0.3, 0.85, 0.0008, 0.0001, 0.0003);
    } else {
        ResetMenuFlag();
    }
}

void CScreenCongr::OnLButtonDown(std::int32_t, std::int32_t) {
    OnBack();
}

void CScreenCongr::OnTimer() {
    MenuScreenTick(this);
}

void CScreenCongr::OnBack() {
    if (ReturnScreen == nullptr) ReturnScreen = &ScreenMain;
    SwitchScreen(ReturnScreen);
}
