#include "sound/wave_file.h"

#include "sound/sound.h"
#include "tests/sound/wave_builder.h"

#include <gtest/gtest.h>

// Sound files are read from a fixed header layout; every damaged file must be refused without a
// read outside its bytes (the files below are exactly sized, so AddressSanitizer sees any).

namespace {

std::vector<unsigned char> GoodWave() {
    return MakeWave(SteadyTone(441, 1000));
}

/// Each way a sound file can be damaged, with a name for the failure message.
struct Damage {
    const char* name;
    std::vector<unsigned char> file;
};

std::vector<Damage> DamagedFiles() {
    std::vector<Damage> damaged;
    auto with = [&](const char* name, auto change) {
        std::vector<unsigned char> file = GoodWave();
        change(file);
        damaged.push_back({name, std::move(file)});
    };
    damaged.push_back({"empty", {}});
    with("43 bytes", [](auto& f) { f.resize(43); });
    with("not RIFF", [](auto& f) { f[0] = 'X'; });
    with("not WAVE", [](auto& f) { f[8] = 'X'; });
    with("no fmt chunk", [](auto& f) { f[12] = 'X'; });
    with("longer fmt chunk", [](auto& f) { Put32(f, 16, 18); });
    with("float samples", [](auto& f) { Put16(f, 20, 3); });
    with("no channels", [](auto& f) { Put16(f, 22, 0); });
    with("three channels", [](auto& f) { Put16(f, 22, 3); });
    with("rate 0", [](auto& f) { Put32(f, 24, 0); });
    with("huge rate", [](auto& f) { Put32(f, 24, 0xFFFFFFFFu); });
    with("wrong block", [](auto& f) { Put16(f, 32, 4); });
    with("8-bit samples", [](auto& f) { Put16(f, 34, 8); });
    with("no data chunk", [](auto& f) { f[36] = 'X'; });
    with("data past the end", [](auto& f) { Put32(f, 40, static_cast<std::uint32_t>(f.size())); });
    with("data size huge", [](auto& f) { Put32(f, 40, 0xFFFFFFFFu); });
    return damaged;
}

}  // namespace

// The format comes from the header fields at bytes 20 to 35, and the samples from byte 44 on.
TEST(WaveFile, ReadsTheCanonicalHeader) {
    std::vector<unsigned char> file = MakeWave(SteadyTone(882, 5), 2, 22050);
    std::optional<WaveSamples> wave = ReadWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->format.formatTag, 1);
    EXPECT_EQ(wave->format.channels, 2);
    EXPECT_EQ(wave->format.samplesPerSecond, 22050u);
    EXPECT_EQ(wave->format.averageBytesPerSecond, 88200u);
    EXPECT_EQ(wave->format.blockAlign, 4);
    EXPECT_EQ(wave->format.bitsPerSample, 16);
    EXPECT_EQ(wave->data.data(), file.data() + 44);
    EXPECT_EQ(wave->data.size(), 1764u);
}

// Bytes after the data chunk are not samples, and half a frame at its end is dropped.
TEST(WaveFile, TakesOnlyWholeFramesOfTheDataChunk) {
    std::vector<unsigned char> file = MakeWave(SteadyTone(100, 5), 2);
    file.resize(file.size() + 10, 0xAB);
    std::optional<WaveSamples> wave = ReadWave(file);
    ASSERT_TRUE(wave);
    EXPECT_EQ(wave->data.size(), 200u);
    Put32(file, 40, 203);
    EXPECT_EQ(ReadWave(file)->data.size(), 200u);
}

// A header alone is a sound of no samples.
TEST(WaveFile, HeaderAloneHasNoSamples) {
    std::optional<WaveSamples> wave = ReadWave(MakeWave({}));
    ASSERT_TRUE(wave);
    EXPECT_TRUE(wave->data.empty());
}

// Every kind of damage is refused, and gives a silent player whose calls all return.
TEST(WaveFile, DamagedFilesAreRefusedAndGiveSilentPlayers) {
    for (const Damage& damage : DamagedFiles()) {
        SCOPED_TRACE(damage.name);
        EXPECT_FALSE(ReadWave(damage.file));
        CSound player(damage.file);
        EXPECT_TRUE(player.IsSilent());
        EXPECT_EQ(player.DataLength(), 0u);
        player.SetVolume(12345);
        player.Play();
        player.Stop();
        player.OnPlayDone();
    }
}

// A sound cut anywhere inside its header is refused; cut inside its samples it is damaged too.
TEST(WaveFile, EveryTruncationIsRefused) {
    std::vector<unsigned char> good = GoodWave();
    for (std::size_t size = 0; size < good.size(); ++size) {
        std::vector<unsigned char> cut(good.begin(), good.begin() + size);
        EXPECT_FALSE(ReadWave(cut)) << size << " bytes";
    }
    EXPECT_TRUE(ReadWave(good));
}
