#pragma once

// Threads: user-interface thread only.

#include <cstdint>
#include <optional>
#include <string_view>

/// The player's per-user settings store: 32-bit integers by name ("cx", "cy", "sound",
/// "music", "mouse", "rotate", "fullscreen", "level"). A store that cannot be read or written
/// is ignored without a word.
class CSettingsStore {
public:
    /// The value stored under `name`; nothing when it is absent, unreadable or not an integer.
    virtual std::optional<std::int32_t> Read(std::string_view name) = 0;
    /// Stores `value` under `name`; a failure is ignored.
    virtual void Write(std::string_view name, std::int32_t value) = 0;

protected:
    ~CSettingsStore() = default;  // owned by whoever installs it
};

/// Installs the store; null (the start) reads nothing and writes nowhere. Not owned.
void SetSettingsStore(CSettingsStore* store);
/// The value under `name`, or `fallback` when there is none.
std::int32_t ReadSetting(std::string_view name, std::int32_t fallback);
/// Stores `value` under `name`.
void WriteSetting(std::string_view name, std::int32_t value);
