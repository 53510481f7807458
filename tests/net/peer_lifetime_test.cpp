#include "net/reliable_udp_peer.h"
#include "tests/net/child_process.h"
#include "tests/net/peer_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>

// How connections end: an attempt that nobody answers, a side that closes, a machine that is
// killed, a foreign ENet client that leaves plainly, and the port that a closed host frees.
// The slow ones wait for real time-outs (5 to 8 s) and run in parallel under ctest -j2.

namespace {

/// A port on which nobody listens: one that a host has just given up.
std::uint16_t FreedPort() {
    ReliableUdpPeer peer;
    EXPECT_TRUE(peer.Startup(1, kTestUpdatePeriodMs, 0));
    return peer.BoundPort();
}

/// Waits for `expected` at `peer`, and returns how long it took in milliseconds.
double MillisecondsUntil(ReliableUdpPeer& peer, int expected, std::chrono::milliseconds limit) {
    Clock::time_point start = Clock::now();
    EXPECT_EQ(WaitForId(peer, limit), expected);
    return MillisecondsSince(start);
}

/// The child's first line of output within `limit`; empty when none came.
std::string FirstLine(ChildProcess& child, std::chrono::milliseconds limit) {
    std::optional<ChildProcess::Line> line = child.WaitFor("", limit);
    return line ? line->text : std::string();
}

}  // namespace

// An attempt that nobody answers is given up as failed after the connect time-out, once.
TEST(NetLifetime, ConnectingWhereNobodyListensFailsAfterTheConnectTimeOut) {
    std::unique_ptr<ReliableUdpPeer> client = StartConnecting(FreedPort());
    double waited = MillisecondsUntil(*client, kIdConnectionAttemptFailed, 8s);
    std::printf("connect failure reported after %.0f ms\n", waited);
    EXPECT_GE(waited, kConnectTimeoutMs - 500.0);
    EXPECT_LE(waited, 7000.0);
    EXPECT_TRUE(IdsHeardWithin(*client, 100ms).empty());
    EXPECT_EQ(client->ConnectedCount(), 0);
}

// Destroying either side tells the other at once that it closed its session.
TEST(NetLifetime, DestroyedOtherSideIsReportedClosedAtOnce) {
    for (bool destroyHost : {true, false}) {
        SCOPED_TRACE(destroyHost ? "host destroyed" : "client destroyed");
        std::unique_ptr<ReliableUdpPeer> host = StartHost();
        std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
        std::unique_ptr<ReliableUdpPeer>& gone = destroyHost ? host : client;
        ReliableUdpPeer& staying = destroyHost ? *client : *host;
        gone.reset();
        EXPECT_LT(MillisecondsUntil(staying, kIdDisconnectionNotification, 2s), 300.0);
        EXPECT_EQ(staying.ConnectedCount(), 0);
    }
}

// A destroyed host's port can be bound again at once, as a new game on the same port needs.
TEST(NetLifetime, DestroyedHostsPortCanBeBoundAgainAtOnce) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::uint16_t port = host->BoundPort();
    std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
    host.reset();
    ReliableUdpPeer again;
    EXPECT_TRUE(again.Startup(10, kTestUpdatePeriodMs, port));
    EXPECT_EQ(again.BoundPort(), port);
}

// A killed machine at either end is reported lost within the lost time-out, and not long
// before it: the silence, not a message, decides.
TEST(NetLifetime, KilledHostIsReportedLostWithinTheLostTimeOut) {
    ChildProcess child(BRIVEL_NET_PEER_CHILD, {"host"});
    std::string port = FirstLine(child, 5s);
    ASSERT_FALSE(port.empty());
    std::unique_ptr<ReliableUdpPeer> client =
        StartConnecting(static_cast<std::uint16_t>(std::stoi(port)));
    ASSERT_EQ(WaitForId(*client, 2s), kIdConnectionRequestAccepted);
    child.Kill();
    double waited = MillisecondsUntil(*client, kIdConnectionLost, 12s);
    std::printf("killed host reported lost after %.0f ms\n", waited);
    EXPECT_GE(waited, kLostTimeoutMs - 2000.0);
    EXPECT_LE(waited, kLostTimeoutMs);
}

TEST(NetLifetime, KilledClientIsReportedLostWithinTheLostTimeOut) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    ChildProcess child(BRIVEL_NET_PEER_CHILD, {"client", std::to_string(host->BoundPort())});
    ASSERT_EQ(FirstLine(child, 5s), std::to_string(kIdConnectionRequestAccepted));
    ASSERT_EQ(WaitForId(*host, 1s), kIdNewIncomingConnection);
    child.Kill();
    double waited = MillisecondsUntil(*host, kIdConnectionLost, 12s);
    std::printf("killed client reported lost after %.0f ms\n", waited);
    EXPECT_GE(waited, kLostTimeoutMs - 2000.0);
    EXPECT_LE(waited, kLostTimeoutMs);
    EXPECT_EQ(host->ConnectedCount(), 0);
}

// A foreign ENet client (Debian's Python binding) is taken like any other, and its plain
// disconnect, which gives no reason, is reported as a lost connection.
TEST(NetLifetime, ForeignClientThatLeavesPlainlyIsReportedLost) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    const std::string script =
        "import enet, sys\n"
        "h = enet.Host(None, 1, 2, 0, 0)\n"
        "h.connect(enet.Address(b'127.0.0.1', int(sys.argv[1])), 2)\n"
        "e = h.service(2000)\n"
        "while e.type == enet.EVENT_TYPE_CONNECT: e = h.service(2000)\n"
        "e.peer.disconnect()\n"  // once the host's welcome came
        "e = h.service(2000)\n"
        "print(e.type, flush=True)\n";
    ChildProcess python("/usr/bin/python3", {"-c", script, std::to_string(host->BoundPort())});
    EXPECT_EQ(FirstLine(python, 8s), "2");  // its own disconnect completed
    EXPECT_EQ(IdsHeardWithin(*host, 300ms),
              (std::vector<int>{kIdNewIncomingConnection, kIdConnectionLost}));
}
