// Costs of the game core against its budget: a play tick is 50 ms of real time and runs up to
// ten physics steps, ten flag steps, and against the computer one whole ChooseShot (at Normal,
// and at Hard, which tries its good shots again to either side). Each choice
// is timed beside the literal step-by-step algorithm in the same run, so that the ratio of the
// two is read from one run of this program on one machine load.

#include "game/flag.h"
#include "game/opponent.h"
#include "game/physics.h"
#include "game/random.h"
#include "tests/game/literal_opponent.h"
#include "tests/setups/board_setups.h"

#include <algorithm>
#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

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

/// Counts of the position, as the last judged move left them.
CountsBefore CountsOf(const PieceTable& table) {
    return {CountAlive(table, kRed), CountAlive(table, kWhite)};
}

using ChooseFunction = std::int32_t (*)(OpponentState&, PieceTable&, std::uint8_t, CountsBefore);

std::int32_t NormalChoose(OpponentState& state, PieceTable& table, std::uint8_t side,
                          CountsBefore counts) {
    return ChooseShot(state, table, side, counts, OpponentLevel::Normal);
}

/// Hard draws from its own generator, so it meets new candidates on every call.
std::int32_t HardChoose(OpponentState& state, PieceTable& table, std::uint8_t side,
                        CountsBefore counts) {
    return ChooseShot(state, table, side, counts, OpponentLevel::Hard);
}

std::int32_t LiteralChoose(OpponentState& state, PieceTable& table, std::uint8_t side,
                           CountsBefore counts) {
    return LiteralChooseShot(state, table, side, counts);
}

/// The generator states that start 64 successive choices from the program's first state (each
/// choice draws six numbers per candidate), so that the game's choice and the literal one are
/// timed on the same 64 sets of candidates, whatever number of iterations each one runs.
constexpr int kChoiceCycle = 64;
std::vector<std::uint32_t> CycleStarts() {
    std::vector<std::uint32_t> starts;
    SetRandState(1);
    for (int n = 0; n < kChoiceCycle; ++n) {
        starts.push_back(RandState());
        for (int draw = 0; draw < 6 * kCandidateCount; ++draw)
            Rand();
    }
    return starts;
}

/// Wall time of each call, reported as the median and the 90th percentile next to the mean.
class CallTimes {
public:
    void Add(double seconds) { times_.push_back(seconds * 1e3); }
    void Report(benchmark::State& state) {
        std::sort(times_.begin(), times_.end());
        auto at = [this](std::size_t percent) {
            return times_[percent * (times_.size() - 1) / 100];
        };
        state.counters["p50_ms"] = at(50);
        state.counters["p90_ms"] = at(90);
        state.counters["max_ms"] = times_.back();
    }

private:
    std::vector<double> times_;
};

/// A whole choice of the computer on each of `positions` in turn, 50 trials to rest each, over a
/// cycle of 64 sets of candidates. Wall time: the game's choice plays its trials on two threads.
void ChooseOn(benchmark::State& state, const std::vector<PieceTable>& positions,
              ChooseFunction choose) {
    std::vector<std::uint32_t> starts = CycleStarts();
    OpponentState opponent;
    CallTimes times;
    std::int64_t call = 0;
    for (auto _ : state) {
        const PieceTable& position = positions[call % positions.size()];
        PieceTable table = position;
        SetRandState(starts[call % kChoiceCycle]);
        auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(choose(opponent, table, kRed, CountsOf(position)));
        times.Add(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        ++call;
    }
    times.Report(state);
}

/// Positions of ordinary play: two to six random flicks from the opening.
std::vector<PieceTable> PlayedPositions() {
    std::vector<PieceTable> positions;
    for (std::uint32_t seed = 1; seed <= 40; ++seed)
        positions.push_back(AfterRandomFlicks(seed, 2 + static_cast<int>(seed % 5)));
    return positions;
}

void BM_ChooseShotOpening(benchmark::State& state) {
    ChooseOn(state, {OpeningTable()}, NormalChoose);
}
void BM_HardChooseShotOpening(benchmark::State& state) {
    ChooseOn(state, {OpeningTable()}, HardChoose);
}
void BM_LiteralChooseShotOpening(benchmark::State& state) {
    ChooseOn(state, {OpeningTable()}, LiteralChoose);
}
void BM_ChooseShotCrowded(benchmark::State& state) {
    ChooseOn(state, {CrowdedTable()}, NormalChoose);
}
void BM_LiteralChooseShotCrowded(benchmark::State& state) {
    ChooseOn(state, {CrowdedTable()}, LiteralChoose);
}
void BM_ChooseShotLateGame(benchmark::State& state) {
    ChooseOn(state, {LateGameTable()}, NormalChoose);
}
void BM_LiteralChooseShotLateGame(benchmark::State& state) {
    ChooseOn(state, {LateGameTable()}, LiteralChoose);
}
void BM_ChooseShotAfterFlicks(benchmark::State& state) {
    ChooseOn(state, PlayedPositions(), NormalChoose);
}
void BM_HardChooseShotAfterFlicks(benchmark::State& state) {
    ChooseOn(state, PlayedPositions(), HardChoose);
}
void BM_LiteralChooseShotAfterFlicks(benchmark::State& state) {
    ChooseOn(state, PlayedPositions(), LiteralChoose);
}
BENCHMARK(BM_ChooseShotOpening)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HardChooseShotOpening)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiteralChooseShotOpening)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChooseShotCrowded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiteralChooseShotCrowded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChooseShotLateGame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiteralChooseShotLateGame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ChooseShotAfterFlicks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HardChooseShotAfterFlicks)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LiteralChooseShotAfterFlicks)->Unit(benchmark::kMillisecond)->UseRealTime();

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
