#pragma once

// Threads: user-interface thread only.

#include <optional>
#include <string>

/// What the player chose in the "Network game" dialog.
struct NetworkChoice {
    bool playsRed = true;          ///< true: this machine hosts the Red army; false: White
    std::u16string remoteAddress;  ///< the address as typed, at most 99 UTF-16 units
};

/// Asks the player for a network game: the "Network game" dialog, modal. The 50 ms timer keeps
/// ticking while it is open.
class CNetworkDialog {
public:
    /// The player's choice when he confirmed (Enter), nothing when he cancelled (Esc or the
    /// close box).
    virtual std::optional<NetworkChoice> Run() = 0;

protected:
    ~CNetworkDialog() = default;  // owned by whoever installs it
};

/// Installs the dialog; null (the start) makes AskNetworkChoice cancel at once. Not owned.
void SetNetworkDialog(CNetworkDialog* dialog);
/// Runs the installed dialog modally.
std::optional<NetworkChoice> AskNetworkChoice();
