#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

/// A rectangle of a frame's pixels, x from the left and y from the top.
struct FrameRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

/// One finished frame as the renderer hands it over. The pixels are 32-bit words 0xffRRGGBB
/// (the byte order blue, green, red, 255 in memory: Qt's RGB32 layout).
struct FramePixels {
    const std::uint8_t* topRow = nullptr;  ///< first byte of the top row of the picture
    std::ptrdiff_t rowStride = 0;  ///< bytes from one row to the row below it; negative when the
                                   ///< rows lie bottom-up in memory, as OpenGL reads them
    std::int32_t width = 0;        ///< pixels
    std::int32_t height = 0;       ///< pixels
    /// The part that differs from the frame handed to the same sink before (outside it every
    /// pixel is the same); none when that is not known, and then the whole frame may differ.
    std::optional<FrameRect> changed;

    /// The word of pixel (x, y), y counted from the top; both must be inside the frame.
    std::uint32_t At(std::int32_t x, std::int32_t y) const;
};

/// Memory a sink lends the renderer for the next frame: rows top first, `rowStride` bytes apart
/// (a multiple of 4, at least 4 x width).
struct FrameMemory {
    std::uint8_t* topRow = nullptr;  ///< null: the sink lends nothing
    std::ptrdiff_t rowStride = 0;
};

/// Where `EndFrame` delivers each frame: the game's view, or an in-memory target in tests.
/// Runs on the thread that draws (the rendering thread); the pixels are valid only during the
/// call, so a sink that keeps them copies them, or lends the memory they are read into. The
/// frame may be smaller than the scene when the scene is larger than the drawing surface: it
/// is then the bottom-left part of the picture.
class CFrameSink {
public:
    /// Memory for the next frame of width x height pixels, asked just before it is read back;
    /// the frame is then read straight into it, and PresentFrame names the same memory, unless
    /// the renderer cannot read rows top first (it then presents memory of its own, bottom row
    /// first). By default nothing is lent.
    virtual FrameMemory LendFrameMemory(std::int32_t width, std::int32_t height) {
        (void)width;
        (void)height;
        return {};
    }
    /// Receives a finished frame; must also ask the view to repaint, so that scenes keep coming.
    virtual void PresentFrame(const FramePixels& frame) = 0;

protected:
    ~CFrameSink() = default;  // the sink is owned by whoever installs it
};
