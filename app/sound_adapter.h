#pragma once

// Threads: user-interface thread only, like the player it drives.

#include "framework/effect_sounds.h"
#include "sound/sound.h"

/// One of the game's real sound players as the screens see it.
class CSoundAdapter final : public CEffectSound {
public:
    /// Drives `sound`, which must outlive this.
    explicit CSoundAdapter(CSound& sound) : sound_(sound) {}

    void SetVolume(std::uint32_t level) override { sound_.SetVolume(level); }
    void Play() override { sound_.Play(); }
    void Stop() override { sound_.Stop(); }

private:
    CSound& sound_;
};
