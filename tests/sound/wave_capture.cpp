#include "tests/sound/wave_capture.h"

#include <algorithm>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

std::filesystem::path captureFolder;

void RemoveCaptureFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(captureFolder, ignored);
}

std::uint32_t Read32(const std::vector<char>& bytes, std::size_t offset) {
    std::uint32_t value = 0;
    std::memcpy(&value, bytes.data() + offset, 4);  // the test machines are little-endian
    return value;
}

/// Offset of the samples in OpenAL's output file (its header is longer than the canonical one).
std::size_t FindDataChunk(const std::vector<char>& bytes) {
    std::size_t offset = 12;
    while (offset + 8 <= bytes.size()) {
        if (std::memcmp(bytes.data() + offset, "data", 4) == 0) return offset + 8;
        offset += 8 + Read32(bytes, offset + 4);
    }
    return bytes.size();
}

}  // namespace

void UseWaveWriterOutput() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brivel-sound-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    captureFolder = pattern;
    std::atexit(RemoveCaptureFolder);
    std::ofstream conf(captureFolder / "alsoft.conf");
    conf << "[general]\ndrivers=wave\nchannels=mono\nsample-type=int16\nfrequency=44100\n"
            "dither=false\nperiod_size=256\n[wave]\nfile="
         << (captureFolder / "out.wav").string() << "\n";
    conf.close();
    setenv("ALSOFT_CONF", (captureFolder / "alsoft.conf").c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
}

void UseNoAudioDevice() {
    setenv("ALSOFT_DRIVERS", "none", 1);
}

std::vector<std::int16_t> CapturedOutput() {
    std::ifstream file(captureFolder / "out.wav", std::ios::binary);
    std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    std::size_t data = FindDataChunk(bytes);
    std::vector<std::int16_t> out((bytes.size() - data) / 2);
    if (!out.empty()) std::memcpy(out.data(), bytes.data() + data, out.size() * 2);
    return out;
}

double LevelAt(const std::vector<std::int16_t>& out, int from, int frames) {
    double sum = 0;
    for (int k = from; k < from + frames; ++k) {
        if (k >= 0 && k < static_cast<int>(out.size())) sum += std::abs(out[k]);
    }
    return frames > 0 ? sum / frames : 0;
}

int FirstSound(const std::vector<std::int16_t>& out) {
    auto it = std::find_if(out.begin(), out.end(), [](std::int16_t v) { return v != 0; });
    return it == out.end() ? -1 : static_cast<int>(it - out.begin());
}

int LastSound(const std::vector<std::int16_t>& out) {
    auto it = std::find_if(out.rbegin(), out.rend(), [](std::int16_t v) { return v != 0; });
    return it == out.rend() ? -1 : static_cast<int>(out.rend() - it) - 1;
}

int PeakLevel(const std::vector<std::int16_t>& out) {
    int peak = 0;
    for (std::int16_t v : out)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}
