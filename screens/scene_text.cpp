#include "screens/scene_text.h"

#include "graphics/graphics.h"

#include <cstdio>

namespace {

constexpr float kNumberScaleX = 0.05f;
constexpr float kNumberScaleY = 0.06f;
constexpr double kRightEdge = 1.48;

// "+%d" of the most negative 32-bit number is "+-2147483648": 12 characters and the end mark.
// One buffer per thread, so that a number formatted on another thread can never overwrite one
// that the rendering thread is drawing.
thread_local char TextBuffer[16];

const char* Format(const char* format, std::int32_t value) {
    std::snprintf(TextBuffer, sizeof TextBuffer, format, static_cast<int>(value));
    return TextBuffer;
}

}  // namespace

void SetSceneColor(CGraphics& graphics, SceneColor color) {
    graphics.SetColor(color.r, color.g, color.b);
}

const char* FormatPoints(std::int32_t value) {
    return Format("+%d", value);
}

const char* FormatScore(std::int32_t value) {
    return Format("%d", value);
}

float RightAlignedX(float width) {
    return static_cast<float>(kRightEdge -
                              static_cast<double>(width) * static_cast<double>(kNumberScaleX));
}

void DrawRightAligned(CGraphics& graphics, float v, const char* text) {
    float x = RightAlignedX(graphics.GetTextWidth(text));
    graphics.DrawString(x, v, kNumberScaleX, kNumberScaleY, text);
}
