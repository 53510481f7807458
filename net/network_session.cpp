#include "net/network_session.h"

#include "framework/clock.h"
#include "framework/message_box.h"

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>

std::unique_ptr<ReliableUdpPeer> NetPeer;

namespace {

std::uint16_t SessionPort = kGamePort;
int OpenMessages = 0;

/// The "Network: msg %d" boxes of the session.
struct UnknownMessages {
    bool boxOpen = false;
    std::optional<std::int64_t> lastBoxAt;  ///< TimeMs when the last one opened
    long dropped = 0;                       ///< identifiers not shown
};
UnknownMessages Unknown;

// The text of the box a connection event shows; null for events that show none.
const char* EventText(std::uint8_t id) {
    switch (id) {
        case kIdConnectionRequestAccepted:
            return "CONNECTION_REQUEST_ACCEPTED";
        case kIdConnectionAttemptFailed:
            return "CONNECTION_ATTEMPT_FAILED";
        case kIdNoFreeIncomingConnections:
        case kIdDisconnectionNotification:
        case kIdConnectionLost:
            return "CONNECTION_LOST";
        default:
            return nullptr;
    }
}

// The box is modal and the timer keeps ticking inside it, so this may be re-entered from a
// later tick before it returns.
void ShowNetworkMessage(const std::string& text) {
    if (OpenMessages >= kMaxOpenNetworkMessages) return;
    ++OpenMessages;
    ShowMessage(text);
    --OpenMessages;
}

void ShowUnknownMessage(std::uint8_t id) {
    std::int64_t now = TimeMs();
    bool due = !Unknown.lastBoxAt || now - *Unknown.lastBoxAt >= kUnknownMessageBoxIntervalMs;
    if (Unknown.boxOpen || !due || OpenMessages >= kMaxOpenNetworkMessages) {
        ++Unknown.dropped;
        return;
    }
    Unknown.boxOpen = true;
    Unknown.lastBoxAt = now;
    ShowNetworkMessage("Network: msg " + std::to_string(id));
    Unknown.boxOpen = false;
}

// The one line on what the ended session dropped, if it dropped anything.
void ReportDropped() {
    std::size_t packets = NetPeer != nullptr ? NetPeer->DroppedPackets() : 0;
    if (Unknown.dropped > 0 || packets > 0) {
        std::fprintf(stderr,
                     "Network: %ld unknown messages were not shown, %zu received packets were "
                     "dropped\n",
                     Unknown.dropped, packets);
    }
    // A box still open stays the only one; the next session may show one at once.
    Unknown.dropped = 0;
    Unknown.lastBoxAt.reset();
}

}  // namespace

std::uint16_t GamePort() {
    return SessionPort;
}

void SetGamePort(std::uint16_t port) {
    SessionPort = port;
}

void StartNetworkSession(bool playsRed, const char* address) {
    NetPeer = std::make_unique<ReliableUdpPeer>();
    if (playsRed) {
        NetPeer->Startup(kHostConnections, kPeerUpdatePeriodMs, SessionPort);
        NetPeer->SetMaximumIncomingConnections(kHostConnections);
        NetPeer->SetMaximumConnectionsPerAddress(kHostConnectionsPerAddress);
        return;
    }
    NetPeer->Startup(kClientConnections, kPeerUpdatePeriodMs, 0);
    if (address[0] == '\0') address = "127.0.0.1";
    NetPeer->Connect(address, SessionPort);
}

void PumpNetwork(FlickReceiver& screen) {
    if (NetPeer == nullptr) return;
    std::unique_ptr<NetPacket> packet = NetPeer->Receive();
    // The packet is ours from here on: a box opened below may run ticks that close the session.
    if (packet != nullptr) HandleNetworkPacket(packet->data, screen);
}

void HandleNetworkPacket(std::span<const std::uint8_t> data, FlickReceiver& screen) {
    if (data.empty()) return;
    std::uint8_t id = data[0];
    if (id == kIdFlickMessage) {
        if (std::optional<FlickMessage> flick = DecodeFlickMessage(data)) {
            screen.HandleFlickMessage(*flick);
        }
    } else if (id == kIdNewIncomingConnection) {
        // The host is not told when a client arrives.
    } else if (const char* text = EventText(id)) {
        ShowNetworkMessage(text);
    } else {
        ShowUnknownMessage(id);
    }
}

void SendFlickMessage(const FlickMessage& message) {
    if (NetPeer == nullptr) return;
    std::array<std::uint8_t, kFlickMessageSize> bytes = EncodeFlickMessage(message);
    NetPeer->Send(bytes);
}

namespace {

void EndSession(Farewell farewell) {
    ReportDropped();
    if (NetPeer == nullptr) return;
    // The game ends on the machine that made the last move before the other has played it;
    // on a lossy link that flick may still be on its way, and closing now would lose it.
    NetPeer->Linger(std::chrono::milliseconds(kCloseLingerMs));
    NetPeer->Close(farewell);
    NetPeer.reset();
}

}  // namespace

void CloseNetworkSession() {
    EndSession(Farewell::kNotice);
}

void CloseNetworkSessionAfterGame() {
    EndSession(Farewell::kSilence);
}
