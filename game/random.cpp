#include "random.h"

namespace {
std::uint32_t state = 1;

int Advance(std::uint32_t& generator) {
    generator = generator * 214013u + 2531011u;  // wraps modulo 2^32, as the C library's does
    return static_cast<int>((generator >> 16) & 0x7FFFu);
}
}  // namespace

int Rand() {
    return Advance(state);
}

int RandomStream::Next() {
    return Advance(state_);
}

std::uint32_t RandState() {
    return state;
}

void SetRandState(std::uint32_t newState) {
    state = newState;
}
