#pragma once

// Threads: every public call belongs to the user-interface thread. A host name given to Connect
// is resolved on a short-lived thread of its own. A peer runs one service thread of its own,
// which wakes when a datagram arrives and at least every update period to send, resend,
// acknowledge and keep the connections alive; it turns what it hears into packets on a queue
// that Receive empties. One mutex serialises every ENet call on the peer's host
// between the two threads. The peer owns its host and thread; destroying it stops both at once.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

/// Identifiers of the one-byte packets by which connection events reach the game, and of the
/// game's own flick message; each is the first data byte of a packet.
enum NetMessageId : std::uint8_t {
    kIdConnectionRequestAccepted = 14,  ///< client: the host took our connection
    kIdConnectionAttemptFailed = 15,    ///< client: refused, unreachable or timed out
    kIdAlreadyConnected = 16,           ///< never sent by this peer; shown like any unknown id
    kIdNewIncomingConnection = 17,      ///< host: a client connected
    kIdNoFreeIncomingConnections = 18,  ///< client: the host was full and turned us away
    kIdDisconnectionNotification = 19,  ///< the other side closed its session
    kIdConnectionLost = 20,             ///< the other side fell silent for the lost time-out
    kIdFlickMessage = 82,               ///< the game's flick message
};

/// One received packet: its data bytes, never empty; the first is a NetMessageId.
struct NetPacket {
    std::vector<std::uint8_t> data;
};

/// A connection attempt that is not accepted within this long, milliseconds, is given up
/// (kIdConnectionAttemptFailed).
inline constexpr std::uint32_t kConnectTimeoutMs = 5000;
/// Linger gives up on a machine from which nothing came for this long, milliseconds: a live
/// game sends its keep-alive every quarter second, well within it.
inline constexpr std::uint32_t kLingerSilenceMs = 1000;
/// The largest message a peer sends or takes, bytes; ENet ignores a larger one. The game's
/// largest is its 24-byte flick.
inline constexpr std::size_t kMaxMessageBytes = 64;
/// Received packets a peer keeps until Receive takes them; later ones are dropped and counted
/// (DroppedPackets). Connection events may fill as many again.
inline constexpr std::size_t kMaxReceivedPackets = 1024;
/// A connected machine that falls silent (killed, unplugged) is reported lost
/// (kIdConnectionLost) after at most this long, milliseconds; in practice up to a second sooner.
inline constexpr std::uint32_t kLostTimeoutMs = 8000;

/// What the machines connected to a peer hear when it closes.
enum class Farewell : std::uint8_t {
    kNotice,   ///< at once, kIdDisconnectionNotification
    kSilence,  ///< nothing: they hear the connection lost only if they outlast their silence watch
};

/// A peer of reliable, ordered messages over UDP between game machines, on ENet. A host listens
/// on a port and takes up to its incoming limit of clients; a client connects to one host.
/// Messages go reliably and in order on one channel to every connected machine; connection
/// events arrive on the same queue as one-byte packets (NetMessageId).
class ReliableUdpPeer {
public:
    /// A peer that has not started: it holds no socket and no thread.
    ReliableUdpPeer();
    /// Closes the peer with a notice (Close(Farewell::kNotice)) unless it was closed already.
    ~ReliableUdpPeer();
    ReliableUdpPeer(const ReliableUdpPeer&) = delete;
    ReliableUdpPeer& operator=(const ReliableUdpPeer&) = delete;

    /// Opens the socket on `port` (0: any free port) for up to `maxConnections` connected
    /// machines and starts the service thread, which wakes at least every `updatePeriodMs`.
    /// The socket listens on every address of the machine, or only on `localAddress` (dotted
    /// IPv4) when one is given. False when the port cannot be bound, the peer already started,
    /// `localAddress` is not a dotted address, or `maxConnections` or `updatePeriodMs` is below 1.
    bool Startup(int maxConnections, int updatePeriodMs, std::uint16_t port,
                 const char* localAddress = nullptr);
    /// How many clients a host accepts; one beyond it is turned away with
    /// kIdNoFreeIncomingConnections. Starts at 0: a peer takes no clients until this is set.
    void SetMaximumIncomingConnections(int numberAllowed);
    /// How many clients a host accepts from one address; one beyond it is turned away as by a
    /// full host. Unlimited until this is set.
    void SetMaximumConnectionsPerAddress(int numberAllowed);
    /// Starts connecting to `host` (dotted IPv4 or a host name) on `port`; a name is resolved
    /// on a thread of its own, so the call never waits for a resolver. The outcome arrives
    /// later as kIdConnectionRequestAccepted, kIdConnectionAttemptFailed (also for a name that
    /// does not resolve) or kIdNoFreeIncomingConnections. False when the peer has not started
    /// or no connection slot is free; then no event follows.
    bool Connect(const char* host, std::uint16_t port);
    /// The oldest received packet, or null when none is waiting. The caller owns it;
    /// releasing it is letting it go.
    std::unique_ptr<NetPacket> Receive();
    /// Sends `data` reliably and in order on channel 0 to every connected machine. Nothing is
    /// sent when no machine is connected, or when `data` is empty or longer than
    /// kMaxMessageBytes.
    void Send(std::span<const std::uint8_t> data);

    /// Waits, up to `limit`, until every connected game that is still heard from has sent a
    /// receipt for all that was sent to it, so that a session closed right after its last
    /// flick does not take that flick with it. A machine silent for kLingerSilenceMs, or one
    /// that does not speak the game's protocol, is not waited for. Returns at once when nothing
    /// awaits a receipt; true when nothing did by the end.
    bool Linger(std::chrono::milliseconds limit);

    /// Closes the peer at once: tells the connected machines as `farewell` says, stops the
    /// service thread and closes the socket, so that the port can be bound again at once. Does
    /// not wait for acknowledgements (Linger does). A closed peer does nothing and cannot start
    /// again; closing it again does nothing.
    void Close(Farewell farewell);

    /// The UDP port the socket is bound to, 0 before Startup.
    std::uint16_t BoundPort() const;
    /// Machines connected now (clients accepted, or the host once accepted).
    int ConnectedCount() const;
    /// Received packets dropped because kMaxReceivedPackets were waiting.
    std::size_t DroppedPackets() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
