#include "sound/sound_effects.h"
#include "sound/vorbis_stream.h"

#include "tests/sound/wave_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// The program-wide players load the sounds the program carries and play them as they are.

using namespace std::chrono_literals;

namespace {

/// Waits until `player` has no play going; false after 3 s.
bool WaitUntilQuiet(const CSound& player) {
    for (int k = 0; k < 600 && player.PlaysGoing() > 0; ++k)
        std::this_thread::sleep_for(5ms);
    return player.PlaysGoing() == 0;
}

/// The samples of the carried "WAVE" resource `id` (after its 44-byte header).
std::vector<std::int16_t> ResourceSamples(int id) {
    std::span<const unsigned char> file = WaveResource(id);
    std::vector<std::int16_t> samples((file.size() - 44) / 2);
    for (std::size_t k = 0; k < samples.size(); ++k) {
        samples[k] = static_cast<std::int16_t>(file[44 + 2 * k] | file[45 + 2 * k] << 8);
    }
    return samples;
}

/// True when `out` holds `samples` one after the other, each within 1, from `start` on.
bool HoldsAt(const std::vector<std::int16_t>& out, int start,
             const std::vector<std::int16_t>& samples) {
    if (start < 0 || start + samples.size() > out.size()) return false;
    for (std::size_t k = 0; k < samples.size(); ++k) {
        if (std::abs(out[start + k] - samples[k]) > 1) return false;
    }
    return true;
}

// The game's two sounds, pinned here rather than taken from the code under test: the charge
// is WAVE resource 134, the fall WAVE resource 136.
constexpr int kChargeWave = 134;
constexpr int kFallWave = 136;

}  // namespace

// Both players read 16-bit mono 44100 Hz PCM and every sample byte of their resource.
TEST(SoundEffects, PlayersLoadTheCarriedSounds) {
    SoundEffects effects;
    EXPECT_FALSE(effects.ChargeSound.IsSilent());
    EXPECT_FALSE(effects.FallSound.IsSilent());
    EXPECT_EQ(effects.ChargeSound.DataLength(), 6856u);
    EXPECT_EQ(effects.FallSound.DataLength(), WaveResource(kFallWave).size() - 44);
    const WaveFormat& format = effects.ChargeSound.Format();
    EXPECT_EQ(format.formatTag, 1);
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.samplesPerSecond, 44100u);
    EXPECT_EQ(format.bitsPerSample, 16);
}

// A play of the charge sound puts exactly its samples into the output, and nothing else.
TEST(SoundEffects, ChargeSoundPutsItsSamplesIntoTheOutput) {
    std::vector<std::int16_t> samples = ResourceSamples(kChargeWave);
    {
        SoundEffects effects;
        effects.ChargeSound.Play();
        ASSERT_TRUE(WaitUntilQuiet(effects.ChargeSound));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    // The sound may begin with silent samples: align on its first audible one.
    auto firstAudible = std::find_if(samples.begin(), samples.end(), [](auto v) { return v; });
    ASSERT_NE(firstAudible, samples.end());
    int start = FirstSound(out) - static_cast<int>(firstAudible - samples.begin());
    EXPECT_TRUE(HoldsAt(out, start, samples));
}

// The fall sound plays its own samples, at the level it was given.
TEST(SoundEffects, FallSoundPlaysAtItsLevel) {
    std::vector<std::int16_t> samples = ResourceSamples(kFallWave);
    int peak = 0;
    for (std::int16_t v : samples)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    {
        SoundEffects effects;
        effects.FallSound.SetVolume(32767);
        effects.FallSound.Play();
        ASSERT_TRUE(WaitUntilQuiet(effects.FallSound));
    }
    EXPECT_NEAR(PeakLevel(CapturedOutput()), peak / 2.0, 2);
}

// The carried music lasts at least 90 s and goes round without a seam: after its last frame
// come exactly its first ones.
TEST(Music, CarriedPieceLoopsOntoItsOwnStart) {
    std::unique_ptr<VorbisStream> stream = VorbisStream::Open(SoundResource("MUSIC", kMusicId));
    ASSERT_TRUE(stream);
    EXPECT_GE(stream->Frames(), 90 * stream->Rate());
    std::vector<std::int16_t> first(4096 * stream->Channels()), block(first.size());
    ASSERT_TRUE(stream->Read(first));
    std::vector<std::int16_t> rest((stream->Frames() - 4096) * stream->Channels());
    ASSERT_TRUE(stream->Read(rest));
    ASSERT_TRUE(stream->Read(block));
    EXPECT_EQ(block, first);
    // The join itself is as smooth as the music around it.
    EXPECT_LT(std::abs(first[0] - rest.back()), 3000);
}

// Music that does not decode says so in one line, stays silent, and the effects play on.
TEST(Music, UndecodableMusicIsOneLineAndSilence) {
    std::span<const unsigned char> real = SoundResource("MUSIC", kMusicId);
    std::vector<unsigned char> junk(4096, 0x5A);
    for (std::span<const unsigned char> bytes :
         {std::span<const unsigned char>{}, std::span<const unsigned char>(junk),
          real.first(200)}) {
        testing::internal::CaptureStderr();
        CMusic music(bytes);
        music.SetLevel(1);
        EXPECT_FALSE(music.Feed());
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(music.IsSilent()) << bytes.size();
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
    // The carried music streams on the sound thread while its level changes from here (run
    // under ThreadSanitizer too) and the effects play beside it.
    SoundEffects effects;
    EXPECT_FALSE(effects.Music.IsSilent());
    for (double level : {1.0, 0.2, 0.0, 0.7}) {
        effects.Music.SetLevel(level);
        std::this_thread::sleep_for(60ms);
    }
    effects.ChargeSound.Play();
    EXPECT_TRUE(WaitUntilQuiet(effects.ChargeSound));
    EXPECT_FALSE(effects.Music.IsSilent());
}
