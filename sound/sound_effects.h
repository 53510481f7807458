#pragma once

#include "sound/music.h"
#include "sound/sound.h"
#include "sound/sound_output.h"
#include "sound/sound_thread.h"

#include <memory>
#include <span>

/// The game's program-wide sound effects, built from the sounds the program carries.
///
/// Threads: built and destroyed on the user-interface thread, after the graphics object and
/// before start-up; the players are then used from the user-interface thread only.
/// Ownership: members are built in the order below and go in reverse, so the sound thread is
/// asked to stop and joined before the music and the players stop and free their samples.

/// Resource ids of the two sounds that are played ("WAVE" 135 is carried but never played).
inline constexpr int kChargeSoundId = 134;
inline constexpr int kFallSoundId = 136;
/// Resource id of the music ("MUSIC" 137, Ogg Vorbis).
inline constexpr int kMusicId = 137;

/// Bytes of the resource `id` of `type` ("WAVE" or "MUSIC"); empty when the program has none
/// (its player is silent).
std::span<const unsigned char> SoundResource(const char* type, int id);
/// Bytes of the "WAVE" resource `id`.
inline std::span<const unsigned char> WaveResource(int id) {
    return SoundResource("WAVE", id);
}

struct SoundEffects {
    /// Loads both players and the music (silent until it is given a level) and starts the sound
    /// thread; all silent without an audio device.
    SoundEffects();

    /// False when there is no audio device: the game then plays silently.
    bool HasDevice() const { return output->IsOpen(); }

    /// Held by all four below, so that the device is looked for once, not by each in turn.
    std::shared_ptr<SoundOutput> output = SoundOutput::Acquire();
    // The two players keep the game's own names.
    CSound ChargeSound;  ///< heard when a flick is being made
    CSound FallSound;    ///< heard when a piece drops off the board, and from the sound slider
    CMusic Music;        ///< played at the music level, round and round
    SoundThread soundThread;
};
