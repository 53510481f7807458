#pragma once

// Threads: whichever thread owns the store or reader passed in.

#include "framework/settings_store.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

/// Settings written in numbered rounds, for the tests that kill a writer: every round gives
/// each of its keys the round's number, so a file that mixes rounds or lacks a key was left
/// half-written. Besides the game's four settings a round writes filler keys, which make the
/// file long enough that a kill often lands while it is being written.
inline constexpr int kRoundFillerKeys = 400;

/// Writes round `round` to `store`: every key, each with the value `round`.
void WriteRound(CSettingsStore& store, std::int32_t round);

/// Reads one setting; nothing when it is absent or not an integer.
using SettingReader = std::function<std::optional<std::int32_t>(std::string_view name)>;

/// What a settings file holds: no key at all (-1), one round's whole set (that round), or
/// anything else, a torn or damaged set (nothing).
std::optional<std::int32_t> StoredRound(const SettingReader& read);
