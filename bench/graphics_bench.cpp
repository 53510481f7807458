// One frame of the real renderer (BeginFrame, the scene's Draw, EndFrame with the hand-over of
// the pixels) for the menu and a play scene at two window sizes, and the start-up cost of
// building the assets. Software OpenGL (Mesa llvmpipe) on this machine.

#include "app/scene.h"
#include "game/flag.h"
#include "graphics/opengl.h"
#include "graphics/outline_font.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "tests/setups/board_setups.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

namespace {

// Copies each frame row by row into an image of its own, top row first, as the view does.
class CopyingSink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels& frame) override {
        const std::size_t rowBytes = static_cast<std::size_t>(frame.width) * 4;
        image_.resize(rowBytes * frame.height);
        for (int y = 0; y < frame.height; ++y) {
            std::memcpy(&image_[rowBytes * y], frame.topRow + y * frame.rowStride, rowBytes);
        }
        benchmark::DoNotOptimize(image_.data());
    }

private:
    std::vector<std::uint8_t> image_;
};

COpenGL& Renderer() {
    static COpenGL renderer;
    static CopyingSink sink;
    renderer.SetFrameSink(&sink);
    return renderer;
}

void WaveFlag() {
    InitFlag(Flag);
    ResetFlag(Flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
    for (int step = 0; step < 200; ++step)
        StepFlag(Flag);
}

enum SceneKind { kMenu, kPlay, kPlaceholder, kNothing };

// A scene that draws nothing: the frame's fixed cost of clearing and handing over the pixels.
class CEmptyScene final : public CScene {
public:
    void Draw(CGraphics*) const override {}
};

std::unique_ptr<CScene> MakeScene(std::int64_t kind, std::int32_t width, std::int32_t height) {
    WaveFlag();
    ClientWidth = width;
    ClientHeight = height;
    if (kind == kMenu) return std::make_unique<CSceneMain>();
    if (kind == kPlaceholder) return std::make_unique<CScene>();
    if (kind == kNothing) return std::make_unique<CEmptyScene>();
    PieceTable table = CrowdedTable();
    table[2].selected = 1;
    table[2].aim = -30;
    return std::make_unique<CScenePlay2>(table, CameraAngles{30, 65}, kRed, 12, 3);
}

void BM_Frame(benchmark::State& state) {
    COpenGL& renderer = Renderer();
    const auto scene = MakeScene(state.range(0), static_cast<std::int32_t>(state.range(1)),
                                 static_cast<std::int32_t>(state.range(2)));
    for (auto _ : state) {
        renderer.BeginFrame(scene.get());
        scene->Draw(&renderer);
        renderer.EndFrame();
    }
}
// Arguments: scene (0 menu, 1 play, 2 the placeholder's three lines of text, 3 nothing drawn:
// the fixed cost of clearing and reading back), width, height.
BENCHMARK(BM_Frame)
    ->ArgNames({"scene", "w", "h"})
    ->Args({0, 1500, 1000})
    ->Args({0, 1920, 1080})
    ->Args({1, 1500, 1000})
    ->Args({1, 1920, 1080})
    ->Args({2, 1500, 1000})
    ->Args({3, 1500, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The whole start-up of the renderer: the context, seven textures from the embedded JPEGs,
// the piece model, 255 extruded glyphs, the tables and the lights.
void BM_BuildAllAssets(benchmark::State& state) {
    for (auto _ : state) {
        COpenGL renderer;
        benchmark::DoNotOptimize(renderer.IsReady());
    }
}
BENCHMARK(BM_BuildAllAssets)->Unit(benchmark::kMillisecond)->UseRealTime();

// The shares of it that need no context: decoding the pictures and shaping the glyphs.
void BM_DecodePictures(benchmark::State& state) {
    const PictureSource pictures = EmbeddedPictures();
    const std::int32_t heights[] = {256, 1024, 512, 512, 256, 512, 512};
    TextureImage image;
    for (auto _ : state) {
        for (int k = 0; k < 7; ++k)
            PaintPicture(pictures(129 + k), heights[k], image);
        benchmark::DoNotOptimize(image.bgr.data());
    }
}
BENCHMARK(BM_DecodePictures)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShapeGlyphs(benchmark::State& state) {
    for (auto _ : state) {
        OutlineFont font;
        GlyphMetric metric;
        std::size_t triangles = 0;
        for (int code = 0; code < 255; ++code)
            triangles += font.Shape(code, metric).triangles.size();
        benchmark::DoNotOptimize(triangles);
    }
}
BENCHMARK(BM_ShapeGlyphs)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
