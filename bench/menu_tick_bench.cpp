// Threads: the benchmark thread is the user-interface thread; the queue's rendering thread
// draws into a graphics object that does nothing, and deletes the scenes.

#include "app/program_queue.h"
#include "app/render_queue.h"
#include "app/screen.h"
#include "game/flag.h"
#include "graphics/graphics.h"
#include "screens/screen_main.h"

#include <benchmark/benchmark.h>

namespace {

// Draws nothing, so that only the user interface's share is measured.
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
