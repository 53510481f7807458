// The other machine of the flick latency benchmark, reduced to its network session: it joins
// the host as White and pumps the session as the play screen's tick does, every N milliseconds
// or, with 0, as fast as it can. Each flick that reaches HandleFlickMessage is stamped with the
// system-wide monotonic clock, which the benchmark process reads too, and handed on to the real
// network play screen.
//
//   net_flick_receiver --port P --tick-ms N
//
// Prints "MESSAGE <text>" for each box the session shows (CONNECTION_REQUEST_ACCEPTED once
// joined) and "TOOK <piece> <nanoseconds>" for each flick taken.
// Threads: the main thread pumps, as the user-interface thread does.

#include "framework/message_box.h"
#include "net/network_session.h"
#include "screens/screen_playn.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <sys/prctl.h>
#include <thread>

namespace {

class PrintingMessageBox final : public CMessageBox {
public:
    void Show(std::string_view text) override {
        std::printf("MESSAGE %.*s\n", static_cast<int>(text.size()), text.data());
        std::fflush(stdout);
        ended = ended || text != "CONNECTION_REQUEST_ACCEPTED";
    }
    bool ended = false;  ///< the attempt failed or the host went away
};

// Stamps each flick before the play screen takes it.
class StampingReceiver final : public FlickReceiver {
public:
    void HandleFlickMessage(const FlickMessage& message) override {
        auto now = std::chrono::steady_clock::now().time_since_epoch();
        long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count();
        ScreenPlayN.HandleFlickMessage(message);
        std::printf("TOOK %d %lld\n", message.piece, ns);
        std::fflush(stdout);
    }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5 || std::string_view(argv[1]) != "--port" ||
        std::string_view(argv[3]) != "--tick-ms") {
        std::fprintf(stderr, "usage: net_flick_receiver --port P --tick-ms N\n");
        return 2;
    }
    // Never outlives the benchmark, whatever becomes of it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    auto tick = std::chrono::milliseconds(std::atoi(argv[4]));
    PrintingMessageBox messages;
    SetMessageBox(&messages);
    InitBoardAndCamera(Board, Camera);
    SetGamePort(static_cast<std::uint16_t>(std::atoi(argv[2])));
    StartNetworkSession(0, "127.0.0.1");
    ScreenPlayN.BeginSession(kWhite);
    StampingReceiver receiver;
    // Until the benchmark closes its session or kills this one, and ten minutes at most.
    auto start = std::chrono::steady_clock::now();
    auto end = start + std::chrono::minutes(10);
    for (auto next = start; std::chrono::steady_clock::now() < end; next += tick) {
        // Polling, it still lets the peer's own thread have the processor when it needs it.
        if (tick.count() > 0)
            std::this_thread::sleep_until(next);
        else
            std::this_thread::yield();
        PumpNetwork(receiver);
        if (messages.ended) break;
    }
    CloseNetworkSession();
    SetMessageBox(nullptr);
    return 0;
}
