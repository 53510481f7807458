#include "net/reliable_udp_peer.h"

#include <enet/enet.h>
#include <enet/time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>

// Threads: the public operations run on the user-interface thread; ServiceLoop runs on the
// peer's service thread; a host name given to Connect is resolved on a detached thread that
// shares only its Resolution. `mutex` guards the host (every ENet call on it), the links and the
// received queue. The service thread waits for the socket without the lock, so a Send waits at
// most for one pass over events that have already arrived. The peer owns the host, the thread
// and every queued packet; the destructor joins the thread before it destroys the host.

namespace {

using Clock = std::chrono::steady_clock;

/// The game's messages travel on channel 0; channel 1 carries the peers' own announcements.
constexpr enet_uint8 kGameChannel = 0;
constexpr enet_uint8 kInternalChannel = 1;
constexpr std::size_t kChannelCount = 2;

/// The data of ENet's disconnect command says why a machine was let go. ENet's own time-out
/// and a foreign ENet program that disconnects plainly give 0.
constexpr enet_uint32 kReasonClosed = 0x42520001;
constexpr enet_uint32 kReasonFull = 0x42520002;

/// The byte with which a host tells a client, on the internal channel, that it was taken.
constexpr std::uint8_t kWelcome = 0x57;

/// ENet gives up on a silent machine only when an unanswered command is due for a resend, and
/// the resend interval doubles each time, so its own time-outs may come up to twice as late as
/// asked. The peer therefore keeps its own watch: an attempt fails kConnectTimeoutMs after it
/// began, and an established machine is lost when nothing at all (not even the answer to a
/// keep-alive ping, which ENet sends after 500 ms of quiet) came from it for this long. The
/// margin leaves room within kLostTimeoutMs for the service thread's wake period and a busy
/// machine's scheduling.
constexpr enet_uint32 kLostSilenceMs = kLostTimeoutMs - 500;
constexpr std::chrono::milliseconds kConnectTimeout{kConnectTimeoutMs};

/// What the peer knows about one ENet peer of its host.
struct Link {
    bool outgoing = false;     ///< we connected to it (it is our host)
    bool established = false;  ///< accepted by us, or its welcome heard
    bool refused = false;      ///< turned away as one client too many; being disconnected
    Clock::time_point connectDeadline{};  ///< an attempt not welcomed by then has failed
    Clock::time_point heardAt{};          ///< when it was established or last sent us a packet
};

/// A host name being resolved on a thread of its own, shared by that thread and the peer: a
/// slow resolver holds up neither the caller nor the service thread, and a peer destroyed
/// meanwhile simply never looks at the answer.
struct Resolution {
    std::mutex mutex;
    bool done = false;
    bool resolved = false;
    ENetAddress address{};
};

/// ENet's process-wide set-up, done once; on Linux it has nothing to undo.
bool EnsureEnetInitialized() {
    static const bool initialized = enet_initialize() == 0;
    return initialized;
}

}  // namespace

struct ReliableUdpPeer::Impl {
    mutable std::mutex mutex;
    ENetHost* host = nullptr;  // written only while the service thread is not running
    int maxConnections = 0;
    int incomingLimit = 0;
    int perAddressLimit = ENET_PROTOCOL_MAXIMUM_PEER_ID;
    std::size_t droppedPackets = 0;
    std::uint16_t boundPort = 0;
    std::unordered_map<ENetPeer*, Link> links;
    std::deque<std::unique_ptr<NetPacket>> received;
    std::shared_ptr<Resolution> resolving;  ///< the name Connect is resolving, if any
    std::atomic<bool> stopRequested{false};
    std::thread serviceThread;

    void ServiceLoop(ENetSocket socket, enet_uint32 periodMs);
    void ServiceEvents();
    void HandleEvent(const ENetEvent& event);
    void HandleConnect(ENetPeer* peer);
    void AcceptClient(ENetPeer* peer);
    void HandleReceive(const ENetEvent& event);
    void HandleDisconnect(ENetPeer* peer, enet_uint32 reason);
    void WatchSilence();
    void ConnectResolved();
    bool ConnectTo(const ENetAddress& address);
    bool HasTimedOut(ENetPeer* peer, const Link& link, Clock::time_point now) const;
    void Queue(std::uint8_t id);
    void SendInternal(ENetPeer* peer, std::uint8_t byte);
    int CountLinks(bool establishedIncomingOnly) const;
    int CountClientsFrom(enet_uint32 addressHost) const;
    void ApplyPerAddressLimit();
    bool AwaitsAcknowledgement() const;
    void DisconnectAll();
};

void ReliableUdpPeer::Impl::ServiceLoop(ENetSocket socket, enet_uint32 periodMs) {
    while (!stopRequested.load()) {
        // Waiting without the lock lets the user-interface thread send meanwhile.
        enet_uint32 condition = ENET_SOCKET_WAIT_RECEIVE | ENET_SOCKET_WAIT_INTERRUPT;
        enet_socket_wait(socket, &condition, periodMs);
        ServiceEvents();
    }
}

void ReliableUdpPeer::Impl::ServiceEvents() {
    std::lock_guard lock(mutex);
    // Once the destructor has said goodbye, no new client may be taken.
    if (stopRequested.load()) return;
    // Each call also sends what is due: acknowledgements, resends and keep-alive pings.
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        HandleEvent(event);
    }
    ConnectResolved();
    WatchSilence();
}

void ReliableUdpPeer::Impl::HandleEvent(const ENetEvent& event) {
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            HandleConnect(event.peer);
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            HandleReceive(event);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            HandleDisconnect(event.peer, event.data);
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
    }
}

void ReliableUdpPeer::Impl::HandleConnect(ENetPeer* peer) {
    auto found = links.find(peer);
    // Our own attempt reached its host: we report it only when the host's welcome arrives,
    // because a full host turns clients away only after ENet has connected them.
    if (found != links.end() && found->second.outgoing) return;
    bool roomLeft = CountLinks(true) < incomingLimit && CountLinks(false) < maxConnections &&
                    CountClientsFrom(peer->address.host) < perAddressLimit;
    if (roomLeft) {
        AcceptClient(peer);
        return;
    }
    // The spare slot of the host takes this one only to tell it why it is sent away.
    links[peer] = Link{.refused = true};
    // ENet's own time-out frees the slot if the client is not there to acknowledge.
    enet_peer_timeout(peer, 0, kConnectTimeoutMs, kConnectTimeoutMs);
    enet_peer_disconnect(peer, kReasonFull);
}

void ReliableUdpPeer::Impl::AcceptClient(ENetPeer* peer) {
    links[peer] = Link{.established = true, .heardAt = Clock::now()};
    enet_peer_timeout(peer, 0, kLostTimeoutMs, kLostTimeoutMs);
    Queue(kIdNewIncomingConnection);
    SendInternal(peer, kWelcome);
}

void ReliableUdpPeer::Impl::HandleReceive(const ENetEvent& event) {
    auto found = links.find(event.peer);
    if (found == links.end() || found->second.refused) return;
    Link& link = found->second;
    link.heardAt = Clock::now();
    const enet_uint8* bytes = event.packet->data;
    std::size_t length = event.packet->dataLength;
    if (event.channelID == kInternalChannel) {
        if (link.outgoing && !link.established && length == 1 && bytes[0] == kWelcome) {
            link.established = true;
            enet_peer_timeout(event.peer, 0, kLostTimeoutMs, kLostTimeoutMs);
            Queue(kIdConnectionRequestAccepted);
        }
        return;
    }
    if (length == 0) return;
    if (received.size() >= kMaxReceivedPackets) {
        ++droppedPackets;
        return;
    }
    received.push_back(std::make_unique<NetPacket>(NetPacket{{bytes, bytes + length}}));
}

void ReliableUdpPeer::Impl::HandleDisconnect(ENetPeer* peer, enet_uint32 reason) {
    auto found = links.find(peer);
    if (found == links.end()) return;
    Link link = found->second;
    links.erase(found);
    if (link.refused) return;
    if (!link.established) {
        if (link.outgoing) {
            Queue(reason == kReasonFull ? kIdNoFreeIncomingConnections
                                        : kIdConnectionAttemptFailed);
        }
        return;
    }
    Queue(reason == kReasonClosed ? kIdDisconnectionNotification : kIdConnectionLost);
}

void ReliableUdpPeer::Impl::WatchSilence() {
    Clock::time_point now = Clock::now();
    for (auto it = links.begin(); it != links.end();) {
        if (!HasTimedOut(it->first, it->second, now)) {
            ++it;
            continue;
        }
        Queue(it->second.established ? kIdConnectionLost : kIdConnectionAttemptFailed);
        // Should the other side still be there, it hears a plain disconnect: lost to it too.
        enet_peer_disconnect_now(it->first, 0);
        it = links.erase(it);
    }
}

bool ReliableUdpPeer::Impl::HasTimedOut(ENetPeer* peer, const Link& link,
                                        Clock::time_point now) const {
    if (link.refused) return false;
    if (!link.established) return now >= link.connectDeadline;
    // ENet notes a machine's last sign of life only when it acknowledges something of ours:
    // until the first acknowledgement that time is 0, and on a lossy link the host's welcome
    // may come first. So a link is silent only when neither ENet nor we heard from it.
    if (now - link.heardAt < std::chrono::milliseconds(kLostSilenceMs)) return false;
    // Both times are ENet's milliseconds; serviceTime was taken by the service just done.
    return ENET_TIME_DIFFERENCE(host->serviceTime, peer->lastReceiveTime) >= kLostSilenceMs;
}

void ReliableUdpPeer::Impl::Queue(std::uint8_t id) {
    if (received.size() >= 2 * kMaxReceivedPackets) return;
    received.push_back(std::make_unique<NetPacket>(NetPacket{{id}}));
}

void ReliableUdpPeer::Impl::SendInternal(ENetPeer* peer, std::uint8_t byte) {
    ENetPacket* packet = enet_packet_create(&byte, 1, ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    // ENet takes the packet on success; on failure it is still ours.
    if (enet_peer_send(peer, kInternalChannel, packet) < 0) enet_packet_destroy(packet);
}

int ReliableUdpPeer::Impl::CountLinks(bool establishedIncomingOnly) const {
    int count = 0;
    for (const auto& [peer, link] : links) {
        if (link.refused) continue;
        if (establishedIncomingOnly && (link.outgoing || !link.established)) continue;
        ++count;
    }
    return count;
}

int ReliableUdpPeer::Impl::CountClientsFrom(enet_uint32 addressHost) const {
    int count = 0;
    for (const auto& [peer, link] : links) {
        bool client = !link.outgoing && link.established && !link.refused;
        if (client && peer->address.host == addressHost) ++count;
    }
    return count;
}

bool ReliableUdpPeer::Impl::AwaitsAcknowledgement() const {
    for (const auto& [peer, link] : links) {
        if (!link.established) continue;
        bool unacknowledged = !enet_list_empty(&peer->sentReliableCommands) ||
                              !enet_list_empty(&peer->outgoingCommands);
        bool heard =
            Clock::now() - link.heardAt < std::chrono::milliseconds(kLingerSilenceMs) ||
            ENET_TIME_DIFFERENCE(host->serviceTime, peer->lastReceiveTime) < kLingerSilenceMs;
        if (unacknowledged && heard) return true;
    }
    return false;
}

void ReliableUdpPeer::Impl::DisconnectAll() {
    for (std::size_t index = 0; index < host->peerCount; ++index) {
        ENetPeer* peer = &host->peers[index];
        if (peer->state != ENET_PEER_STATE_DISCONNECTED) {
            enet_peer_disconnect_now(peer, kReasonClosed);
        }
    }
    links.clear();
}

ReliableUdpPeer::ReliableUdpPeer() : impl_(std::make_unique<Impl>()) {}

ReliableUdpPeer::~ReliableUdpPeer() {
    Close(Farewell::kNotice);
}

void ReliableUdpPeer::Close(Farewell farewell) {
    if (impl_->host == nullptr) return;
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopRequested = true;
        // Destroying the host below resets its peers without sending them anything.
        if (farewell == Farewell::kNotice) impl_->DisconnectAll();
        impl_->links.clear();
    }
    // The thread notices the stop within one update period, at its next wake.
    impl_->serviceThread.join();
    std::lock_guard lock(impl_->mutex);
    enet_host_destroy(impl_->host);
    impl_->host = nullptr;
    impl_->boundPort = 0;
}

// ENet itself ignores the connection attempts from one address beyond its documented
// `duplicatePeers`; one more than the limit lets the host tell that one why it is sent away.
void ReliableUdpPeer::Impl::ApplyPerAddressLimit() {
    if (host == nullptr) return;
    host->duplicatePeers =
        static_cast<std::size_t>(std::min<int>(perAddressLimit + 1, ENET_PROTOCOL_MAXIMUM_PEER_ID));
}

bool ReliableUdpPeer::Startup(int maxConnections, int updatePeriodMs, std::uint16_t port,
                              const char* localAddress) {
    if (impl_->host != nullptr || impl_->stopRequested.load() || !EnsureEnetInitialized())
        return false;
    if (maxConnections < 1 || maxConnections >= ENET_PROTOCOL_MAXIMUM_PEER_ID) return false;
    if (updatePeriodMs < 1) return false;
    ENetAddress address{.host = ENET_HOST_ANY, .port = port};
    if (localAddress != nullptr && enet_address_set_host_ip(&address, localAddress) != 0)
        return false;
    // One slot more than the connections allowed: ENet ignores a client it has no slot for,
    // while a slot lets the host tell the client that it is full.
    ENetHost* host = enet_host_create(&address, static_cast<std::size_t>(maxConnections) + 1,
                                      kChannelCount, 0, 0);
    if (host == nullptr) return false;
    // The documented limit of ENet's host on what one message may be, sent or received.
    host->maximumPacketSize = kMaxMessageBytes;
    ENetAddress bound{};
    enet_socket_get_address(host->socket, &bound);
    std::lock_guard lock(impl_->mutex);
    impl_->host = host;
    impl_->maxConnections = maxConnections;
    impl_->ApplyPerAddressLimit();
    impl_->boundPort = bound.port;
    impl_->serviceThread = std::thread([impl = impl_.get(), socket = host->socket, updatePeriodMs] {
        impl->ServiceLoop(socket, static_cast<enet_uint32>(updatePeriodMs));
    });
    return true;
}

void ReliableUdpPeer::SetMaximumIncomingConnections(int numberAllowed) {
    std::lock_guard lock(impl_->mutex);
    impl_->incomingLimit = numberAllowed;
}

void ReliableUdpPeer::SetMaximumConnectionsPerAddress(int numberAllowed) {
    std::lock_guard lock(impl_->mutex);
    impl_->perAddressLimit = std::clamp(numberAllowed, 0, int{ENET_PROTOCOL_MAXIMUM_PEER_ID});
    impl_->ApplyPerAddressLimit();
}

bool ReliableUdpPeer::Impl::ConnectTo(const ENetAddress& address) {
    ENetPeer* peer = enet_host_connect(host, &address, kChannelCount, 0);
    if (peer == nullptr) return false;
    // ENet's own time-out is a backstop behind the watch, which gives up first.
    enet_peer_timeout(peer, 0, kConnectTimeoutMs, kConnectTimeoutMs);
    links[peer] = Link{.outgoing = true, .connectDeadline = Clock::now() + kConnectTimeout};
    enet_host_flush(host);
    return true;
}

// Once the name Connect handed on has an answer, the attempt goes on or has failed.
void ReliableUdpPeer::Impl::ConnectResolved() {
    if (resolving == nullptr) return;
    std::optional<ENetAddress> address;
    {
        std::lock_guard answer(resolving->mutex);
        if (!resolving->done) return;
        if (resolving->resolved) address = resolving->address;
    }
    resolving.reset();
    if (!address || !ConnectTo(*address)) Queue(kIdConnectionAttemptFailed);
}

bool ReliableUdpPeer::Connect(const char* host, std::uint16_t port) {
    if (impl_->host == nullptr || host == nullptr) return false;
    std::lock_guard lock(impl_->mutex);
    if (impl_->CountLinks(false) + (impl_->resolving ? 1 : 0) >= impl_->maxConnections)
        return false;
    ENetAddress address{.host = ENET_HOST_ANY, .port = port};
    // A dotted address needs no resolver and is tried at once.
    if (enet_address_set_host_ip(&address, host) == 0) return impl_->ConnectTo(address);
    auto resolution = std::make_shared<Resolution>();
    resolution->address.port = port;
    impl_->resolving = resolution;
    std::thread([resolution, name = std::string(host)] {
        ENetAddress resolved{.host = ENET_HOST_ANY, .port = resolution->address.port};
        bool ok = enet_address_set_host(&resolved, name.c_str()) == 0;
        std::lock_guard answer(resolution->mutex);
        resolution->resolved = ok;
        resolution->address = resolved;
        resolution->done = true;
    }).detach();
    return true;
}

std::unique_ptr<NetPacket> ReliableUdpPeer::Receive() {
    std::lock_guard lock(impl_->mutex);
    if (impl_->received.empty()) return nullptr;
    std::unique_ptr<NetPacket> packet = std::move(impl_->received.front());
    impl_->received.pop_front();
    return packet;
}

void ReliableUdpPeer::Send(std::span<const std::uint8_t> data) {
    if (impl_->host == nullptr || data.empty() || data.size() > kMaxMessageBytes) return;
    std::lock_guard lock(impl_->mutex);
    if (impl_->host->connectedPeers == 0) return;
    ENetPacket* packet = enet_packet_create(data.data(), data.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    // The broadcast frees the packet itself when it reaches no one.
    enet_host_broadcast(impl_->host, kGameChannel, packet);
    // Out now rather than at the service thread's next wake.
    enet_host_flush(impl_->host);
}

bool ReliableUdpPeer::Linger(std::chrono::milliseconds limit) {
    if (impl_->host == nullptr) return true;
    Clock::time_point deadline = Clock::now() + limit;
    // The service thread goes on resending and taking acknowledgements meanwhile.
    for (;;) {
        {
            std::lock_guard lock(impl_->mutex);
            if (!impl_->AwaitsAcknowledgement()) return true;
        }
        if (Clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

std::uint16_t ReliableUdpPeer::BoundPort() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->boundPort;
}

int ReliableUdpPeer::ConnectedCount() const {
    std::lock_guard lock(impl_->mutex);
    int count = 0;
    for (const auto& [peer, link] : impl_->links)
        count += link.established ? 1 : 0;
    return count;
}

std::size_t ReliableUdpPeer::DroppedPackets() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->droppedPackets;
}
