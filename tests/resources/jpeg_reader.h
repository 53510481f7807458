#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

/// A decoded picture: rows of blue, green, red bytes, bottom row first (the order textures
/// are uploaded in), so row 0 is the picture's bottom edge.
struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bgr;

    /// Mean luminance (0..255) of the square of (2 half + 1) pixels centred on (x, y), with y
    /// counted from the bottom edge.
    double MeanLuminance(int x, int y, int half) const;
    /// Mean luminance of the pixels from (x0, y0) to (x1, y1) inclusive, y from the bottom edge.
    double MeanLuminance(int x0, int y0, int x1, int y1) const;
    /// Blue, green, red of one pixel, y from the bottom edge.
    const unsigned char* Pixel(int x, int y) const { return &bgr[(y * width + x) * 3u]; }
};

/// Decodes a JPEG with libjpeg-turbo; std::nullopt if it is not one.
std::optional<DecodedPicture> DecodeJpeg(const unsigned char* data, std::size_t size);

/// The marker of the first start-of-frame segment (0xC0 baseline, 0xC2 progressive, ...), or
/// std::nullopt if the bytes end or break before one.
std::optional<std::uint8_t> FrameMarker(const unsigned char* data, std::size_t size);
