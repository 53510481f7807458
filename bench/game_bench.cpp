// Costs of the game core against its budget: a play tick is 50 ms of real time and runs up to
// ten physics steps, ten flag steps, and against the computer one whole ChooseShot.

#include "game/flag.h"
#include "game/opponent.h"
#include "game/physics.h"
#include "game/random.h"
#include "tests/setups/board_setups.h"

#include <benchmark/benchmark.h>

namespace {

/// One physics step, averaged over a whole opening flick (the table is reset at rest).
void BM_StepPhysicsOpeningFlick(benchmark::State& state) {
    PieceTable start = OpeningTable();
    Launch(start, 4, 3, 9.9);
    PieceTable table = start;
    std::int32_t falls = 0;
    for (auto _ : state) {
        if (!StepPhysics(table, falls)) table = start;
        benchmark::DoNotOptimize(table);
    }
}
BENCHMARK(BM_StepPhysicsOpeningFlick);

/// One trial shot played to rest at the fastest trial speed.
void BM_TryShotFastest(benchmark::State& state) {
    PieceTable table = OpeningTable();
    ShotCandidate candidate;
    candidate.shooter = 12;
    candidate.aim = 178;
    candidate.trialSpeed = 9.9;
    for (auto _ : state) {
        TryShot(candidate, table);
        benchmark::DoNotOptimize(candidate);
    }
}
BENCHMARK(BM_TryShotFastest)->Unit(benchmark::kMicrosecond);

/// A whole choice of the computer: 50 trials to rest. The generator runs on from call to call,
/// so the iterations cover many different sets of candidates.
void ChooseShotOn(benchmark::State& state, const PieceTable& position, CountsBefore counts) {
    OpponentState opponent;
    SetRandState(1);
    for (auto _ : state) {
        PieceTable table = position;
        benchmark::DoNotOptimize(ChooseShot(opponent, table, kRed, counts));
    }
}

void BM_ChooseShotOpening(benchmark::State& state) {
    ChooseShotOn(state, OpeningTable(), {8, 8});
}
BENCHMARK(BM_ChooseShotOpening)->Unit(benchmark::kMillisecond);

void BM_ChooseShotCrowded(benchmark::State& state) {
    PieceTable table = CrowdedTable();
    ChooseShotOn(state, table, {CountAlive(table, kRed), CountAlive(table, kWhite)});
}
BENCHMARK(BM_ChooseShotCrowded)->Unit(benchmark::kMillisecond);

/// One flick's velocity through the game's own sine and cosine, over aims across the game's range.
void BM_FlickVelocity(benchmark::State& state) {
    double aim = -1440;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FlickVelocity(aim, 6.5));
        aim = aim < 1440 ? aim + 0.37 : -1440;
    }
}
BENCHMARK(BM_FlickVelocity);

/// The flag's share of a tick: ten steps.
void BM_TenFlagSteps(benchmark::State& state) {
    FlagCloth flag;
    InitFlag(flag);
    for (auto _ : state) {
        for (int step = 0; step < 10; ++step)
            StepFlag(flag);
        benchmark::DoNotOptimize(flag);
    }
}
BENCHMARK(BM_TenFlagSteps)->Unit(benchmark::kMicrosecond);

}  // namespace
