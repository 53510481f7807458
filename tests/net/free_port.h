#pragma once

#include <cstdint>

/// A UDP port on 127.0.0.1 that nothing was bound to a moment ago, so that tests running at the
/// same time each get their own.
std::uint16_t FreeUdpPort();
