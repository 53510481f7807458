#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

/// Bytes of one embedded JPEG picture; empty when the picture does not exist.
using PictureBytes = std::span<const unsigned char>;
/// Finds the picture with the given resource id (129 to 135).
using PictureSource = std::function<PictureBytes(int id)>;

inline constexpr std::int32_t kTextureWidth = 1024;
/// Grey of a texture whose picture is missing or undecodable, and of the parts of a texture
/// that a smaller picture leaves uncovered.
inline constexpr std::uint8_t kPlainTexel = 0x80;

/// A texture image of 1024 x height texels, three bytes each in blue, green, red order, bottom
/// row first, so that t = 0 is the picture's bottom edge.
struct TextureImage {
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgr;
};

/// Paints the JPEG `picture` upright into the top-left corner of a plain image of
/// 1024 x height texels, at its own pixel size and cut off where it does not fit. Returns false,
/// leaving the image plain, when the bytes are not a decodable picture of a sane size.
bool PaintPicture(PictureBytes picture, std::int32_t height, TextureImage& image);

/// Uploads `image` into texture `name` (level 0 only, RGB, repeat wrap, nearest filters, no
/// mipmaps). The context must be current.
void UploadTexture(std::uint32_t name, const TextureImage& image);
