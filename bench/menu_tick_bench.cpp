// Threads: the benchmark thread is the user-interface thread; the queue's rendering thread
// draws into a graphics object that does nothing, and deletes the scenes.

#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene_fingerprint.h"
#include "framework/screen.h"
#include "game/flag.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "screens/screen_main.h"
#include "tests/fakes/silent_graphics.h"
#include "tests/setups/board_setups.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// One tick of the main menu on the user-interface thread: ten steps of the flag, then a new
// scene made and queued.
void BM_MenuTick(benchmark::State& state) {
    SilentGraphics graphics;
    CRenderQueue queue(graphics);
    SetProgramQueue(&queue);
    InitFlag(Flag);
    ScreenMain.Activate();
    for (auto _ : state)
        ScreenMain.OnTimer();
    SetProgramQueue(nullptr);
}
BENCHMARK(BM_MenuTick)->Unit(benchmark::kMicrosecond);

// What a repaint of an idle view costs the rendering thread instead of a frame: the scene's
// fingerprint, to compare with the last frame's. Argument: 0 the menu, 1 a play scene.
void BM_RepaintFingerprint(benchmark::State& state) {
    InitFlag(Flag);
    ClientWidth = 1500;
    ClientHeight = 1000;
    std::unique_ptr<CScene> scene;
    if (state.range(0) == 0) scene = std::make_unique<CSceneMain>();
    if (state.range(0) == 1) {
        scene = std::make_unique<CScenePlay2>(CrowdedTable(), CameraAngles{30, 65}, kRed, 12, 3);
    }
    SceneFingerprint drawn;
    SceneFingerprint next;
    drawn.Take(*scene);
    for (auto _ : state) {
        next.Take(*scene);
        benchmark::DoNotOptimize(next == drawn);
    }
}
BENCHMARK(BM_RepaintFingerprint)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
