// How long a flick takes to reach the other machine: from ScreenPlayN.Flick on the Red host in
// this process to the moment the White machine, another process on this one (net_flick_receiver),
// hands it to its HandleFlickMessage, over 127.0.0.1. Both processes read the same system-wide
// monotonic clock, so the one-way time is measured directly, without a round trip.
//
// The argument is the other machine's tick in milliseconds: 50 as in the game, where a flick
// waits in the peer's queue for the next tick's pump, or 0, pumping as fast as it can, which
// leaves the transport alone (send, the other peer's service thread, its queue). Each flick is
// made after a random wait of up to one tick, untimed, so that it meets the other machine's
// tick at any phase, as a player's flick would: the wait for the tick then averages 25 ms.
// For steady figures run with --benchmark_min_time=2 --benchmark_repetitions=10 and read the
// medians; the counter p50_ms is the median flick of one run, which the run's mean (Time)
// hides when a few flicks meet a busy processor.
//
// Threads: the benchmark thread plays the host; the host's peer has its service thread.

#include "game/board.h"
#include "net/network_session.h"
#include "screens/screen_playn.h"
#include "tests/net/child_process.h"
#include "tests/net/free_port.h"

#include <algorithm>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstddef>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The Red host of a session in this process, joined by a White receiver process.
class LatencySession {
public:
    explicit LatencySession(int tickMs) : port_(FreeUdpPort()) {
        InitBoardAndCamera(Board, Camera);
        SetGamePort(port_);
        StartNetworkSession(1, "");
        ScreenPlayN.BeginSession(kRed);
        receiver_ = std::make_unique<ChildProcess>(
            BRIVEL_NET_FLICK_RECEIVER,
            std::vector<std::string>{"--port", std::to_string(port_), "--tick-ms",
                                     std::to_string(tickMs)});
    }
    ~LatencySession() {
        CloseNetworkSession();
        receiver_.reset();
    }

    /// True once both ends hold the connection.
    bool WaitJoined() {
        auto accepted = receiver_->WaitFor("MESSAGE", 10s);
        if (!accepted || accepted->text != "MESSAGE CONNECTION_REQUEST_ACCEPTED") return false;
        for (int i = 0; i < 500 && NetPeer->ConnectedCount() == 0; ++i)
            std::this_thread::sleep_for(2ms);
        return NetPeer->ConnectedCount() > 0;
    }

    /// Flicks a Red piece as the player would; the nanoseconds until the other machine took
    /// it, or a negative value if it never did.
    long long FlickAndWait(int piece) {
        std::size_t from = receiver_->Lines().size();
        ScreenPlayN.selectedPiece = piece;
        auto made = Clock::now();
        ScreenPlayN.Flick(2.0);
        auto took = receiver_->WaitFor("TOOK", 5s, from);
        if (!took) return -1;
        std::istringstream fields(took->text.substr(5));
        int tookPiece = -1;
        long long ns = 0;
        fields >> tookPiece >> ns;
        if (tookPiece != piece) return -1;
        return ns - std::chrono::duration_cast<std::chrono::nanoseconds>(made.time_since_epoch())
                        .count();
    }

private:
    std::uint16_t port_;
    std::unique_ptr<ChildProcess> receiver_;
};

void BM_FlickReachesTheOtherMachine(benchmark::State& state) {
    int tickMs = static_cast<int>(state.range(0));
    LatencySession session(tickMs);
    if (!session.WaitJoined()) {
        state.SkipWithError("the receiver did not join");
        return;
    }
    // One sequence for the whole program, so that each repetition meets other phases.
    static std::mt19937 random(7);
    // Without ticks there is no phase to meet: a short pause lets the acknowledgements pass.
    std::uniform_int_distribution<int> phaseUs(0, tickMs > 0 ? tickMs * 1000 : 200);
    std::vector<double> seconds;
    int flick = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(phaseUs(random)));
        long long ns = session.FlickAndWait(flick++ % kArmySize);
        if (ns < 0) {
            state.SkipWithError("a flick did not arrive");
            return;
        }
        seconds.push_back(static_cast<double>(ns) * 1e-9);
        state.SetIterationTime(seconds.back());
    }
    if (seconds.empty()) return;
    auto middle = seconds.begin() + static_cast<std::ptrdiff_t>(seconds.size() / 2);
    std::nth_element(seconds.begin(), middle, seconds.end());
    state.counters["p50_ms"] = *middle * 1e3;
}
BENCHMARK(BM_FlickReachesTheOtherMachine)
    ->ArgName("tick_ms")
    ->Arg(50)
    ->Arg(0)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
