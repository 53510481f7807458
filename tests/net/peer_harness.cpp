#include "tests/net/peer_harness.h"

#include <gtest/gtest.h>

#include <thread>

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::unique_ptr<NetPacket> WaitForPacket(ReliableUdpPeer& peer, std::chrono::milliseconds limit) {
    Clock::time_point deadline = Clock::now() + limit;
    while (true) {
        if (std::unique_ptr<NetPacket> packet = peer.Receive()) return packet;
        if (Clock::now() >= deadline) return nullptr;
        std::this_thread::sleep_for(1ms);
    }
}

int WaitForId(ReliableUdpPeer& peer, std::chrono::milliseconds limit) {
    std::unique_ptr<NetPacket> packet = WaitForPacket(peer, limit);
    return packet == nullptr ? -1 : packet->data.at(0);
}

std::vector<int> IdsHeardWithin(ReliableUdpPeer& peer, std::chrono::milliseconds span) {
    std::vector<int> ids;
    Clock::time_point end = Clock::now() + span;
    while (Clock::now() < end) {
        if (std::unique_ptr<NetPacket> packet = peer.Receive()) {
            ids.push_back(packet->data.at(0));
        } else {
            std::this_thread::sleep_for(1ms);
        }
    }
    return ids;
}

std::unique_ptr<ReliableUdpPeer> StartHost(int limit) {
    auto host = std::make_unique<ReliableUdpPeer>();
    EXPECT_TRUE(host->Startup(10, kTestUpdatePeriodMs, 0));
    host->SetMaximumIncomingConnections(limit);
    return host;
}

std::unique_ptr<ReliableUdpPeer> StartConnecting(std::uint16_t port) {
    auto client = std::make_unique<ReliableUdpPeer>();
    EXPECT_TRUE(client->Startup(1, kTestUpdatePeriodMs, 0));
    EXPECT_TRUE(client->Connect("127.0.0.1", port));
    return client;
}

std::unique_ptr<ReliableUdpPeer> ConnectedClient(ReliableUdpPeer& host) {
    std::unique_ptr<ReliableUdpPeer> client = StartConnecting(host.BoundPort());
    EXPECT_EQ(WaitForId(*client, 2s), kIdConnectionRequestAccepted);
    EXPECT_EQ(WaitForId(host, 2s), kIdNewIncomingConnection);
    return client;
}
