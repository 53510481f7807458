#pragma once

// Threads: the clock is read on the user-interface thread; installing one is for tests, before
// anything reads it.

#include <cstdint>

/// A source of the game's time.
class CClock {
public:
    /// Milliseconds since the program started.
    virtual std::int64_t Milliseconds() = 0;

protected:
    ~CClock() = default;  // owned by whoever installs it
};

/// Installs another clock (tests); null restores the system's steady clock. Not owned.
void SetClock(CClock* clock);
/// Milliseconds since the program started, never going backwards with the system clock.
std::int64_t TimeMs();
