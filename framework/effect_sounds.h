#pragma once

// Threads: user-interface thread only.

#include <cstdint>

/// One sound-effect player as the screens use it.
class CEffectSound {
public:
    /// Level for future plays and the newest play: 0 silent to 65535 full.
    virtual void SetVolume(std::uint32_t level) = 0;
    /// Starts one playing of the sound from its start; earlier plays go on.
    virtual void Play() = 0;
    /// Stops the newest play, if it is still going.
    virtual void Stop() = 0;

protected:
    ~CEffectSound() = default;  // owned by whoever installs it
};

/// Installs the two players; null stands for a silent player (the start). Not owned.
void SetEffectSounds(CEffectSound* charge, CEffectSound* fall);
/// Heard while a flick is being charged; a silent player when none is installed.
CEffectSound& ChargeSound();
/// Heard when a piece drops off the board and when the sound slider moves; silent when none
/// is installed.
CEffectSound& FallSound();
