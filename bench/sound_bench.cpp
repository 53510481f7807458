// How long a play takes to start: `Play` runs on the user-interface thread inside a 50 ms tick and
// must return at once, whatever the device is doing. And what the music's decoding costs.

#include "sound/music.h"
#include "sound/sound_effects.h"
#include "sound/sound_thread.h"
#include "sound/vorbis_stream.h"
#include "tests/sound/counting_sound.h"
#include "tests/sound/wave_builder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

/// A sound as long as the charge sound (6856 sample bytes).
std::vector<unsigned char> ChargeLikeSound() {
    return MakeWave(SineTone(3428, 12000));
}

/// One `Play` on a live device, with the sound thread running. Each play is then stopped and
/// released (untimed), so that every play starts with the device in the same state.
void BM_Play(benchmark::State& state) {
    CountingSound player(ChargeLikeSound());
    SoundThread thread;
    if (player.IsSilent()) state.SkipWithError("no audio device");
    int started = 0;
    for (auto _ : state) {
        player.Play();
        state.PauseTiming();
        player.Stop();
        player.WaitForDone(++started);
        state.ResumeTiming();
    }
}
// Each play waits a few milliseconds untimed for its release, so the count is fixed.
BENCHMARK(BM_Play)->Iterations(200)->Unit(benchmark::kMicrosecond);

/// `SetVolume` on the newest play while it sounds, as the settings slider does at every movement.
void BM_SetVolumeWhilePlaying(benchmark::State& state) {
    CountingSound player(MakeWave(SineTone(44100, 12000)));
    SoundThread thread;
    player.Play();
    std::uint32_t level = 0;
    for (auto _ : state) {
        player.SetVolume(level);
        level = (level + 997) & 0xFFFFu;
    }
    player.Stop();
}
BENCHMARK(BM_SetVolumeWhilePlaying)->Unit(benchmark::kMicrosecond);

/// Decoding one of the music's buffers (4096 frames, about 0.19 s of music): the work the sound
/// thread does for the music, per buffer, while the game sits on its menu.
void BM_DecodeMusicBuffer(benchmark::State& state) {
    std::unique_ptr<VorbisStream> stream = VorbisStream::Open(SoundResource("MUSIC", kMusicId));
    if (!stream) {
        state.SkipWithError("the music does not decode");
        return;
    }
    std::vector<std::int16_t> samples(kMusicFramesPerBuffer * stream->Channels());
    for (auto _ : state)
        benchmark::DoNotOptimize(stream->Read(samples));
    state.counters["music_seconds_per_buffer"] =
        static_cast<double>(kMusicFramesPerBuffer) / stream->Rate();
}
BENCHMARK(BM_DecodeMusicBuffer)->Unit(benchmark::kMicrosecond);

}  // namespace

// Benchmarks play on OpenAL Soft's null output, which mixes in real time like a sound card, unless
// ALSOFT_DRIVERS already names another.
int main(int argc, char** argv) {
    setenv("ALSOFT_DRIVERS", "null", 0);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
