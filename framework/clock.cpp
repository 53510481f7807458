#include "framework/clock.h"

#include <chrono>

namespace {

const std::chrono::steady_clock::time_point ProgramStart = std::chrono::steady_clock::now();

CClock* Installed = nullptr;

}  // namespace

void SetClock(CClock* clock) {
    Installed = clock;
}

std::int64_t TimeMs() {
    if (Installed != nullptr) return Installed->Milliseconds();
    auto elapsed = std::chrono::steady_clock::now() - ProgramStart;
    return std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
}
