#pragma once

#include "app/scene.h"

#include <cstdint>

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
