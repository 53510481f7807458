#pragma once

#include "game/flag.h"

#include <array>
#include <cstdint>

/// Fixed tables for drawing the flag cloth: 19 quad strips, strip k joining mesh row k with
/// row k + 1 across the 13 columns, and one texture coordinate per mesh point. The picture's
/// width runs along the 20 rows and its height across the 13 columns.
inline constexpr int kFlagStripCount = kFlagRows - 1;
inline constexpr int kFlagStripLength = kFlagColumns * 2;

using FlagIndexTable = std::array<std::array<std::uint32_t, kFlagStripLength>, kFlagStripCount>;
using FlagTexCoordTable = std::array<float, kFlagPointCount * 2>;

/// Strip k lists, for each column j, the pair k * 13 + j, (k + 1) * 13 + j.
void FillFlagIndices(FlagIndexTable& indices);
/// Point (i, j) gets s = i / 19, t = j / 12 (worked out in double precision).
void FillFlagTexCoords(FlagTexCoordTable& texCoords);
