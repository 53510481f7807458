#include "framework/network_dialog.h"

namespace {
CNetworkDialog* Dialog = nullptr;
}

void SetNetworkDialog(CNetworkDialog* dialog) {
    Dialog = dialog;
}

std::optional<NetworkChoice> AskNetworkChoice() {
    if (Dialog == nullptr) return std::nullopt;
    return Dialog->Run();
}
