#include "sound/wave_file.h"

#include <cstring>
#include <limits>

namespace {

constexpr std::uint16_t kPcmFormatTag = 1;
constexpr std::uint32_t kCanonicalFmtSize = 16;
constexpr std::uint32_t kHighestRate = 192000;

std::uint16_t Read16(std::span<const unsigned char> file, std::size_t offset) {
    return static_cast<std::uint16_t>(file[offset] | file[offset + 1] << 8);
}

std::uint32_t Read32(std::span<const unsigned char> file, std::size_t offset) {
    return static_cast<std::uint32_t>(Read16(file, offset)) |
           static_cast<std::uint32_t>(Read16(file, offset + 2)) << 16;
}

bool HasTag(std::span<const unsigned char> file, std::size_t offset, const char (&tag)[5]) {
    return std::memcmp(file.data() + offset, tag, 4) == 0;
}

/// The fixed layout is assumed by where the samples are taken from, so it is checked in full.
bool HasCanonicalLayout(std::span<const unsigned char> file) {
    return HasTag(file, 0, "RIFF") && HasTag(file, 8, "WAVE") && HasTag(file, 12, "fmt ") &&
           Read32(file, 16) == kCanonicalFmtSize && HasTag(file, 36, "data");
}

WaveFormat ReadFormat(std::span<const unsigned char> file) {
    WaveFormat format;
    format.formatTag = Read16(file, 20);
    format.channels = Read16(file, 22);
    format.samplesPerSecond = Read32(file, 24);
    format.averageBytesPerSecond = Read32(file, 28);
    format.blockAlign = Read16(file, 32);
    format.bitsPerSample = Read16(file, 34);
    return format;
}

bool IsPlayable16BitPcm(const WaveFormat& format) {
    bool channelsOk = format.channels == 1 || format.channels == 2;
    return format.formatTag == kPcmFormatTag && format.bitsPerSample == 16 && channelsOk &&
           format.blockAlign == format.channels * 2 && format.samplesPerSecond > 0 &&
           format.samplesPerSecond <= kHighestRate;
}

}  // namespace

std::optional<WaveSamples> ReadWave(std::span<const unsigned char> file) {
    if (file.size() < kWaveHeaderSize || !HasCanonicalLayout(file)) return std::nullopt;
    WaveFormat format = ReadFormat(file);
    if (!IsPlayable16BitPcm(format)) return std::nullopt;
    // The data chunk's own size says how many sample bytes follow; bytes after it (another chunk)
    // are not samples, and a size past the end of the file is damage.
    std::size_t declared = Read32(file, 40);
    if (declared > file.size() - kWaveHeaderSize) return std::nullopt;
    if (declared > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    std::size_t wholeFrames = declared - declared % format.blockAlign;
    return WaveSamples{format, file.subspan(kWaveHeaderSize, wholeFrames)};
}
