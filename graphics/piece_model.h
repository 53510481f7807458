#pragma once

#include <cstdint>

/// Compiles the piece model into a new display list and returns its name (0 on failure): a low
/// disc of radius 0.049 and height 0.032 standing on z = 0, 21 segments round, its top bearing
/// two concentric grooves; no bottom, no colour (the caller's colour is used). The context must
/// be current.
std::uint32_t CompilePieceModel();
