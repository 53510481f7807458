#pragma once

#include <cstddef>
#include <cstdint>

/// One finished frame as the renderer hands it over. The pixels are 32-bit words 0xffRRGGBB
/// (the byte order blue, green, red, 255 in memory: Qt's RGB32 layout).
struct FramePixels {
    const std::uint8_t* topRow = nullptr;  ///< first byte of the top row of the picture
    std::ptrdiff_t rowStride = 0;  ///< bytes from one row to the row below it; negative when the
                                   ///< rows lie bottom-up in memory, as OpenGL reads them
    std::int32_t width = 0;        ///< pixels
    std::int32_t height = 0;       ///< pixels

    /// The word of pixel (x, y), y counted from the top; both must be inside the frame.
    std::uint32_t At(std::int32_t x, std::int32_t y) const;
};

/// Where `EndFrame` delivers each frame: the game's view, or an in-memory target in tests.
/// Runs on the thread that draws (the rendering thread); the pixels are valid only during the
/// call, so a sink that keeps them copies them. The frame may be smaller than the scene when
/// the scene is larger than the drawing surface: it is then the bottom-left part of the picture.
class CFrameSink {
public:
    /// Receives a finished frame; must also ask the view to repaint, so that scenes keep coming.
    virtual void PresentFrame(const FramePixels& frame) = 0;

protected:
    ~CFrameSink() = default;  // the sink is owned by whoever installs it
};
