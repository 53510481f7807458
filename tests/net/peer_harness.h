#pragma once

// Helpers for tests of the network peer: peers started as the game starts them, and waiting
// for what they hear. All calls belong to the test's own thread; every peer runs its service
// thread as in the game.

#include "net/reliable_udp_peer.h"

#include <chrono>
#include <memory>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/// The game's update period of both peers, milliseconds.
inline constexpr int kTestUpdatePeriodMs = 30;

/// Milliseconds from `start` until now.
double MillisecondsSince(Clock::time_point start);

/// The next packet `peer` receives within `limit`, or null.
std::unique_ptr<NetPacket> WaitForPacket(ReliableUdpPeer& peer, std::chrono::milliseconds limit);
/// The first byte of the next packet within `limit`, or -1 when none came.
int WaitForId(ReliableUdpPeer& peer, std::chrono::milliseconds limit);
/// The first bytes of every packet `peer` receives within `span`.
std::vector<int> IdsHeardWithin(ReliableUdpPeer& peer, std::chrono::milliseconds span);

/// A started host on a free port: ten connections, as the game's, taking `limit` clients.
std::unique_ptr<ReliableUdpPeer> StartHost(int limit = 10);
/// A started client (one connection, as the game's) that has begun connecting to `port`.
std::unique_ptr<ReliableUdpPeer> StartConnecting(std::uint16_t port);
/// A client connected to `host`; fails the test unless the client hears 14 and the host 17.
std::unique_ptr<ReliableUdpPeer> ConnectedClient(ReliableUdpPeer& host);
