#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

/// The game's music: one Ogg Vorbis piece played round and round through one OpenAL source,
/// decoded a few thousand frames at a time into a short queue of buffers.
///
/// Threads: `SetLevel` from the user-interface thread; `Feed` from the sound thread only;
/// construction and destruction on the user-interface thread while the sound thread is not
/// feeding (the output's dispatch lock keeps them apart).
/// Locks: the level is atomic; every OpenAL call is made under the output's `CallLock`;
/// decoding runs outside any lock, so the effects never wait for it.
/// Ownership: the music owns its source and buffers and reads the piece's bytes in place.

class SoundOutput;
class VorbisStream;

/// Buffers queued on the music's source, and frames in each: at 22050 frames per second the
/// queue holds about 0.7 s, refilled every 50 ms.
inline constexpr int kMusicBuffers = 4;
inline constexpr int kMusicFramesPerBuffer = 4096;

class CMusic {
public:
    /// The music of the Ogg Vorbis piece in `ogg`, silent until it is given a level. Without an
    /// audio device it stays silent and decodes nothing; a piece that cannot be decoded says so
    /// in one line on standard error and stays silent.
    explicit CMusic(std::span<const unsigned char> ogg);
    CMusic(const CMusic&) = delete;
    CMusic& operator=(const CMusic&) = delete;
    ~CMusic();

    /// Level from 0 (nothing played, nothing decoded) to 1 (full), heard within a few
    /// milliseconds.
    void SetLevel(double level);
    /// True when nothing can ever be heard (no audio device, or a piece that does not decode).
    bool IsSilent() const { return !stream_ || failed_; }

    /// Sound thread: stops the music at level 0, otherwise applies the level and tops the
    /// queue up. True while the music plays and wants feeding again soon.
    bool Feed();

private:
    bool CreateSource();
    /// Applies `gain` and takes back the buffers the source has played.
    void ReclaimPlayedBuffers(float gain);
    /// Starts the source if it is not playing (its first start, or after running dry).
    void KeepPlaying();
    void StopAndEmpty();
    /// Decodes one buffer's worth and queues it; false when the piece stops decoding.
    bool QueueNext(unsigned int buffer);
    void GiveUp();

    std::shared_ptr<SoundOutput> output_;  ///< none without an audio device
    std::unique_ptr<VorbisStream> stream_;  ///< none while silent
    std::atomic<double> level_{0};
    std::atomic<bool> failed_{false};  ///< set once, by the sound thread, when decoding fails

    // Sound thread only (and construction, destruction).
    unsigned int source_ = 0;
    std::array<unsigned int, kMusicBuffers> buffers_{};
    std::vector<unsigned int> idle_;  ///< buffers not queued
    std::vector<std::int16_t> samples_;  ///< one buffer's decoded samples
    bool playing_ = false;
};
