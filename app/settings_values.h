#pragma once

#include <cstdint>

/// The player's settings as the game uses them while it runs. User-interface thread only;
/// scenes take copies of them when they are made.

/// Sound-effect level, normally 0 to 1 (a stored level above 65535 gives more than 1).
extern double SoundVolume;
/// Music level, normally 0 to 1.
extern double MusicVolume;
/// Mouse sensitivity, 0 to 1; never stored.
extern double MouseSetting;
/// 1 if the board turns to face the side to move, else 0; never stored.
extern std::uint8_t RotateBoard;

/// Level a stored volume value of 0 to 65535 stands for.
constexpr double VolumeFromStored(std::uint32_t stored) {
    return stored / 65535.0;
}
/// The stored volume value both levels have when none has been saved yet.
inline constexpr std::uint32_t kDefaultStoredVolume = 32768;
