#include "resources/resources.h"

#include "tests/resources/jpeg_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

namespace {

std::uint32_t Read32(const unsigned char* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t{p[3]} << 24;
}
std::uint16_t Read16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}
std::string_view Tag(const unsigned char* p) {
    return {reinterpret_cast<const char*>(p), 4};
}
std::int16_t Sample(const ResourceBytes& wave, std::size_t k) {
    return static_cast<std::int16_t>(Read16(wave.data + 44 + 2 * k));
}

struct PictureSize {
    int id;
    int width;
    int height;
};
constexpr PictureSize kPictures[] = {{129, 1024, 256}, {130, 1024, 1024}, {131, 1024, 512},
                                     {132, 1024, 512}, {133, 256, 256},   {134, 1024, 512},
                                     {135, 1024, 512}};

struct SoundSize {
    int id;
    std::size_t bytes;
};
constexpr SoundSize kSounds[] = {{134, 6900}, {135, 16046}, {136, 10586}};

}  // namespace

// Every picture is carried, is a baseline JPEG and decodes to exactly its size.
TEST(Resources, EveryPictureIsABaselineJpegOfItsSize) {
    for (const PictureSize& expected : kPictures) {
        SCOPED_TRACE(expected.id);
        const auto picture = FindResource("IMAGE", expected.id);
        ASSERT_TRUE(picture.has_value());
        ASSERT_GT(picture->size, 4u);
        EXPECT_EQ(picture->data[0], 0xFF);
        EXPECT_EQ(picture->data[1], 0xD8);
        EXPECT_EQ(FrameMarker(picture->data, picture->size), std::uint8_t{0xC0});
        const auto decoded = DecodeJpeg(picture->data, picture->size);
        ASSERT_TRUE(decoded.has_value());
        EXPECT_EQ(decoded->width, expected.width);
        EXPECT_EQ(decoded->height, expected.height);
    }
}

// Every sound has its exact file size and the canonical 44-byte PCM header.
TEST(Resources, EverySoundIsCanonicalMonoPcmOfItsSize) {
    for (const SoundSize& expected : kSounds) {
        SCOPED_TRACE(expected.id);
        const auto wave = FindResource("WAVE", expected.id);
        ASSERT_TRUE(wave.has_value());
        ASSERT_EQ(wave->size, expected.bytes);
        const unsigned char* h = wave->data;
        EXPECT_EQ(Tag(h), "RIFF");
        EXPECT_EQ(Read32(h + 4), expected.bytes - 8);
        EXPECT_EQ(Tag(h + 8), "WAVE");
        EXPECT_EQ(Tag(h + 12), "fmt ");
        EXPECT_EQ(Read32(h + 16), 16u);
        EXPECT_EQ(Read16(h + 20), 1);  // PCM
        EXPECT_EQ(Read16(h + 22), 1);  // channels
        EXPECT_EQ(Read32(h + 24), 44100u);
        EXPECT_EQ(Read32(h + 28), 88200u);  // bytes per second
        EXPECT_EQ(Read16(h + 32), 2);       // block align
        EXPECT_EQ(Read16(h + 34), 16);      // bits per sample
        EXPECT_EQ(Tag(h + 36), "data");
        EXPECT_EQ(Read32(h + 40), expected.bytes - 44);
    }
}

// Each sound is clearly audible, yet starts and ends at rest, so a play never clicks.
TEST(Resources, EverySoundIsAudibleAndStartsAndEndsSilent) {
    for (const SoundSize& expected : kSounds) {
        SCOPED_TRACE(expected.id);
        const ResourceBytes wave = FindResource("WAVE", expected.id).value();
        const std::size_t count = (wave.size - 44) / 2;
        int peak = 0;
        for (std::size_t k = 0; k < count; ++k)
            peak = std::max(peak, std::abs(Sample(wave, k)));
        EXPECT_GT(peak, 16000);
        EXPECT_LT(std::abs(Sample(wave, 0)), 2000);
        EXPECT_EQ(Sample(wave, count - 1), 0);
    }
}

// Looking up something that is not carried reports it instead of crashing.
TEST(Resources, MissingResourcesAreReported) {
    EXPECT_FALSE(FindResource("IMAGE", 128).has_value());
    EXPECT_FALSE(FindResource("IMAGE", 136).has_value());
    EXPECT_FALSE(FindResource("WAVE", 133).has_value());
    EXPECT_FALSE(FindResource("WAVE", 137).has_value());
    EXPECT_FALSE(FindResource("WAVE", 129).has_value());  // an id of the other type
    EXPECT_FALSE(FindResource("IMAGE", -129).has_value());
    EXPECT_FALSE(FindResource("IMAGE", INT_MIN).has_value());
    EXPECT_FALSE(FindResource("IMAGE", INT_MAX).has_value());
    EXPECT_FALSE(FindResource("", 129).has_value());
    EXPECT_FALSE(FindResource("IMAGES", 129).has_value());
    EXPECT_FALSE(FindResource("IMAG", 129).has_value());
    EXPECT_FALSE(FindResource(std::string_view("IMAGE\0", 6), 129).has_value());
}

// The same lookup gives the same bytes every time, and distinct resources do not overlap.
TEST(Resources, ResourcesAreStableAndDistinct) {
    const ResourceBytes first = FindResource("IMAGE", 130).value();
    const ResourceBytes again = FindResource("IMAGE", 130).value();
    EXPECT_EQ(first.data, again.data);
    EXPECT_EQ(first.size, again.size);
    std::vector<ResourceBytes> all;
    for (const PictureSize& p : kPictures)
        all.push_back(FindResource("IMAGE", p.id).value());
    for (const SoundSize& s : kSounds)
        all.push_back(FindResource("WAVE", s.id).value());
    for (std::size_t a = 0; a < all.size(); ++a) {
        for (std::size_t b = a + 1; b < all.size(); ++b) {
            const auto aStart = reinterpret_cast<std::uintptr_t>(all[a].data);
            const auto bStart = reinterpret_cast<std::uintptr_t>(all[b].data);
            EXPECT_TRUE(aStart + all[a].size <= bStart || bStart + all[b].size <= aStart);
        }
    }
}
