#pragma once

#include <cstdint>
#include <optional>
#include <span>

/// Reading the game's sound files: canonical RIFF WAVE files with a 44-byte header (a "RIFF"
/// header, a 16-byte "fmt " chunk, then the "data" chunk) holding 16-bit PCM samples.

/// Size of the canonical header; the samples start right after it.
inline constexpr std::size_t kWaveHeaderSize = 44;

/// The format record of a sound file: its header fields at bytes 20 to 35, little-endian.
struct WaveFormat {
    std::uint16_t formatTag = 0;              ///< 1 for PCM
    std::uint16_t channels = 0;               ///< 1 mono, 2 stereo
    std::uint32_t samplesPerSecond = 0;       ///< frames per second
    std::uint32_t averageBytesPerSecond = 0;  ///< as written in the file; not relied upon
    std::uint16_t blockAlign = 0;             ///< bytes of one frame (all channels)
    std::uint16_t bitsPerSample = 0;          ///< 16 for every file the game plays
};

/// A sound file's format and the bytes of its samples (a view into the file).
struct WaveSamples {
    WaveFormat format;
    std::span<const unsigned char> data;  ///< whole frames only; may be empty
};

/// Reads a canonical 16-bit PCM WAVE file of 1 or 2 channels. std::nullopt for anything else: a
/// file shorter than its header, other chunk names, a format other than 16-bit PCM, a data chunk
/// that claims more bytes than the file holds. Never reads outside `file`.
std::optional<WaveSamples> ReadWave(std::span<const unsigned char> file);
