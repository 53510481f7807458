// Threads: the benchmark thread queues scenes; the queue's rendering thread draws them into a
// graphics object that does nothing, and deletes them.

#include "framework/render_queue.h"
#include "screens/scene_main.h"
#include "tests/fakes/silent_graphics.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Making a menu scene: the allocation and the copy of the flag cloth.
void BM_MakeMenuScene(benchmark::State& state) {
    for (auto _ : state) {
        auto scene = std::make_unique<CSceneMain>();
        benchmark::DoNotOptimize(scene.get());
    }
}
BENCHMARK(BM_MakeMenuScene);

// Queueing a menu scene: making it and linking it in, as the user interface pays per frame.
void BM_QueueMenuScene(benchmark::State& state) {
    SilentGraphics graphics;
    CRenderQueue queue(graphics);
    for (auto _ : state)
        queue.QueueScene(std::make_unique<CSceneMain>());
}
BENCHMARK(BM_QueueMenuScene);

}  // namespace
