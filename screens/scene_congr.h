#pragma once

#include "framework/scene.h"

#include <cstdint>

/// Height scale of the result line, on its baseline at v 0.8. The face's tallest marks (the
/// dot of the i, the ascenders) stand about 0.8 of the scale above the baseline and its tails
/// 0.2 below: at 0.3 the line's top was cut off by the top of the view, and a lower baseline
/// would put the tail of "army" on the flag. At 0.23 the whole line fits between the two.
inline constexpr float kResultHeightScale = 0.23f;

/// The result picture: the line naming the outcome, the winner's flag, and the points won.
class CSceneCongr : public CScene {
public:
    /// Takes the client size, the flag cloth, the result code (0 to 6; others show no line)
    /// and the points (0 shows none).
    CSceneCongr(std::int32_t result, std::int32_t points);

    void Draw(CGraphics* graphics) const override;

    std::int32_t Result;
    std::int32_t Points;

private:
    bool IsWhiteWin() const { return Result == 3 || Result == 6; }
};
