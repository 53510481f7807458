#include "graphics/frame_sink.h"

#include <cstring>

std::uint32_t FramePixels::At(std::int32_t x, std::int32_t y) const {
    std::uint32_t word = 0;
    std::memcpy(&word, topRow + y * rowStride + std::ptrdiff_t{x} * 4, sizeof word);
    return word;
}
