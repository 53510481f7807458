#include "screens/network_game.h"

#include "framework/network_dialog.h"
#include "net/network_session.h"
#include "screens/screen_playn.h"

#include <algorithm>

AddressBuffer ToAddressBuffer(std::u16string_view address) {
    AddressBuffer buffer{};
    std::size_t length = std::min(address.size(), buffer.size() - 1);
    for (std::size_t i = 0; i < length; ++i)
        buffer[i] = static_cast<char>(address[i] & 0xFF);
    buffer[length] = '\0';
    return buffer;
}

bool RunNetworkDialog() {
    std::optional<NetworkChoice> choice = AskNetworkChoice();
    if (!choice) return false;
    AddressBuffer address = ToAddressBuffer(choice->remoteAddress);
    StartNetworkSession(choice->playsRed, address.data());
    ScreenPlayN.BeginSession(choice->playsRed ? kRed : kWhite);
    return true;
}
