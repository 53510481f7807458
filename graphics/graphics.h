#pragma once

#include "game/board.h"

#include <cstdint>

/// One name for each drawing operation of CGraphics (DrawString to DrawBoard, SetColor as
/// kColor), for whatever records the calls.
enum class DrawOp : std::uint8_t {
    kString,
    kColor,
    kMarker,
    kFlag,
    kMedal,
    kGrid,
    kBackground,
    kBoard,
};
/// How many there are: the first number free for other tags.
inline constexpr std::uint8_t kDrawOpCount = static_cast<std::uint8_t>(DrawOp::kBoard) + 1;

/// The drawing interface through which every picture of the game is made. Flat drawing uses
/// canvas coordinates: u from 0 (left) to 1.5 (right) of a 3:2 design rectangle, v from 0
/// (bottom) to 1 (top), widened on two sides to fill the view. Three-dimensional drawing uses
/// board space: the board's top is [0, 1] x [0, 1] at z = 0.
///
/// Threads: the drawing operations (BeginFrame to DrawBoard) run only on the rendering thread,
/// between BeginFrame and EndFrame, under RenderLock; PickPiece runs only on the user-interface
/// thread through PickLocked, also under RenderLock, so no two operations ever run at once.
/// GetTextWidth touches no drawing state and may be called at any time.
class CGraphics {
public:
    CGraphics() = default;
    CGraphics(const CGraphics&) = delete;
    CGraphics& operator=(const CGraphics&) = delete;

    /// Starts a frame of width x height pixels (the size of the scene it will show): it begins
    /// cleared, with the flat projection.
    virtual void BeginFrame(std::int32_t width, std::int32_t height) {
        (void)width;
        (void)height;
    }
    /// Finishes the frame (the drawing may happen only now) and hands it to the view.
    virtual void EndFrame() {}
    /// Width of `text` in ems: the sum of each byte's glyph advance, before any scaling.
    virtual float GetTextWidth(const char* text) = 0;
    /// Draws `text` with its origin at canvas (x, y), ems scaled by scaleX and scaleY.
    virtual void DrawString(float x, float y, float scaleX, float scaleY, const char* text) = 0;
    /// Current colour (0 to 1 each, alpha 1) for texts, markers and the grid.
    virtual void SetColor(float r, float g, float b) = 0;
    /// Diamond knob centred on canvas (x, y) in the current colour.
    virtual void DrawMarker(float x, float y) = 0;
    /// The waving flag: 260 points of three floats each, row x 13 + column, positions and
    /// normals; the pole edge at canvas (x, y), cloth units scaled by `scale`.
    virtual void DrawFlag(float x, float y, float scale, const float* positions,
                          const float* normals, bool red) = 0;
    /// Square medal picture with its lower-left corner at canvas (x, y).
    virtual void DrawMedal(float x, float y, float size) = 0;
    /// Layout grid over the design rectangle.
    virtual void DrawGrid() = 0;
    /// Full-screen picture over the design rectangle: 0 main menu, 1 settings.
    virtual void DrawBackground(std::int32_t index) = 0;
    /// The board with its pieces, shadows and aim arrows; camera[0] azimuth, camera[1]
    /// elevation, degrees. Leaves the model-view matrix set for the board, so it comes last.
    virtual void DrawBoard(const PieceTable& pieces, const double camera[2]) = 0;
    /// Index of the alive piece under window pixel (x, y) (origin bottom-left), or -1.
    virtual std::int32_t PickPiece(const PieceTable& pieces, const double camera[2], std::int32_t x,
                                   std::int32_t y) = 0;

protected:
    ~CGraphics() = default;  // never deleted through this interface
};
