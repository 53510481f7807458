#pragma once

#include <cstdint>

class CGraphics;

/// Colours, number texts and the right-aligned placement shared by the scenes' Draw. Rendering
/// thread only: the numbers are formatted into one buffer per thread (thread_local), which the
/// next number on the same thread overwrites.

/// A colour as three components from 0 to 1.
struct SceneColor {
    float r;
    float g;
    float b;
};

inline constexpr SceneColor kGold{1.0f, 0.8f, 0.3f};              ///< placeholder and result line
inline constexpr SceneColor kRedArmyOrange{1.0f, 0.37f, 0.0f};    ///< settings, Red numbers
inline constexpr SceneColor kWhiteArmyOlive{0.75f, 0.75f, 0.0f};  ///< White numbers

/// Makes `color` the current colour of `graphics`.
void SetSceneColor(CGraphics& graphics, SceneColor color);

/// `value` after a plus sign ("+5"; a negative value reads "+-3"); valid until the next number
/// is formatted on this thread.
const char* FormatPoints(std::int32_t value);
/// `value` as a plain decimal number ("5", "-3", "0"); valid until the next number
/// is formatted on this thread.
const char* FormatScore(std::int32_t value);

/// Canvas u at which a text of `width` ems drawn with x scale 0.05 must start to end at
/// u = 1.48: worked out in double precision with the scale widened from single precision,
/// then rounded to single precision.
float RightAlignedX(float width);

/// Draws `text` at v with scales (0.05, 0.06) so that it ends at u = 1.48.
void DrawRightAligned(CGraphics& graphics, float v, const char* text);
