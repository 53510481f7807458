#include "sound/sound.h"
#include "sound/sound_thread.h"
#include "tests/sound/counting_sound.h"
#include "tests/sound/wave_builder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

// Without an audio device the game goes on in silence: every call returns at once, nothing is
// reported, and the thread starts and stops as usual.

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// A sound that would play 2 s is silent, and no call waits for anything.
TEST(NoAudioDevice, EveryCallReturnsAtOnce) {
    Clock::time_point start = Clock::now();
    {
        CountingSound player(MakeWave(SteadyTone(FramesIn(2000), 8000)));
        SoundThread thread;
        EXPECT_TRUE(player.IsSilent());
        for (int k = 0; k < 100; ++k) {
            player.SetVolume(static_cast<std::uint32_t>(k * 600));
            player.Play();
            player.Play();
            player.Stop();
        }
        std::this_thread::sleep_for(20ms);
        EXPECT_EQ(player.DoneCount(), 0);
    }
    EXPECT_LT(Clock::now() - start, 500ms);
}

// The format is still read from the header, although nothing can play it.
TEST(NoAudioDevice, PlayerStillKnowsItsSound) {
    CSound player(MakeWave(SteadyTone(300, 1)));
    EXPECT_TRUE(player.IsSilent());
    EXPECT_EQ(player.Format().samplesPerSecond, 44100u);
    EXPECT_EQ(player.DataLength(), 600u);
}

// The sound thread alone starts and stops at once.
TEST(NoAudioDevice, SoundThreadStopsOnRequest) {
    Clock::time_point start = Clock::now();
    for (int k = 0; k < 10; ++k)
        SoundThread thread;
    EXPECT_LT(Clock::now() - start, 500ms);
}
