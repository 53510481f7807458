#pragma once

#include <cstdint>

/// The one program-wide pseudo-random generator of the game. It is never seeded, so every run
/// draws the same sequence: the classic C-library linear congruential generator (32-bit state
/// starting at 1). Every draw of the game logic (flicks, the opponent, the flag) comes from here.

/// Largest value that `Rand` returns.
inline constexpr int kRandMax = 32767;

/// Next value of the sequence, 0 to 32767.
int Rand();

/// The generator's state, so that tests can save and repeat a sequence.
std::uint32_t RandState();

/// Sets the generator's state; 1 is the state at program start.
void SetRandState(std::uint32_t state);

/// A generator of its own, drawing the same kind of sequence as Rand from its own state, for
/// draws that must leave the program's sequence alone.
class RandomStream {
public:
    explicit RandomStream(std::uint32_t state) : state_(state) {}
    /// Next value of this stream, 0 to 32767.
    int Next();
    std::uint32_t State() const { return state_; }

private:
    std::uint32_t state_;
};
