#include "net/network_session.h"

#include "framework/message_box.h"

#include <chrono>
#include <string>

std::unique_ptr<ReliableUdpPeer> NetPeer;

namespace {

std::uint16_t SessionPort = kGamePort;
int OpenMessages = 0;

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
        ShowNetworkMessage("Network: msg " + std::to_string(id));
    }
}

void SendFlickMessage(const FlickMessage& message) {
    if (NetPeer == nullptr) return;
    std::array<std::uint8_t, kFlickMessageSize> bytes = EncodeFlickMessage(message);
    NetPeer->Send(bytes);
}

void CloseNetworkSession() {
    if (NetPeer == nullptr) return;
    // The game ends on the machine that made the last move before the other has played it;
    // on a lossy link that flick may still be on its way, and closing now would lose it.
    NetPeer->Linger(std::chrono::milliseconds(kCloseLingerMs));
    NetPeer.reset();
}
