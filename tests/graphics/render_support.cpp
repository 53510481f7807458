#include "tests/graphics/render_support.h"

#include <turbojpeg.h>

#include <cmath>
#include <cstdlib>
#include <numbers>

bool Near(Rgb a, Rgb b, int tolerance) {
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
           std::abs(a.b - b.b) <= tolerance;
}

void MemorySink::PresentFrame(const FramePixels& frame) {
    width = frame.width;
    height = frame.height;
    topFirst.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            topFirst[static_cast<std::size_t>(y) * width + x] = frame.At(x, y);
    }
    ++frames;
}

std::uint32_t MemorySink::Word(int x, int y) const {
    return topFirst[static_cast<std::size_t>(height - 1 - y) * width + x];
}

Rgb MemorySink::At(int x, int y) const {
    const std::uint32_t word = Word(x, y);
    return {static_cast<int>((word >> 16) & 0xff), static_cast<int>((word >> 8) & 0xff),
            static_cast<int>(word & 0xff)};
}

PictureSource TestPictures() {
    return EmbeddedPictures();
}

Rgb DecodedPicture::At(int x, int yFromTop) const {
    const unsigned char* p = &bgr[(static_cast<std::size_t>(yFromTop) * width + x) * 3];
    return {p[2], p[1], p[0]};
}

DecodedPicture DecodeTestPicture(int id) {
    const PictureBytes bytes = TestPictures()(id);
    DecodedPicture picture;
    tjhandle handle = tjInitDecompress();
    int subsampling = 0;
    int colourspace = 0;
    auto* data = const_cast<unsigned char*>(bytes.data());
    tjDecompressHeader3(handle, data, bytes.size(), &picture.width, &picture.height, &subsampling,
                        &colourspace);
    picture.bgr.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    tjDecompress2(handle, data, bytes.size(), picture.bgr.data(), picture.width, 0, picture.height,
                  TJPF_BGR, 0);
    tjDestroy(handle);
    return picture;
}

MemorySink& SharedSink() {
    static MemorySink sink;
    return sink;
}

COpenGL& SharedRenderer() {
    // Large enough for the 2000 x 1000 frames of the wide-window cases.
    static COpenGL renderer(kSharedSurfaceWidth, kSharedSurfaceHeight, TestPictures());
    renderer.SetFrameSink(&SharedSink());
    return renderer;
}

const MemorySink& RenderFrame(std::int32_t width, std::int32_t height,
                              const std::function<void(COpenGL&)>& draw) {
    COpenGL& renderer = SharedRenderer();
    renderer.BeginFrame(width, height);
    draw(renderer);
    renderer.EndFrame();
    return SharedSink();
}

PixelPoint CanvasToPixel(std::int32_t width, std::int32_t height, double u, double v) {
    const FrameProjection p = ComputeProjection(width, height);
    return {static_cast<int>((u - p.canvasLeft) / (p.canvasRight - p.canvasLeft) * p.width),
            static_cast<int>((v - p.canvasBottom) / (p.canvasTop - p.canvasBottom) * p.height)};
}

namespace {

using Vec4 = std::array<double, 4>;

// Applies the board view as OpenGL does: projection, back 1.5, tilt, turn, board centred.
Vec4 ToClip(const FrameProjection& p, const double camera[2], Vec4 v) {
    v[0] -= 0.5;
    v[1] -= 0.5;
    const double az = static_cast<float>(camera[0]) * std::numbers::pi / 180;
    const double tilt = static_cast<float>(-camera[1]) * std::numbers::pi / 180;
    v = {std::cos(az) * v[0] - std::sin(az) * v[1], std::sin(az) * v[0] + std::cos(az) * v[1], v[2],
         1};
    v = {v[0], std::cos(tilt) * v[1] - std::sin(tilt) * v[2],
         std::sin(tilt) * v[1] + std::cos(tilt) * v[2], 1};
    v[2] -= 1.5;
    const double f = 1 / std::tan(p.fieldOfView * std::numbers::pi / 360);
    const double nearPlane = 0.1, farPlane = 10;
    return {f / p.aspect * v[0], f * v[1],
            (farPlane + nearPlane) / (nearPlane - farPlane) * v[2] +
                2 * farPlane * nearPlane / (nearPlane - farPlane),
            -v[2]};
}

}  // namespace

Projected ProjectBoardPoint(std::int32_t width, std::int32_t height, const double camera[2],
                            double x, double y, double z) {
    const FrameProjection p = ComputeProjection(width, height);
    const Vec4 clip = ToClip(p, camera, {x, y, z, 1});
    return {(clip[0] / clip[3] + 1) / 2 * p.width, (clip[1] / clip[3] + 1) / 2 * p.height, clip[3]};
}

Rgb ClearColour() {
    return {0, 0, 77};
}
