#pragma once

#include "game/opponent_level.h"

#include <cstdint>

/// The player's settings as the game uses them while it runs. User-interface thread only;
/// scenes take copies of them when they are made.

/// Sound-effect level, 0 to 1 (a stored level is cut to 0 to 65535 as it is read).
extern double SoundVolume;
/// Music level, 0 to 1, read in the same way.
extern double MusicVolume;
/// Mouse sensitivity, 0 to 1; never stored.
extern double MouseSetting;
/// True if the board turns to face the side to move; never stored.
extern bool RotateBoard;
/// The computer's strength, stored as "level"; read at each of the computer's choices.
extern OpponentLevel ComputerLevel;

/// Level a stored volume value of 0 to 65535 stands for; the value is not cut here (reading
/// the settings cuts it first).
constexpr double VolumeFromStored(std::uint32_t stored) {
    return stored / 65535.0;
}
/// The stored volume value both levels have when none has been saved yet.
inline constexpr std::uint32_t kDefaultStoredVolume = 32768;
