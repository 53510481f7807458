#include "tests/sound/wave_builder.h"

#include <cmath>
#include <numbers>

void Put16(std::vector<unsigned char>& file, std::size_t offset, std::uint16_t value) {
    file[offset] = static_cast<unsigned char>(value & 0xFF);
    file[offset + 1] = static_cast<unsigned char>(value >> 8);
}

void Put32(std::vector<unsigned char>& file, std::size_t offset, std::uint32_t value) {
    Put16(file, offset, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(file, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

namespace {

void PutTag(std::vector<unsigned char>& file, std::size_t offset, const char (&tag)[5]) {
    for (int k = 0; k < 4; ++k)
        file[offset + k] = static_cast<unsigned char>(tag[k]);
}

}  // namespace

std::vector<unsigned char> MakeWave(const std::vector<std::int16_t>& samples, int channels,
                                    int rate) {
    auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    auto blockAlign = static_cast<std::uint16_t>(channels * 2);
    std::vector<unsigned char> file(44 + dataBytes);
    PutTag(file, 0, "RIFF");
    Put32(file, 4, 36 + dataBytes);
    PutTag(file, 8, "WAVE");
    PutTag(file, 12, "fmt ");
    Put32(file, 16, 16);
    Put16(file, 20, 1);
    Put16(file, 22, static_cast<std::uint16_t>(channels));
    Put32(file, 24, static_cast<std::uint32_t>(rate));
    Put32(file, 28, static_cast<std::uint32_t>(rate) * blockAlign);
    Put16(file, 32, blockAlign);
    Put16(file, 34, 16);
    PutTag(file, 36, "data");
    Put32(file, 40, dataBytes);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        Put16(file, 44 + 2 * k, static_cast<std::uint16_t>(samples[k]));
    }
    return file;
}

std::vector<std::int16_t> SteadyTone(int frames, std::int16_t level) {
    return std::vector<std::int16_t>(static_cast<std::size_t>(frames), level);
}

std::vector<std::int16_t> SineTone(int frames, std::int16_t amplitude) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames));
    for (int k = 0; k < frames; ++k) {
        double phase = 2 * std::numbers::pi * k / 100.0;
        samples[k] = static_cast<std::int16_t>(std::lround(amplitude * std::cos(phase)));
    }
    return samples;
}
