#pragma once

// Threads: user-interface thread only, like the players it drives.

#include "framework/background_music.h"
#include "framework/effect_sounds.h"
#include "sound/music.h"
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

/// The game's real music as the screens see it.
class CMusicAdapter final : public CBackgroundMusic {
public:
    /// Drives `music`, which must outlive this.
    explicit CMusicAdapter(CMusic& music) : music_(music) {}

    void SetLevel(double level) override { music_.SetLevel(level); }

private:
    CMusic& music_;
};
