#pragma once

// Threads: drawn with on the rendering thread; PickPiece is asked on the user-interface thread
// and `pick` may be set from either, hence the atomic.

#include "graphics/graphics.h"

#include <atomic>
#include <cstdint>

/// A graphics object that draws nothing, for measuring and exercising everything but drawing.
/// PickPiece answers `pick` (no piece unless a test sets one).
class SilentGraphics final : public CGraphics {
public:
    float GetTextWidth(const char*) override { return 0; }
    void DrawString(float, float, float, float, const char*) override {}
    void SetColor(float, float, float) override {}
    void DrawMarker(float, float) override {}
    void DrawFlag(float, float, float, const float*, const float*, bool) override {}
    void DrawMedal(float, float, float) override {}
    void DrawGrid() override {}
    void DrawBackground(std::int32_t) override {}
    void DrawBoard(const PieceTable&, const double*) override {}
    std::int32_t PickPiece(const PieceTable&, const double*, std::int32_t, std::int32_t) override {
        return pick.load();
    }

    std::atomic<std::int32_t> pick{-1};
};
