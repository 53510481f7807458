#pragma once

// Threads: user-interface thread only. The session's peer runs a service thread of its own
// (see reliable_udp_peer.h); the game reaches the peer only through the calls below and the
// play screen's Send, all on the user-interface thread.

#include "net/flick_message.h"
#include "net/reliable_udp_peer.h"

#include <cstdint>
#include <memory>
#include <span>

/// The UDP port on which the Red machine hosts and to which the White machine connects.
inline constexpr std::uint16_t kGamePort = 60000;
/// Clients a host takes: the machines that can watch and play White against it.
inline constexpr int kHostConnections = 10;
/// Clients a host takes from one address: one machine cannot take all of kHostConnections.
inline constexpr int kHostConnectionsPerAddress = 2;
/// Connections of a client: its one host.
inline constexpr int kClientConnections = 1;
/// The longest the peer's own thread sleeps between its rounds, milliseconds.
inline constexpr int kPeerUpdatePeriodMs = 30;
/// The longest CloseNetworkSession waits for the other machine to acknowledge what was sent,
/// milliseconds: ENet resends a lost datagram within a few round trips.
inline constexpr int kCloseLingerMs = 1500;
/// Message boxes the session keeps open at once. Each box runs the timer inside it, so a peer
/// sending a stream of messages would otherwise nest boxes without bound.
inline constexpr int kMaxOpenNetworkMessages = 3;
/// The shortest time between two "Network: msg %d" boxes, milliseconds; only one is ever open.
/// A machine sending a stream of unknown identifiers would otherwise replace each box the
/// player closes within a tick, and he could never leave the game.
inline constexpr std::int64_t kUnknownMessageBoxIntervalMs = 10000;

/// The one peer of the running session; null when no session exists.
extern std::unique_ptr<ReliableUdpPeer> NetPeer;

/// The port sessions use: kGamePort unless another was chosen.
std::uint16_t GamePort();
/// Chooses the port of later sessions, so that several sessions can run on one machine.
void SetGamePort(std::uint16_t port);

/// What the session hands the flick messages it receives to: the network play screen.
class FlickReceiver {
public:
    /// A flick message that arrived and can be played.
    virtual void HandleFlickMessage(const FlickMessage& message) = 0;

protected:
    ~FlickReceiver() = default;
};

/// Creates NetPeer and starts it: as the Red host listening on GamePort when `playsRed`, else
/// as a White client connecting to `address` (a zero-terminated 8-bit string, dotted IPv4 or
/// a host name; empty means 127.0.0.1). Failures are not reported here: a session that
/// could not start simply hears nothing, or hears that its attempt failed.
void StartNetworkSession(bool playsRed, const char* address);

/// Takes at most one packet from NetPeer and acts on it (HandleNetworkPacket). Nothing
/// without a session.
void PumpNetwork(FlickReceiver& screen);

/// Acts on one received packet: connection events become the game's message boxes, a flick
/// message that can be played goes to `screen`, one that cannot is dropped, and any other
/// identifier shows "Network: msg %d", unless such a box is open or was shown less than
/// kUnknownMessageBoxIntervalMs ago: then it is dropped and counted. While
/// kMaxOpenNetworkMessages boxes are open, further boxes are dropped. An empty packet is
/// ignored.
void HandleNetworkPacket(std::span<const std::uint8_t> data, FlickReceiver& screen);

/// Sends a flick to every connected machine; nothing without a session.
void SendFlickMessage(const FlickMessage& message);

/// Ends the session of a player who leaves a running game: once what was sent has been
/// acknowledged (waiting at most kCloseLingerMs, and not for a machine gone silent), the peer
/// tells the other machines it closed, and they show "CONNECTION_LOST" at once; then it is
/// destroyed, so that a new session can bind the port again. What the session dropped (unknown
/// identifiers not shown, received packets beyond the queue) is counted in one line on
/// standard error, and forgotten. Without a session, only that.
void CloseNetworkSession();

/// Ends the session after its GAME ended here, as CloseNetworkSession but saying nothing: the
/// other machine is still playing the same GAME (it plays a received flick after a camera
/// swing and a short wait) and ends its own session when it gets there, well within its
/// silence watch, so neither machine shows "CONNECTION_LOST".
void CloseNetworkSessionAfterGame();
