#pragma once

#include "graphics/frame_sink.h"
#include "graphics/opengl.h"

#include <cstdint>
#include <functional>
#include <vector>

/// A colour read back from a frame, 0 to 255 each.
struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};
/// True when every component of `a` is within `tolerance` of `b`.
bool Near(Rgb a, Rgb b, int tolerance);

/// An in-memory frame target that keeps a copy of the last frame it was given.
class MemorySink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels& frame) override;
    /// Pixel (x, y) with y counted from the bottom, as OpenGL counts it.
    Rgb At(int x, int y) const;
    /// The whole 32-bit word of pixel (x, y), y from the bottom.
    std::uint32_t Word(int x, int y) const;

    std::int32_t width = 0;
    std::int32_t height = 0;
    int frames = 0;
    std::vector<std::uint32_t> topFirst;  ///< the last frame, top row first
};

/// The pictures the renderer is built with in the tests: the game's own.
PictureSource TestPictures();
/// The picture with the given id decoded top row first, for comparing texels with pixels.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr;
    Rgb At(int x, int yFromTop) const;
};
DecodedPicture DecodeTestPicture(int id);

inline constexpr std::int32_t kSharedSurfaceWidth = 2048;
inline constexpr std::int32_t kSharedSurfaceHeight = 1280;
/// One renderer shared by every test of the program (its assets take a while to build),
/// delivering into `SharedSink()`.
COpenGL& SharedRenderer();
MemorySink& SharedSink();

/// Draws one frame of width x height pixels with `draw` between BeginFrame and EndFrame, and
/// returns the sink that received it.
const MemorySink& RenderFrame(std::int32_t width, std::int32_t height,
                              const std::function<void(COpenGL&)>& draw);

/// The window pixel (from the bottom-left) where canvas point (u, v) lands in a frame of
/// width x height pixels.
struct PixelPoint {
    int x = 0;
    int y = 0;
};
PixelPoint CanvasToPixel(std::int32_t width, std::int32_t height, double u, double v);

/// The window position (from the bottom-left, fractional) of board point (x, y, z) seen
/// through the camera {azimuth, elevation} in a frame of width x height pixels; depth is the
/// distance along the view direction.
struct Projected {
    double x = 0;
    double y = 0;
    double depth = 0;
};
Projected ProjectBoardPoint(std::int32_t width, std::int32_t height, const double camera[2],
                            double x, double y, double z);

/// The clear colour (0, 0, 0.3) as read back.
Rgb ClearColour();
