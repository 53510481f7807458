// Threads: the benchmark thread queues scenes; the queue's rendering thread draws them into a
// graphics object that does nothing, and deletes them.

#include "app/render_queue.h"
#include "graphics/graphics.h"
#include "screens/scene_main.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

// Draws nothing, so that only the user interface's share of a frame is measured.
class SilentGraphics final : public CGraphics {
public:
    float GetTextWidth(const char*) override { return 0; }
    void DrawString(float, float, float, float, const char*) override {}
    void SetColor(float, float, float) override {}
    void DrawMarker(float, float) override {}
    void DrawFlag(float, float, float, const float*, const float*, bool) override {}
    void DrawMedal(float, float, float) override {}
    void DrawGrid() override {}
    void DrawBackground(std::int32_t) override {}
    void DrawBoard(const PieceTable&, const double*) override {}
    std::int32_t PickPiece(const PieceTable&, const double*, std::int32_t, std::int32_t) override {
        return -1;
    }
};

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
