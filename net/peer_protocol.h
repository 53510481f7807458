#pragma once

// Threads: a PeerProtocol belongs to one ReliableUdpPeer and is called only under that peer's
// mutex, from either of its threads; it calls its transport back on the same thread.
//
// The game's own small protocol between two peers, apart from the transport that carries it:
// which machines are taken and which are turned away, the host's welcome, the keep-alive by
// which a silent machine is noticed, and the receipts for which a closing peer waits. It sees
// links only as opaque identities and bytes; it knows nothing of ENet.
//
// On the internal channel (never the game's), each message is one byte:
//   welcome    host -> client, once: the client was taken
//   keep-alive both ways, every kKeepAliveMs while established
//   receipt    both ways, one for each game message received
// A machine that has never sent a keep-alive (another program, or an older game) is not
// watched for silence by the protocol: the transport's own time-out stands for it, and a
// closing peer does not wait for receipts from it.

#include <chrono>
#include <cstdint>
#include <limits>
#include <span>
#include <unordered_map>
#include <vector>

/// Why a machine was let go, carried by the transport's disconnect. 0 comes from a transport's
/// own time-out, or from another program that disconnects plainly.
inline constexpr std::uint32_t kReasonClosed = 0x42520001;
inline constexpr std::uint32_t kReasonFull = 0x42520002;

/// How often an established link is sent a keep-alive, milliseconds.
inline constexpr std::uint32_t kKeepAliveMs = 250;

/// What the protocol asks of the transport that carries it.
class PeerTransport {
public:
    using LinkId = const void*;
    /// Sends one byte reliably on the internal channel.
    virtual void SendInternal(LinkId link, std::uint8_t byte) = 0;
    /// Lets the link go, telling the other side `reason`; the transport's disconnect follows.
    virtual void Disconnect(LinkId link, std::uint32_t reason) = 0;
    /// Drops the link at once; no disconnect follows.
    virtual void DropNow(LinkId link) = 0;
    /// The link was established: the transport's time-out becomes the lost time-out.
    virtual void Established(LinkId link) = 0;
    /// A connection event for the game (a NetMessageId).
    virtual void Report(std::uint8_t id) = 0;

protected:
    ~PeerTransport() = default;
};

/// The protocol's view of every link of one peer.
class PeerProtocol {
public:
    using LinkId = PeerTransport::LinkId;
    using Clock = std::chrono::steady_clock;

    explicit PeerProtocol(PeerTransport& transport) : transport_(transport) {}

    /// Links in all, attempts included; 0 until set.
    void SetConnectionLimit(int total) { maxConnections_ = total; }
    /// Clients taken; 0 until set.
    void SetIncomingLimit(int clients) { incomingLimit_ = clients; }
    /// Clients taken from one address; unlimited until set.
    void SetPerAddressLimit(int clients) { perAddressLimit_ = clients; }

    /// We began connecting to `link` at `now`; room was checked with HasRoomToConnect.
    void Connecting(LinkId link, Clock::time_point now);
    bool HasRoomToConnect(int alsoPending) const;
    /// The transport connected `link`, from `address` (any number naming the machine).
    void Connected(LinkId link, std::uint32_t address, Clock::time_point now);
    /// Something arrived from `link`; true when `bytes` is a game message for the game.
    bool Received(LinkId link, bool internal, std::span<const std::uint8_t> bytes,
                  Clock::time_point now);
    /// The transport let `link` go, for `reason`.
    void Disconnected(LinkId link, std::uint32_t reason);
    /// Sends keep-alives that are due and gives up on silent links and late attempts.
    void Watch(Clock::time_point now);
    /// A game message went to every established link.
    void GameMessageSent();
    /// True while some established link that speaks the protocol, and was heard from within
    /// kLingerSilenceMs, has not sent a receipt for every game message sent to it.
    bool AwaitsReceipts(Clock::time_point now) const;

    /// Every link, established or not, and forgets them all.
    std::vector<LinkId> TakeLinks();
    /// Links established now.
    int EstablishedCount() const;

private:
    struct Link {
        bool outgoing = false;                ///< we connected to it (it is our host)
        bool established = false;             ///< accepted by us, or its welcome heard
        bool refused = false;                 ///< turned away as one too many; being disconnected
        bool speaksProtocol = false;          ///< it sent a keep-alive
        std::uint32_t address = 0;            ///< its machine, for incoming links
        std::uint64_t unreceipted = 0;        ///< game messages sent, not yet receipted
        Clock::time_point connectDeadline{};  ///< an attempt not welcomed by then has failed
        Clock::time_point heardAt{};          ///< established or last heard from
        Clock::time_point keptAliveAt{};      ///< last keep-alive sent
    };

    bool HasRoomFor(std::uint32_t address) const;
    int CountClients() const;
    int CountClientsFrom(std::uint32_t address) const;
    int CountLive() const;
    /// Links whose state satisfies `holds`.
    template <typename Predicate>
    int CountWhere(Predicate holds) const {
        int count = 0;
        for (const auto& [link, state] : links_)
            count += holds(state) ? 1 : 0;
        return count;
    }
    void Establish(LinkId link, Link& state, Clock::time_point now);
    bool IsSilent(const Link& link, Clock::time_point now) const;

    PeerTransport& transport_;
    std::unordered_map<LinkId, Link> links_;
    int maxConnections_ = 0;
    int incomingLimit_ = 0;
    int perAddressLimit_ = std::numeric_limits<int>::max();
};
