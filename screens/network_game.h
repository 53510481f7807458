#pragma once

// Threads: user-interface thread only.

#include <array>
#include <string_view>

/// The other machine's address as the session takes it: at most 99 bytes and a zero byte.
using AddressBuffer = std::array<char, 100>;

/// The 8-bit copy of an address typed in the dialog: one byte per UTF-16 unit, its low 8 bits
/// (no code-page conversion), cut after 99 units and ended with a zero byte.
AddressBuffer ToAddressBuffer(std::u16string_view address);

/// Asks the player for a network game ("Network game" dialog) and, when he confirms, starts the
/// session (Red hosts, White connects) and a new GAME on the network play screen with his army
/// in control. True when the caller is to switch to ScreenPlayN; false when he cancelled, and
/// then nothing else has happened.
bool RunNetworkDialog();
