// One frame of the real renderer (BeginFrame, the scene's Draw, EndFrame with the hand-over of
// the pixels) for the menu and a play scene at several window sizes, drawn whole (every pixel
// cleared and drawn, as when the camera turns) and as a tick draws it (only where the waving
// flag moved); and the start-up cost of building the assets. Software OpenGL (Mesa llvmpipe)
// on this machine. Besides the wall time, each frame reports cpu_ms: processor time of all the
// process's threads (llvmpipe's own included), which is what a frame costs an idle machine.

#include "framework/scene.h"
#include "game/flag.h"
#include "graphics/opengl.h"
#include "graphics/outline_font.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "tests/setups/board_setups.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

namespace {

// Lends the renderer one buffer for every frame, as the view's sink does with its pool, so that
// frames are read straight into it.
class LendingSink final : public CFrameSink {
public:
    FrameMemory LendFrameMemory(std::int32_t width, std::int32_t height) override {
        image_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        return {image_.data(), std::ptrdiff_t{width} * 4};
    }
    void PresentFrame(const FramePixels& frame) override { benchmark::DoNotOptimize(frame.topRow); }

private:
    std::vector<std::uint8_t> image_;
};

COpenGL& Renderer() {
    static COpenGL renderer;
    static LendingSink sink;
    renderer.SetFrameSink(&sink);
    return renderer;
}

void WaveFlag() {
    InitFlag(Flag);
    ResetFlag(Flag, 0, 0, 0.05, 0.012, 0.004, 0.00002);
    for (int step = 0; step < 200; ++step)
        StepFlag(Flag);
}

enum SceneKind { kMenu, kPlay, kPlaceholder, kNothing, kMenuPicture, kMenuFlag, kBoard };

// A scene that draws nothing: the frame's fixed cost of clearing and handing over the pixels.
class CEmptyScene final : public CScene {
public:
    void Draw(CGraphics*) const override {}
};

// The parts of the menu and play frames alone, to see where a frame's time goes.
class CPartScene final : public CScene {
public:
    explicit CPartScene(std::int64_t kind) : kind_(kind) {}
    void Draw(CGraphics* graphics) const override {
        if (kind_ == kMenuPicture) graphics->DrawBackground(0);
        if (kind_ == kMenuFlag) {
            graphics->DrawFlag(0.714f, 0.31f, 0.715f, FlagPositions.data(), FlagNormals.data(),
                               true);
        }
        if (kind_ == kBoard) graphics->DrawBoard(PlayTable(), kCamera);
    }
    static PieceTable PlayTable() {
        PieceTable table = CrowdedTable();
        table[2].selected = 1;
        table[2].aim = -30;
        return table;
    }
    static constexpr double kCamera[2] = {30, 65};

private:
    std::int64_t kind_;
};

std::unique_ptr<CScene> MakeScene(std::int64_t kind, std::int32_t width, std::int32_t height) {
    ClientWidth = width;
    ClientHeight = height;
    if (kind == kMenu) return std::make_unique<CSceneMain>();
    if (kind == kPlaceholder) return std::make_unique<CScene>();
    if (kind == kNothing) return std::make_unique<CEmptyScene>();
    if (kind != kPlay) return std::make_unique<CPartScene>(kind);
    return std::make_unique<CScenePlay2>(CPartScene::PlayTable(), CameraAngles{30, 65}, kRed, 12,
                                         3);
}

// Processor time of every thread of the process so far, seconds.
double ProcessCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Draws `scenes` in turn, one a frame; `whole` clears and draws every pixel of each.
void DrawFrames(benchmark::State& state, const std::vector<std::unique_ptr<CScene>>& scenes,
                bool whole) {
    COpenGL& renderer = Renderer();
    renderer.DrawNextFrameWhole();
    std::size_t next = 0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        const CScene& scene = *scenes[next];
        next = (next + 1) % scenes.size();
        if (whole) renderer.DrawNextFrameWhole();
        renderer.BeginFrame(scene.width, scene.height);
        scene.Draw(&renderer);
        renderer.EndFrame();
    }
    state.counters["cpu_ms"] = benchmark::Counter((ProcessCpuSeconds() - cpuBefore) * 1000 /
                                                  static_cast<double>(state.iterations()));
}

void BM_Frame(benchmark::State& state) {
    WaveFlag();
    std::vector<std::unique_ptr<CScene>> scenes;
    scenes.push_back(MakeScene(state.range(0), static_cast<std::int32_t>(state.range(1)),
                               static_cast<std::int32_t>(state.range(2))));
    DrawFrames(state, scenes, true);
}
// Arguments: scene (0 menu, 1 play, 2 the placeholder's three lines of text, 3 nothing drawn:
// the fixed cost of clearing and reading back; 4 the menu's picture, 5 its flag, 6 the play
// frame's board, each alone), width, height.
BENCHMARK(BM_Frame)
    ->ArgNames({"scene", "w", "h"})
    ->Args({0, 900, 600})
    ->Args({0, 1500, 1000})
    ->Args({0, 1920, 1080})
    ->Args({1, 900, 600})
    ->Args({1, 1500, 1000})
    ->Args({1, 1920, 1080})
    ->Args({2, 1500, 1000})
    ->Args({3, 1500, 1000})
    ->Args({4, 1500, 1000})
    ->Args({5, 1500, 1000})
    ->Args({6, 1500, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The frames of an idle menu or play screen: each tick steps the flag ten times and makes a
// new scene, which differs from the last frame only where the cloth moved. A loop of 40
// ticks, so that every frame follows a different one.
void BM_TickFrame(benchmark::State& state) {
    WaveFlag();
    std::vector<std::unique_ptr<CScene>> scenes;
    for (int tick = 0; tick < 40; ++tick) {
        for (int step = 0; step < 10; ++step)
            StepFlag(Flag);
        scenes.push_back(MakeScene(state.range(0), static_cast<std::int32_t>(state.range(1)),
                                   static_cast<std::int32_t>(state.range(2))));
    }
    DrawFrames(state, scenes, false);
}
// Arguments: scene (0 menu, 1 play), width, height.
BENCHMARK(BM_TickFrame)
    ->ArgNames({"scene", "w", "h"})
    ->Args({0, 900, 600})
    ->Args({0, 1500, 1000})
    ->Args({1, 900, 600})
    ->Args({1, 1500, 1000})
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
