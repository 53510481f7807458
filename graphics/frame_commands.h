#pragma once

// Threads: the thread that draws (the rendering thread in the game); no sharing.

#include "game/board.h"
#include "game/flag.h"
#include "graphics/graphics.h"
#include "graphics/outline_font.h"
#include "graphics/projection.h"

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

/// A rectangle of window pixels, x0 <= x < x1 and y0 <= y < y1, rows counted from the bottom.
struct PixelBox {
    std::int32_t x0 = 0;
    std::int32_t y0 = 0;
    std::int32_t x1 = 0;
    std::int32_t y1 = 0;

    bool IsEmpty() const { return x1 <= x0 || y1 <= y0; }
    std::int64_t Area() const;
    /// The smallest box holding both (an empty box adds nothing).
    void Add(const PixelBox& other);
    /// The part inside `bounds`.
    PixelBox Within(const PixelBox& bounds) const;
};

/// The drawing operations of one frame in their order, every argument kept by value (texts,
/// the flag's points and normals, the piece table), so that the frame can be drawn after the
/// caller's arrays have gone and compared with the frame before it. Reused from frame to
/// frame without allocating once its buffers have grown.
class FrameCommands {
public:
    using Op = DrawOp;
    /// One operation: its numbers (x, y and the scales or size, as the operation takes them),
    /// an integer (the background index, or 1 for the red flag) and its bytes in Payload.
    struct Command {
        Op op = Op::kGrid;
        std::array<float, 4> numbers{};
        std::int32_t index = 0;
        std::uint32_t payloadStart = 0;
        std::uint32_t payloadSize = 0;
    };

    void Clear();
    void AddString(float x, float y, float scaleX, float scaleY, const char* text);
    void AddColor(float r, float g, float b);
    void AddMarker(float x, float y);
    void AddFlag(float x, float y, float scale, const float* positions, const float* normals,
                 bool red);
    void AddMedal(float x, float y, float size);
    void AddGrid();
    void AddBackground(std::int32_t index);
    void AddBoard(const PieceTable& pieces, const double camera[2]);

    const std::vector<Command>& Commands() const { return commands_; }
    /// The text of a string, with its end.
    const char* Text(const Command& command) const;
    /// The 780 floats of the flag's points, then its 780 normals.
    const float* FlagPositions(const Command& command) const;
    const float* FlagNormals(const Command& command) const;
    /// The board's piece table and camera angles.
    PieceTable Pieces(const Command& command) const;
    std::array<double, 2> Camera(const Command& command) const;

    /// True when command `i` of this frame and command `j` of `other` draw the same.
    bool SameAs(std::size_t i, const FrameCommands& other, std::size_t j) const;
    void Swap(FrameCommands& other);

private:
    void AddPayload(const void* data, std::size_t size);
    Command& Add(Op op);

    std::vector<Command> commands_;
    std::vector<std::uint8_t> payload_;
};

/// The window pixels that command `i` of `frame` can change in a frame of `projection`'s size,
/// with a margin against rounding; nothing when that cannot be told (the background, the
/// board, the grid, the colour, and whatever comes after the board, which leaves the
/// model-view matrix moved). Texts are bounded by `glyphs`.
std::optional<PixelBox> CommandPixels(const FrameCommands& frame, std::size_t i,
                                      const FrameProjection& projection,
                                      const GlyphMetricsTable& glyphs);

/// The pixels that must be drawn again to turn the picture of `before` into that of `now`,
/// both of `projection`'s size: the boxes of the commands that differ, before and after; the
/// whole frame when the lists differ in length or kind, or a difference has no box. Every
/// other pixel is met by the same commands in the same order in both frames, so it keeps its
/// value. Empty when the frames are the same.
PixelBox ChangedPixels(const FrameCommands& before, const FrameCommands& now,
                       const FrameProjection& projection, const GlyphMetricsTable& glyphs);
