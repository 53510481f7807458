#include "sound/sound.h"

#include "sound/sound_thread.h"
#include "tests/sound/counting_sound.h"
#include "tests/sound/wave_builder.h"
#include "tests/sound/wave_capture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Each test opens the audio device with its first player, plays, lets everything go (which
// closes the device and completes the output file) and then listens to what was written.
// The output runs in real time, so times below are in the output's frames (44.1 per ms) and the
// margins allow for a device that mixes in steps of a few milliseconds.

using namespace std::chrono_literals;

namespace {

constexpr std::int16_t kLevel = 8000;
constexpr int kWindow = FramesIn(2);  // frames over which a level is measured

std::vector<unsigned char> Steady(int milliseconds) {
    return MakeWave(SteadyTone(FramesIn(milliseconds), kLevel));
}

/// Length in milliseconds of the stretch from the first to the last sound of `out`.
double HeardMilliseconds(const std::vector<std::int16_t>& out) {
    return (LastSound(out) - FirstSound(out) + 1) * 1000.0 / kTestRate;
}

}  // namespace

// A play puts exactly the sound's samples into the output, from its first sample to its last.
TEST(SoundPlay, PlayPutsTheSamplesIntoTheOutput) {
    std::vector<std::int16_t> tone = SineTone(FramesIn(100), 12000);
    {
        CountingSound player(MakeWave(tone));
        SoundThread thread;
        ASSERT_FALSE(player.IsSilent());
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    int start = FirstSound(out);
    ASSERT_GE(start, 0);
    ASSERT_LE(start + tone.size(), out.size());
    for (std::size_t k = 0; k < tone.size(); ++k) {
        ASSERT_NEAR(out[start + k], tone[k], 1) << "frame " << k;
    }
    EXPECT_EQ(LastSound(out), start + static_cast<int>(tone.size()) - 1);
}

// Level 0 is silent; level 32767 plays at half the amplitude, as the level is linear.
TEST(SoundPlay, LevelsScaleTheAmplitudeLinearly) {
    std::vector<std::int16_t> silent;
    {
        CountingSound player(Steady(60));
        SoundThread thread;
        player.SetVolume(0);
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
    }
    EXPECT_EQ(PeakLevel(CapturedOutput()), 0);
    {
        CountingSound player(Steady(60));
        SoundThread thread;
        player.SetVolume(32767);
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
    }
    EXPECT_NEAR(PeakLevel(CapturedOutput()), kLevel / 2, 2);
}

// Only the low 16 bits of a level count: 0x10000 + 65535 is full level.
TEST(SoundPlay, HighBitsOfALevelAreIgnored) {
    {
        CountingSound player(Steady(40));
        SoundThread thread;
        player.SetVolume(0x1FFFFu);
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
    }
    EXPECT_EQ(PeakLevel(CapturedOutput()), kLevel);
}

// Stop cuts the play off long before its end, and the play is still reported done.
TEST(SoundPlay, StopCutsAPlayShort) {
    {
        CountingSound player(Steady(400));
        SoundThread thread;
        player.Play();
        std::this_thread::sleep_for(50ms);
        player.Stop();
        ASSERT_TRUE(player.WaitForDone(1));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    ASSERT_GE(FirstSound(out), 0);
    EXPECT_LT(HeardMilliseconds(out), 200);
}

// Two plays of one player sound together: where they overlap the levels add up, and the second
// play runs to its own end.
TEST(SoundPlay, TwoPlaysOverlap) {
    {
        CountingSound player(Steady(200));
        SoundThread thread;
        player.Play();
        std::this_thread::sleep_for(60ms);
        player.Play();
        ASSERT_TRUE(player.WaitForDone(2));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    EXPECT_EQ(PeakLevel(out), 2 * kLevel);
    EXPECT_GT(HeardMilliseconds(out), 230);
}

// A level given during two overlapping plays reaches the newest play only: the older keeps its
// full level to its end, and nothing is heard after it, as the newer one became silent.
TEST(SoundPlay, SetVolumeDuringAPlayChangesTheNewestOnly) {
    {
        CountingSound player(Steady(250));
        SoundThread thread;
        player.Play();
        std::this_thread::sleep_for(100ms);
        player.Play();
        std::this_thread::sleep_for(40ms);
        player.SetVolume(0);
        ASSERT_TRUE(player.WaitForDone(2));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    int start = FirstSound(out);
    EXPECT_EQ(PeakLevel(out), 2 * kLevel);  // they did overlap before the change
    EXPECT_NEAR(HeardMilliseconds(out), 250, 1);
    EXPECT_EQ(LevelAt(out, start + FramesIn(240), kWindow), kLevel);
}

// When an older play ends first, Stop and SetVolume still reach the newer one.
TEST(SoundPlay, TheEndOfAnOlderPlayKeepsTheNewestReachable) {
    {
        CountingSound player(Steady(300));
        SoundThread thread;
        player.Play();
        std::this_thread::sleep_for(100ms);
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
        player.SetVolume(16384);
        std::this_thread::sleep_for(30ms);
        player.Stop();
        ASSERT_TRUE(player.WaitForDone(2));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    int start = FirstSound(out);
    // Lowered to a quarter after the older play's end, then cut before its own end at 400 ms.
    EXPECT_NEAR(LevelAt(out, LastSound(out) - kWindow, kWindow), kLevel / 4.0, 2);
    EXPECT_LT(LastSound(out) - start, FramesIn(390));
}

// A Stop with nothing playing changes nothing: not the next play, nor a play that ended.
TEST(SoundPlay, StopWithNothingPlayingChangesNothing) {
    std::vector<std::int16_t> tone = SineTone(FramesIn(50), 9000);
    {
        CountingSound player(MakeWave(tone));
        SoundThread thread;
        player.Stop();
        player.Play();
        ASSERT_TRUE(player.WaitForDone(1));
        player.Stop();
        player.Stop();
        EXPECT_EQ(player.DoneCount(), 1);
    }
    std::vector<std::int16_t> out = CapturedOutput();
    EXPECT_EQ(LastSound(out) - FirstSound(out) + 1, static_cast<int>(tone.size()));
    EXPECT_EQ(PeakLevel(out), 9000);
}

// Every play is reported done exactly once: plays that end, plays cut off, plays overlapping.
TEST(SoundPlay, OnPlayDoneIsReachedForEveryPlay) {
    CountingSound player(Steady(40));
    {
        SoundThread thread;
        for (int k = 0; k < 6; ++k) {
            player.Play();
            if (k % 2 == 1) player.Stop();
            std::this_thread::sleep_for(10ms);
        }
        ASSERT_TRUE(player.WaitForDone(6));
        std::this_thread::sleep_for(30ms);
    }
    EXPECT_EQ(player.DoneCount(), 6);
}

// Two players sound together and each one's Stop reaches only its own play.
TEST(SoundPlay, PlayersAreIndependent) {
    {
        CountingSound charge(Steady(200));
        CountingSound fall(Steady(200));
        SoundThread thread;
        charge.Play();
        fall.Play();
        std::this_thread::sleep_for(30ms);
        fall.Stop();
        ASSERT_TRUE(fall.WaitForDone(1));
        EXPECT_EQ(charge.DoneCount(), 0);
        ASSERT_TRUE(charge.WaitForDone(1));
    }
    std::vector<std::int16_t> out = CapturedOutput();
    EXPECT_EQ(PeakLevel(out), 2 * kLevel);
    EXPECT_NEAR(HeardMilliseconds(out), 200, 1);
}

// A player that goes while its plays sound releases them; so does a program that ends with the
// sound thread stopped first and the players after it, while sounds are still playing.
TEST(SoundLifetime, PlayersAndThreadMayEndWhileSoundsPlay) {
    {
        CSound first(Steady(300));
        SoundThread thread;
        {
            CSound passing(Steady(300));
            passing.Play();
            passing.Play();
        }
        first.Play();
        std::this_thread::sleep_for(20ms);
    }
    std::vector<std::int16_t> out = CapturedOutput();
    EXPECT_LT(HeardMilliseconds(out), 250);
}

// A damaged sound gives a silent player: its calls do nothing, and the output stays silent.
TEST(SoundDamage, DamagedSoundPlaysNothing) {
    std::vector<unsigned char> damaged = Steady(50);
    Put16(damaged, 34, 8);  // claims 8-bit samples
    {
        CountingSound good(Steady(20));  // keeps the device open for the damaged one
        CountingSound player(damaged);
        SoundThread thread;
        EXPECT_TRUE(player.IsSilent());
        player.SetVolume(65535);
        player.Play();
        player.Stop();
        std::this_thread::sleep_for(50ms);
        EXPECT_EQ(player.DoneCount(), 0);
    }
    EXPECT_EQ(PeakLevel(CapturedOutput()), 0);
}
