#pragma once

// Threads: user-interface thread only.

/// The game's music as the screens and start-up see it: only its level can be set.
class CBackgroundMusic {
public:
    /// Level from 0 (nothing played) to 1 (full); the music follows at once.
    virtual void SetLevel(double level) = 0;

protected:
    ~CBackgroundMusic() = default;  // owned by whoever installs it
};

/// Installs the music; null stands for none (the start). Not owned.
void SetBackgroundMusic(CBackgroundMusic* music);
/// The installed music; one that plays nothing when none is installed.
CBackgroundMusic& BackgroundMusic();
