// Threads: the benchmark thread is the user-interface thread; the queue's rendering thread
// draws into a graphics object that does nothing, and deletes the scenes.

#include "app/program_queue.h"
#include "app/render_queue.h"
#include "app/screen.h"
#include "game/flag.h"
#include "screens/screen_main.h"
#include "tests/fakes/silent_graphics.h"

#include <benchmark/benchmark.h>

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

}  // namespace
