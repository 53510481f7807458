#pragma once

#include "sound/wave_file.h"

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

/// A player of one short sound effect.
///
/// Threads: `SetVolume`, `Play`, `Stop`, construction and destruction run on the user-interface
/// thread; the sound thread notices ended plays, releases them and calls `OnPlayDone`.
/// Locks: the play list, the newest play and the level are guarded by the output's `CallLock`
/// (every OpenAL call is made under it too). A silent player has no output and no lock: only
/// the user-interface thread touches it.
/// Ownership: the player owns its samples (one OpenAL buffer) and one OpenAL source per play;
/// it deletes every source that has not ended yet when it is destroyed.

class SoundOutput;

/// Level of a player that has not been given one: full.
inline constexpr std::uint32_t kFullVolume = 65535;

class CSound {
public:
    /// Loads the WAVE file in `wave` (its samples are copied; the bytes may go afterwards). A
    /// file that is not a canonical 16-bit PCM WAVE, or a machine without an audio device, gives
    /// a silent player whose every call returns at once.
    explicit CSound(std::span<const unsigned char> wave);
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;
    /// Stops and releases every play still going. A derived player must not be destroyed while
    /// the sound thread may still call its `OnPlayDone`.
    virtual ~CSound();

    /// Remembers `level` (its low 16 bits: 0 silent to 65535 full, linear) for future plays and
    /// applies it at once to the newest play, if it is still going.
    virtual void SetVolume(std::uint32_t level);
    /// Starts one playing of the whole sound from its start and returns at once; earlier plays
    /// of this player go on beside it.
    virtual void Play();
    /// Stops the newest play at once, if it is still going; older plays go on.
    virtual void Stop();
    /// Called by the sound thread once for every play that has ended (or was stopped) and has
    /// been released. Forgets the newest play if it was that one.
    virtual void OnPlayDone();

    /// True when this player can never be heard (damaged sound or no audio device).
    bool IsSilent() const { return output_ == nullptr; }
    /// The format read from the sound's header (all zero when the sound was damaged).
    const WaveFormat& Format() const { return format_; }
    /// Number of sample bytes played by each play.
    std::uint32_t DataLength() const { return dataLength_; }
    /// Plays started and not yet released by the sound thread (0 for a silent player).
    int PlaysGoing() const;

private:
    friend class SoundOutput;

    /// One play: its own number and the OpenAL source that plays it.
    struct LivePlay {
        std::uint64_t number = 0;
        unsigned int source = 0;
    };

    bool LoadSamples(const WaveSamples& samples);
    const LivePlay* FindNewestPlay() const;
    float Gain() const;
    /// Under `CallLock`: releases every ended play, adding this player to `ended` once for each.
    /// True while some play is still going.
    bool CollectEndedPlays(std::vector<CSound*>& ended);

    WaveFormat format_;
    std::shared_ptr<SoundOutput> output_;  ///< none for a silent player
    std::uint32_t dataLength_ = 0;
    unsigned int buffer_ = 0;  ///< the OpenAL buffer holding the samples

    // Guarded by the output's CallLock.
    std::uint32_t volume_ = kFullVolume;
    std::uint64_t newestPlay_ = 0;  ///< number of the newest play, 0 once it is known to be over
    std::uint64_t playsStarted_ = 0;
    std::vector<LivePlay> plays_;  ///< plays not yet released, oldest first
};
