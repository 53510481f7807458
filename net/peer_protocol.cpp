#include "net/peer_protocol.h"

#include "net/reliable_udp_peer.h"

namespace {

constexpr std::uint8_t kWelcome = 0x57;
constexpr std::uint8_t kKeepAlive = 0x4B;
constexpr std::uint8_t kReceipt = 0x52;

/// A link that speaks the protocol is lost when nothing came from it for this long. The
/// margin leaves room within kLostTimeoutMs for the service thread's wake period and a busy
/// machine's scheduling.
constexpr std::chrono::milliseconds kLostSilence{kLostTimeoutMs - 500};
constexpr std::chrono::milliseconds kLingerSilence{kLingerSilenceMs};
constexpr std::chrono::milliseconds kConnectTimeout{kConnectTimeoutMs};
constexpr std::chrono::milliseconds kKeepAlivePeriod{kKeepAliveMs};

}  // namespace

bool PeerProtocol::HasRoomToConnect(int alsoPending) const {
    return CountLive() + alsoPending < maxConnections_;
}

void PeerProtocol::Connecting(LinkId link, Clock::time_point now) {
    links_[link] = Link{.outgoing = true, .connectDeadline = now + kConnectTimeout};
}

void PeerProtocol::Connected(LinkId link, std::uint32_t address, Clock::time_point now) {
    auto found = links_.find(link);
    // Our own attempt reached its host: we report it only when the host's welcome arrives,
    // because a full host turns clients away only after the transport has connected them.
    if (found != links_.end() && found->second.outgoing) return;
    if (!HasRoomFor(address)) {
        // The host's spare slot takes this one only to tell it why it is sent away.
        links_[link] = Link{.refused = true, .address = address};
        transport_.Disconnect(link, kReasonFull);
        return;
    }
    Link& state = links_[link] = Link{.address = address};
    transport_.SendInternal(link, kWelcome);
    Establish(link, state, now);
    transport_.Report(kIdNewIncomingConnection);
}

bool PeerProtocol::Received(LinkId link, bool internal, std::span<const std::uint8_t> bytes,
                            Clock::time_point now) {
    auto found = links_.find(link);
    if (found == links_.end() || found->second.refused) return false;
    Link& state = found->second;
    state.heardAt = now;
    if (!internal) {
        if (bytes.empty()) return false;
        transport_.SendInternal(link, kReceipt);
        return true;
    }
    if (bytes.size() != 1) return false;
    if (bytes[0] == kWelcome && state.outgoing && !state.established) {
        Establish(link, state, now);
        transport_.Report(kIdConnectionRequestAccepted);
    } else if (bytes[0] == kKeepAlive) {
        state.speaksProtocol = true;
    } else if (bytes[0] == kReceipt && state.unreceipted > 0) {
        --state.unreceipted;
    }
    return false;
}

void PeerProtocol::Disconnected(LinkId link, std::uint32_t reason) {
    auto found = links_.find(link);
    if (found == links_.end()) return;
    Link state = found->second;
    links_.erase(found);
    if (state.refused) return;
    if (!state.established) {
        if (state.outgoing) {
            transport_.Report(reason == kReasonFull ? kIdNoFreeIncomingConnections
                                                    : kIdConnectionAttemptFailed);
        }
        return;
    }
    transport_.Report(reason == kReasonClosed ? kIdDisconnectionNotification : kIdConnectionLost);
}

void PeerProtocol::Watch(Clock::time_point now) {
    for (auto it = links_.begin(); it != links_.end();) {
        auto& [link, state] = *it;
        bool late = !state.established && !state.refused && now >= state.connectDeadline;
        if (!late && !IsSilent(state, now)) {
            if (state.established && now - state.keptAliveAt >= kKeepAlivePeriod) {
                transport_.SendInternal(link, kKeepAlive);
                state.keptAliveAt = now;
            }
            ++it;
            continue;
        }
        transport_.Report(state.established ? kIdConnectionLost : kIdConnectionAttemptFailed);
        // Should the other side still be there, it hears a plain disconnect: lost to it too.
        transport_.DropNow(link);
        it = links_.erase(it);
    }
}

void PeerProtocol::GameMessageSent() {
    for (auto& [link, state] : links_) {
        if (state.established) ++state.unreceipted;
    }
}

bool PeerProtocol::AwaitsReceipts(Clock::time_point now) const {
    for (const auto& [link, state] : links_) {
        bool heard = now - state.heardAt < kLingerSilence;
        if (state.established && state.speaksProtocol && state.unreceipted > 0 && heard)
            return true;
    }
    return false;
}

std::vector<PeerProtocol::LinkId> PeerProtocol::TakeLinks() {
    std::vector<LinkId> all;
    for (const auto& [link, state] : links_)
        all.push_back(link);
    links_.clear();
    return all;
}

int PeerProtocol::EstablishedCount() const {
    return CountWhere([](const Link& state) { return state.established; });
}

bool PeerProtocol::HasRoomFor(std::uint32_t address) const {
    return CountClients() < incomingLimit_ && CountLive() < maxConnections_ &&
           CountClientsFrom(address) < perAddressLimit_;
}

int PeerProtocol::CountClients() const {
    return CountWhere([](const Link& state) { return !state.outgoing && state.established; });
}

int PeerProtocol::CountClientsFrom(std::uint32_t address) const {
    return CountWhere([address](const Link& state) {
        return !state.outgoing && state.established && state.address == address;
    });
}

int PeerProtocol::CountLive() const {
    return CountWhere([](const Link& state) { return !state.refused; });
}

void PeerProtocol::Establish(LinkId link, Link& state, Clock::time_point now) {
    state.established = true;
    state.heardAt = now;
    state.keptAliveAt = now;
    transport_.Established(link);
    transport_.SendInternal(link, kKeepAlive);
}

// Only a link that speaks the protocol is watched: for any other, the transport's own time-out
// stands.
bool PeerProtocol::IsSilent(const Link& state, Clock::time_point now) const {
    return state.established && state.speaksProtocol && now - state.heardAt >= kLostSilence;
}
