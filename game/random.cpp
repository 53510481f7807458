#include "random.h"

namespace {
std::uint32_t state = 1;
}

int Rand() {
    state = state * 214013u + 2531011u;  // wraps modulo 2^32, as the C library's generator does
    return static_cast<int>((state >> 16) & 0x7FFFu);
}

std::uint32_t RandState() {
    return state;
}

void SetRandState(std::uint32_t newState) {
    state = newState;
}
