// A game peer in a process of its own, for the tests that kill the machine at the other end.
// `net_peer_child host` hosts on a free port and prints the port; `net_peer_child client PORT`
// connects to 127.0.0.1 on PORT and prints the first identifier it hears. Then it waits to be
// killed, and leaves by itself after a minute so that a failed test leaves nothing behind.

#include "net/reliable_udp_peer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

using namespace std::chrono_literals;

namespace {

int FirstIdHeard(ReliableUdpPeer& peer) {
    for (int wait = 0; wait < 10000; ++wait) {
        if (std::unique_ptr<NetPacket> packet = peer.Receive()) return packet->data[0];
        std::this_thread::sleep_for(1ms);
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    ReliableUdpPeer peer;
    if (std::string(argv[1]) == "host") {
        if (!peer.Startup(10, 30, 0)) return 1;
        peer.SetMaximumIncomingConnections(10);
        std::printf("%u\n", peer.BoundPort());
    } else {
        if (argc < 3 || !peer.Startup(1, 30, 0)) return 1;
        if (!peer.Connect("127.0.0.1", static_cast<std::uint16_t>(std::atoi(argv[2])))) return 1;
        std::printf("%d\n", FirstIdHeard(peer));
    }
    std::fflush(stdout);
    std::this_thread::sleep_for(60s);
    return 0;
}
