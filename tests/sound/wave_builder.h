#pragma once

#include <cstdint>
#include <vector>

/// Sound files made in memory for the sound tests: canonical 44-byte-header 16-bit PCM WAVE.

/// Frames per second of every test sound, as of the game's own sounds.
inline constexpr int kTestRate = 44100;

/// Number of frames in `milliseconds` at the test rate.
constexpr int FramesIn(int milliseconds) {
    return milliseconds * kTestRate / 1000;
}

/// A canonical WAVE file of 16-bit `samples` (interleaved when `channels` is 2).
std::vector<unsigned char> MakeWave(const std::vector<std::int16_t>& samples, int channels = 1,
                                    int rate = kTestRate);

/// A steady level: `frames` samples all equal to `level`, so that mixed plays add up plainly.
std::vector<std::int16_t> SteadyTone(int frames, std::int16_t level);

/// A sine of 441 Hz with peak `amplitude` starting at its crest, so the first sample is loud.
std::vector<std::int16_t> SineTone(int frames, std::int16_t amplitude);

/// Writes `value` little-endian into `file` at `offset` (for damaging headers).
void Put16(std::vector<unsigned char>& file, std::size_t offset, std::uint16_t value);
void Put32(std::vector<unsigned char>& file, std::size_t offset, std::uint32_t value);
