#include "net/reliable_udp_peer.h"

#include "net/peer_protocol.h"

#include <enet/enet.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Threads: the public operations run on the user-interface thread; ServiceLoop runs on the
// peer's service thread; a host name given to Connect is resolved on a detached thread that
// shares only its Resolution. `mutex` guards the host (every ENet call on it), the protocol and
// the received queue. The service thread waits for the socket without the lock, so a Send
// waits at most for one pass over events that have already arrived. The peer owns the host,
// the thread and every queued packet; Close joins the thread before it destroys the host.
//
// This file is the ENet wrapper: it carries the game's own protocol (peer_protocol.h) over
// ENet's documented calls and fields.

namespace {

using Clock = std::chrono::steady_clock;

/// The game's messages travel on channel 0; channel 1 carries the peers' own protocol.
constexpr enet_uint8 kGameChannel = 0;
constexpr enet_uint8 kInternalChannel = 1;
constexpr std::size_t kChannelCount = 2;

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

ENetPeer* PeerOf(PeerTransport::LinkId link) {
    return static_cast<ENetPeer*>(const_cast<void*>(link));
}

}  // namespace

struct ReliableUdpPeer::Impl final : PeerTransport {
    mutable std::mutex mutex;
    ENetHost* host = nullptr;  // written only while the service thread is not running
    PeerProtocol protocol{*this};
    std::uint16_t boundPort = 0;
    std::size_t droppedPackets = 0;
    std::deque<std::unique_ptr<NetPacket>> received;
    std::shared_ptr<Resolution> resolving;  ///< the name Connect is resolving, if any
    std::atomic<bool> stopRequested{false};
    std::thread serviceThread;

    void ServiceLoop(ENetSocket socket, enet_uint32 periodMs);
    void ServiceEvents();
    void HandleEvent(const ENetEvent& event);
    void HandleReceive(const ENetEvent& event);
    void ConnectResolved();
    bool ConnectTo(const ENetAddress& address);
    void ApplyPerAddressLimit();

    int perAddressLimit = ENET_PROTOCOL_MAXIMUM_PEER_ID;

    // PeerTransport
    void SendInternal(LinkId link, std::uint8_t byte) override;
    void Disconnect(LinkId link, std::uint32_t reason) override;
    void DropNow(LinkId link) override { enet_peer_disconnect_now(PeerOf(link), 0); }
    void Established(LinkId link) override {
        enet_peer_timeout(PeerOf(link), 0, kLostTimeoutMs, kLostTimeoutMs);
    }
    void Report(std::uint8_t id) override;
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
    // Once Close has said goodbye, no new client may be taken.
    if (stopRequested.load()) return;
    // Each call also sends what is due: acknowledgements and resends.
    ENetEvent event;
    while (enet_host_service(host, &event, 0) > 0) {
        HandleEvent(event);
    }
    ConnectResolved();
    protocol.Watch(Clock::now());
    enet_host_flush(host);
}

void ReliableUdpPeer::Impl::HandleEvent(const ENetEvent& event) {
    switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            protocol.Connected(event.peer, event.peer->address.host, Clock::now());
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            HandleReceive(event);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            protocol.Disconnected(event.peer, event.data);
            break;
        case ENET_EVENT_TYPE_NONE:
            break;
    }
}

void ReliableUdpPeer::Impl::HandleReceive(const ENetEvent& event) {
    std::span<const std::uint8_t> bytes(event.packet->data, event.packet->dataLength);
    bool internal = event.channelID == kInternalChannel;
    if (!protocol.Received(event.peer, internal, bytes, Clock::now())) return;
    if (received.size() >= kMaxReceivedPackets) {
        ++droppedPackets;
        return;
    }
    received.push_back(std::make_unique<NetPacket>(NetPacket{{bytes.begin(), bytes.end()}}));
}

void ReliableUdpPeer::Impl::Report(std::uint8_t id) {
    if (received.size() >= 2 * kMaxReceivedPackets) return;
    received.push_back(std::make_unique<NetPacket>(NetPacket{{id}}));
}

void ReliableUdpPeer::Impl::SendInternal(LinkId link, std::uint8_t byte) {
    ENetPacket* packet = enet_packet_create(&byte, 1, ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    // ENet takes the packet on success; on failure it is still ours.
    if (enet_peer_send(PeerOf(link), kInternalChannel, packet) < 0) enet_packet_destroy(packet);
}

void ReliableUdpPeer::Impl::Disconnect(LinkId link, std::uint32_t reason) {
    // ENet's own time-out frees the slot if the other side is not there to acknowledge.
    enet_peer_timeout(PeerOf(link), 0, kConnectTimeoutMs, kConnectTimeoutMs);
    enet_peer_disconnect(PeerOf(link), reason);
}

bool ReliableUdpPeer::Impl::ConnectTo(const ENetAddress& address) {
    ENetPeer* peer = enet_host_connect(host, &address, kChannelCount, 0);
    if (peer == nullptr) return false;
    // ENet's own time-out is a backstop behind the protocol's deadline, which comes first.
    enet_peer_timeout(peer, 0, kConnectTimeoutMs, kConnectTimeoutMs);
    protocol.Connecting(peer, Clock::now());
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
    if (!address || !ConnectTo(*address)) Report(kIdConnectionAttemptFailed);
}

// ENet itself ignores the connection attempts from one address beyond its documented
// `duplicatePeers`; one more than the limit lets the host tell that one why it is sent away.
void ReliableUdpPeer::Impl::ApplyPerAddressLimit() {
    if (host == nullptr) return;
    host->duplicatePeers =
        static_cast<std::size_t>(std::min<int>(perAddressLimit + 1, ENET_PROTOCOL_MAXIMUM_PEER_ID));
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
        for (PeerTransport::LinkId link : impl_->protocol.TakeLinks()) {
            if (farewell == Farewell::kNotice)
                enet_peer_disconnect_now(PeerOf(link), kReasonClosed);
        }
    }
    // The thread notices the stop within one update period, at its next wake.
    impl_->serviceThread.join();
    std::lock_guard lock(impl_->mutex);
    enet_host_destroy(impl_->host);
    impl_->host = nullptr;
    impl_->boundPort = 0;
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
    std::lock_guard lock(impl_->mutex);
    impl_->host = host;
    impl_->protocol.SetConnectionLimit(maxConnections);
    impl_->ApplyPerAddressLimit();
    // The host's documented address holds the port its socket was bound to.
    impl_->boundPort = host->address.port;
    // ENet's `socket` field, not described by its documentation: ENet has no call that waits
    // for the socket without servicing the host, which would hold the lock for a whole period.
    impl_->serviceThread = std::thread([impl = impl_.get(), socket = host->socket, updatePeriodMs] {
        impl->ServiceLoop(socket, static_cast<enet_uint32>(updatePeriodMs));
    });
    return true;
}

void ReliableUdpPeer::SetMaximumIncomingConnections(int numberAllowed) {
    std::lock_guard lock(impl_->mutex);
    impl_->protocol.SetIncomingLimit(numberAllowed);
}

void ReliableUdpPeer::SetMaximumConnectionsPerAddress(int numberAllowed) {
    std::lock_guard lock(impl_->mutex);
    impl_->perAddressLimit = std::clamp(numberAllowed, 0, int{ENET_PROTOCOL_MAXIMUM_PEER_ID});
    impl_->protocol.SetPerAddressLimit(impl_->perAddressLimit);
    impl_->ApplyPerAddressLimit();
}

bool ReliableUdpPeer::Connect(const char* host, std::uint16_t port) {
    if (impl_->host == nullptr || host == nullptr) return false;
    std::lock_guard lock(impl_->mutex);
    if (!impl_->protocol.HasRoomToConnect(impl_->resolving ? 1 : 0)) return false;
    ENetAddress address{.host = ENET_HOST_ANY, .port = port};
    // A dotted address needs no resolver and is tried at once.
    if (enet_address_set_host_ip(&address, host) == 0) return impl_->ConnectTo(address);
    auto resolution = std::make_shared<Resolution>();
    impl_->resolving = resolution;
    std::thread([resolution, port, name = std::string(host)] {
        ENetAddress resolved{.host = ENET_HOST_ANY, .port = port};
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
    if (impl_->protocol.EstablishedCount() == 0) return;
    ENetPacket* packet = enet_packet_create(data.data(), data.size(), ENET_PACKET_FLAG_RELIABLE);
    if (packet == nullptr) return;
    // The broadcast frees the packet itself when it reaches no one.
    enet_host_broadcast(impl_->host, kGameChannel, packet);
    impl_->protocol.GameMessageSent();
    // Out now rather than at the service thread's next wake.
    enet_host_flush(impl_->host);
}

bool ReliableUdpPeer::Linger(std::chrono::milliseconds limit) {
    if (impl_->host == nullptr) return true;
    Clock::time_point deadline = Clock::now() + limit;
    // The service thread goes on resending and taking receipts meanwhile.
    for (;;) {
        {
            std::lock_guard lock(impl_->mutex);
            if (!impl_->protocol.AwaitsReceipts(Clock::now())) return true;
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
    return impl_->protocol.EstablishedCount();
}

std::size_t ReliableUdpPeer::DroppedPackets() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->droppedPackets;
}
