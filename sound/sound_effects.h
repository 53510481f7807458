#pragma once

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
/// asked to stop and joined before the players stop their plays and free their samples.

/// Resource ids of the two sounds that are played ("WAVE" 135 is carried but never played).
inline constexpr int kChargeSoundId = 134;
inline constexpr int kFallSoundId = 136;

/// Bytes of the "WAVE" resource `id`; empty when the program has none (its player is silent).
std::span<const unsigned char> WaveResource(int id);

struct SoundEffects {
    /// Loads both players and starts the sound thread; silent players without an audio device.
    SoundEffects();

    /// False when there is no audio device: the game then plays silently.
    bool HasDevice() const { return output->IsOpen(); }

    /// Held by all three below, so that the device is looked for once, not by each in turn.
    std::shared_ptr<SoundOutput> output = SoundOutput::Acquire();
    // The two players keep the game's own names.
    CSound ChargeSound;  ///< heard when a flick is being made
    CSound FallSound;    ///< heard when a piece drops off the board, and from the sound slider
    SoundThread soundThread;
};
