#include "net/reliable_udp_peer.h"

#include "tests/net/peer_harness.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

#include <cstdio>
#include <thread>

// Connections and messages between peers over real sockets on 127.0.0.1, each peer with its
// own service thread as in the game. Hosts take a free port and clients connect to it.

namespace {

/// Message `index` of a numbered stream: the flick identifier, then the index and bytes that
/// follow from it, `length` in all (a few of them the longest a peer takes).
std::vector<std::uint8_t> NumberedMessage(int index, std::size_t length) {
    std::vector<std::uint8_t> message(length);
    message[0] = kIdFlickMessage;
    for (std::size_t at = 1; at < length; ++at) {
        message[at] = static_cast<std::uint8_t>(index * 31 + static_cast<int>(at) * 7);
    }
    return message;
}

std::size_t LengthOf(int index) {
    return index % 50 == 7 ? kMaxMessageBytes : 2 + index % 40;
}

/// Receives `count` messages from `peer` and checks each against the numbered stream.
void ExpectNumberedStream(ReliableUdpPeer& peer, int count) {
    for (int index = 0; index < count; ++index) {
        std::unique_ptr<NetPacket> packet = WaitForPacket(peer, 3s);
        ASSERT_NE(packet, nullptr) << "message " << index << " never came";
        ASSERT_EQ(packet->data, NumberedMessage(index, LengthOf(index))) << "message " << index;
    }
}

}  // namespace

// A client's connection is reported as accepted at the client and as new at the host, once.
TEST(NetConnect, ClientHearsAcceptedAndHostHearsNewIncoming) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
    EXPECT_EQ(host->ConnectedCount(), 1);
    EXPECT_EQ(client->ConnectedCount(), 1);
    EXPECT_TRUE(IdsHeardWithin(*host, 200ms).empty());
    EXPECT_TRUE(IdsHeardWithin(*client, 0ms).empty());
}

// Hundreds of messages sent both ways at once arrive whole, byte for byte and in order.
TEST(NetMessages, ArriveByteExactAndInOrderBothWays) {
    constexpr int kCount = 300;
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
    for (int index = 0; index < kCount; ++index) {
        host->Send(NumberedMessage(index, LengthOf(index)));
        client->Send(NumberedMessage(index, LengthOf(index)));
    }
    ExpectNumberedStream(*client, kCount);
    ExpectNumberedStream(*host, kCount);
}

// A Send leaves at once and the other side's thread wakes for it: the one-way time is far
// below the update period that a send or a wake left to the next tick would add.
TEST(NetMessages, OneWayLatencyIsFarBelowTheUpdatePeriod) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
    std::vector<double> times;
    for (int index = 0; index < 300; ++index) {
        Clock::time_point start = Clock::now();
        client->Send(NumberedMessage(index, 24));
        std::unique_ptr<NetPacket> packet;
        while (packet == nullptr && MillisecondsSince(start) < 1000) {
            packet = host->Receive();
            std::this_thread::yield();
        }
        ASSERT_NE(packet, nullptr);
        times.push_back(MillisecondsSince(start));
    }
    std::sort(times.begin(), times.end());
    double median = times[times.size() / 2];
    std::printf("one-way latency: median %.3f ms, 90th percentile %.3f ms\n", median,
                times[times.size() * 9 / 10]);
    EXPECT_LT(median, kTestUpdatePeriodMs / 6.0);
}

// A host's message reaches every client; a client's reaches the host and no other client.
TEST(NetMessages, HostReachesEveryClientAndAClientOnlyTheHost) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::unique_ptr<ReliableUdpPeer> first = ConnectedClient(*host);
    std::unique_ptr<ReliableUdpPeer> second = ConnectedClient(*host);
    EXPECT_EQ(host->ConnectedCount(), 2);
    for (int index = 0; index < 20; ++index)
        host->Send(NumberedMessage(index, LengthOf(index)));
    ExpectNumberedStream(*first, 20);
    ExpectNumberedStream(*second, 20);

    first->Send(NumberedMessage(0, LengthOf(0)));
    ExpectNumberedStream(*host, 1);
    EXPECT_TRUE(IdsHeardWithin(*second, 200ms).empty());
}

// A host takes clients up to its limit; each one beyond it hears exactly "no free incoming
// connections" (never "accepted" first), and the host hears nothing of it.
TEST(NetLimit, ClientsBeyondTheLimitHearOnlyNoFreeIncoming) {
    for (int limit : {0, 10}) {
        SCOPED_TRACE(testing::Message() << "limit " << limit);
        std::unique_ptr<ReliableUdpPeer> host = StartHost(limit);
        std::vector<std::unique_ptr<ReliableUdpPeer>> clients;
        for (int taken = 0; taken < limit; ++taken)
            clients.push_back(ConnectedClient(*host));
        // Two in turn: the first one's slot is free again for the second.
        for (int extra = 0; extra < 2; ++extra) {
            std::unique_ptr<ReliableUdpPeer> turnedAway = StartConnecting(host->BoundPort());
            EXPECT_EQ(IdsHeardWithin(*turnedAway, 600ms),
                      std::vector<int>{kIdNoFreeIncomingConnections});
            EXPECT_EQ(turnedAway->ConnectedCount(), 0);
        }
        EXPECT_TRUE(IdsHeardWithin(*host, 0ms).empty());
        EXPECT_EQ(host->ConnectedCount(), limit);
    }
}

// A message sent before anyone is connected reaches nobody, not even a client that comes later;
// an empty message is not sent at all.
TEST(NetMessages, NothingIsSentToNobodyOrWhenEmpty) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    host->Send(NumberedMessage(1, 24));
    std::unique_ptr<ReliableUdpPeer> client = ConnectedClient(*host);
    host->Send({});
    client->Send({});
    host->Send(NumberedMessage(0, LengthOf(0)));
    client->Send(NumberedMessage(0, LengthOf(0)));
    ExpectNumberedStream(*client, 1);
    ExpectNumberedStream(*host, 1);
    EXPECT_TRUE(IdsHeardWithin(*client, 100ms).empty());
}

// Calls out of order do nothing harmful and give the documented results.
TEST(NetMisuse, CallsBeforeStartupDoNothing) {
    ReliableUdpPeer peer;
    peer.Send(NumberedMessage(0, 24));
    EXPECT_EQ(peer.Receive(), nullptr);
    EXPECT_FALSE(peer.Connect("127.0.0.1", 60000));
    EXPECT_EQ(peer.BoundPort(), 0);
    EXPECT_EQ(peer.ConnectedCount(), 0);
}

// A second Startup, a port already in use and a connection limit below one are refused.
TEST(NetMisuse, StartupIsRefusedWhenItCannotListen) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    std::uint16_t port = host->BoundPort();
    EXPECT_NE(port, 0);
    EXPECT_FALSE(host->Startup(10, kTestUpdatePeriodMs, 0));
    EXPECT_EQ(host->BoundPort(), port);

    ReliableUdpPeer second;
    EXPECT_FALSE(second.Startup(10, kTestUpdatePeriodMs, port));
    EXPECT_EQ(second.BoundPort(), 0);
    EXPECT_FALSE(second.Startup(0, kTestUpdatePeriodMs, 0));
    EXPECT_TRUE(second.Startup(1, kTestUpdatePeriodMs, 0));
}

// A name is resolved off the caller's thread, and one that does not resolve ends as a failed
// attempt; a second host for a client of one connection is refused at once, with no event.
TEST(NetMisuse, ConnectIsRefusedWithoutAnEventLater) {
    std::unique_ptr<ReliableUdpPeer> host = StartHost();
    ReliableUdpPeer client;
    ASSERT_TRUE(client.Startup(1, kTestUpdatePeriodMs, 0));
    // A label longer than 63 characters: the resolver gives up without asking any server.
    std::string unresolvable = std::string(64, 'x') + ".invalid";
    EXPECT_TRUE(client.Connect(unresolvable.c_str(), host->BoundPort()));
    EXPECT_FALSE(client.Connect("127.0.0.1", host->BoundPort())) << "its one slot is taken";
    EXPECT_EQ(IdsHeardWithin(client, 500ms), std::vector<int>{kIdConnectionAttemptFailed});
    EXPECT_FALSE(client.Connect(nullptr, host->BoundPort()));
    EXPECT_TRUE(client.Connect("localhost", host->BoundPort()));
    EXPECT_FALSE(client.Connect("127.0.0.1", host->BoundPort()));
    EXPECT_EQ(WaitForId(client, 2s), kIdConnectionRequestAccepted);
}
