// Threads: the benchmark thread plays; a scene queue's rendering thread draws the scenes into a
// graphics object that does nothing, and deletes them.

#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "game/flag.h"
#include "game/random.h"
#include "screens/screen_play1.h"
#include "screens/screen_play2.h"
#include "tests/fakes/silent_graphics.h"

#include <benchmark/benchmark.h>

namespace {

// A play screen made current with a scene queue behind it, as in the running game.
class PlayStage {
public:
    explicit PlayStage(CScreenPlay& screen) : queue_(graphics_) {
        InitBoardAndCamera(Board, Camera);
        InitFlag(Flag);
        SetRandState(1);
        SetProgramQueue(&queue_);
        screen.ResetTotalScore();
        screen.NewGame();
        SwitchScreen(&screen);
        screen.swingLength = 0;
    }
    ~PlayStage() { SetProgramQueue(nullptr); }

private:
    SilentGraphics graphics_;
    CRenderQueue queue_;
};

// One tick while pieces move: up to ten physics steps through a collision in White's row, ten
// flag steps, and the snapshot made and queued.
void BM_PlayTickWhilePiecesMove(benchmark::State& state) {
    PlayStage stage(ScreenPlay2);
    Velocity v = FlickVelocity(0, 2.5);
    Board[3].vx = v.vx;
    Board[3].vy = v.vy;
    ScreenPlay2.moving = 1;
    for (int tick = 0; tick < 6; ++tick)
        ScreenPlay2.OnTimer();
    const PieceTable inMotion = Board;
    for (auto _ : state) {
        Board = inMotion;
        ScreenPlay2.moving = 1;
        ScreenPlay2.OnTimer();
    }
}
BENCHMARK(BM_PlayTickWhilePiecesMove)->Unit(benchmark::kMicrosecond);

// The tick on which the computer chooses its shot from the opening position: the 50 trial
// shots, the swing set up, the redraw, then the shared tick.
void BM_ComputerChoosingTick(benchmark::State& state) {
    PlayStage stage(ScreenPlay1);
    ScreenPlay1.StartBattle(0, 0, kWhite);
    const PieceTable opening = Board;
    for (auto _ : state) {
        Board = opening;
        SetRandState(1);
        ScreenPlay1.computerPhase = kComputerThinking;
        ScreenPlay1.computerCountdown = 1;
        ScreenPlay1.OnTimer();
    }
}
// The opponent plays its trials on two threads: the time the user interface waits is wall time.
BENCHMARK(BM_ComputerChoosingTick)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
