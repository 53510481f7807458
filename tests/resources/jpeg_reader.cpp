#include "tests/resources/jpeg_reader.h"

#include <turbojpeg.h>

#include <memory>

double DecodedPicture::MeanLuminance(int x, int y, int half) const {
    return MeanLuminance(x - half, y - half, x + half, y + half);
}

double DecodedPicture::MeanLuminance(int x0, int y0, int x1, int y1) const {
    double sum = 0;
    int count = 0;
    for (int row = y0; row <= y1; ++row) {
        for (int column = x0; column <= x1; ++column) {
            const unsigned char* p = Pixel(column, row);
            sum += 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
            ++count;
        }
    }
    return sum / count;
}

std::optional<DecodedPicture> DecodeJpeg(const unsigned char* data, std::size_t size) {
    std::unique_ptr<void, int (*)(tjhandle)> decoder(tjInitDecompress(), tjDestroy);
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (!decoder || tjDecompressHeader3(decoder.get(), data, static_cast<unsigned long>(size),
                                        &width, &height, &subsampling, &colourspace) != 0) {
        return std::nullopt;
    }
    DecodedPicture picture{width, height, std::vector<unsigned char>(width * height * 3u)};
    if (tjDecompress2(decoder.get(), data, static_cast<unsigned long>(size), picture.bgr.data(),
                      width, 0, height, TJPF_BGR, TJFLAG_BOTTOMUP) != 0) {
        return std::nullopt;
    }
    return picture;
}

std::optional<std::uint8_t> FrameMarker(const unsigned char* data, std::size_t size) {
    // Segments follow the start-of-image marker: 0xFF, a marker byte, a big-endian length
    // that counts itself. Start-of-frame markers are 0xC0..0xCF except 0xC4, 0xC8 and 0xCC.
    std::size_t at = 2;
    while (at + 4 <= size && data[at] == 0xFF) {
        const std::uint8_t marker = data[at + 1];
        const bool isFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame) return marker;
        at += 2 + (std::size_t{data[at + 2]} << 8 | data[at + 3]);
    }
    return std::nullopt;
}
