#pragma once

#include <array>

/// The shadow of a piece: its top rim projected onto the board's top (z = 0) from a point
/// light at (-2.5, -3.5, 5) in board space, as 22 points (x, y) going once round, the last
/// repeating the first. Every coordinate is clamped to [0, 1], so the shadow of a piece over
/// the edge is cut off there and never leaves the board.
inline constexpr int kShadowVertexCount = 22;
using ShadowPolygon = std::array<std::array<double, 2>, kShadowVertexCount>;

/// The shadow polygon of a piece centred at (x, y), board units.
ShadowPolygon MakeShadowPolygon(double x, double y);
