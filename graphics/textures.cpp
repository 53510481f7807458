#include "graphics/textures.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <algorithm>
#include <turbojpeg.h>

#include <cstring>
#include <memory>

namespace {

// A picture larger than this on either side is refused rather than decoded: no picture of the
// game comes near it, and a forged header must not make us allocate gigabytes.
constexpr int kLargestPictureSide = 4096;

struct DecompressorCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using Decompressor = std::unique_ptr<void, DecompressorCloser>;

// Decodes top row first into `pixels`; false for anything that is not a sane JPEG.
bool Decode(tjhandle handle, PictureBytes picture, int& width, int& height,
            std::vector<std::uint8_t>& pixels) {
    int subsampling = 0;
    int colourspace = 0;
    auto* data = const_cast<unsigned char*>(picture.data());
    const auto size = static_cast<unsigned long>(picture.size());
    if (tjDecompressHeader3(handle, data, size, &width, &height, &subsampling, &colourspace) != 0) {
        return false;
    }
    if (width < 1 || height < 1 || width > kLargestPictureSide || height > kLargestPictureSide) {
        return false;
    }
    pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    return tjDecompress2(handle, data, size, pixels.data(), width, 0, height, TJPF_BGR, 0) == 0;
}

}  // namespace

bool PaintPicture(PictureBytes picture, std::int32_t height, TextureImage& image) {
    image.height = std::max(height, 0);
    image.bgr.assign(static_cast<std::size_t>(kTextureWidth) * image.height * 3, kPlainTexel);
    if (picture.empty()) return false;
    Decompressor handle(tjInitDecompress());
    if (!handle) return false;
    int width = 0;
    int pictureHeight = 0;
    std::vector<std::uint8_t> pixels;
    if (!Decode(handle.get(), picture, width, pictureHeight, pixels)) return false;
    // Picture row r (from the top) lands on texture row height - 1 - r (rows stored bottom-up).
    const int rows = std::min(pictureHeight, image.height);
    const std::size_t rowBytes = static_cast<std::size_t>(std::min(width, kTextureWidth)) * 3;
    for (int r = 0; r < rows; ++r) {
        const std::uint8_t* source = pixels.data() + static_cast<std::size_t>(r) * width * 3;
        std::uint8_t* target =
            image.bgr.data() + static_cast<std::size_t>(image.height - 1 - r) * kTextureWidth * 3;
        std::memcpy(target, source, rowBytes);
    }
    return true;
}

void UploadTexture(std::uint32_t name, const TextureImage& image) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    // Held as RGBA with an opaque alpha: llvmpipe then samples the full-screen pictures on its
    // fast path (half the cost of a frame's background with three-component texels).
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, kTextureWidth, image.height, 0, GL_BGR,
                 GL_UNSIGNED_BYTE, image.bgr.empty() ? nullptr : image.bgr.data());
}
