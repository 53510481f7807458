#pragma once

#include "game/opponent_level.h"

#include <cstdint>

/// The player's settings as the game uses them while it runs. User-interface thread only;
/// scenes take copies of them when they are made.

/// Sound-effect level, 0 to 1 (a stored level is cut to 0 to 65535 as it is read).
extern double SoundVolume;
/// Music level, 0 to 1, read in the same way.
extern double MusicVolume;
/// How far a drag turns the view, 0 to 1: 0.5 (the start) turns as the game always has.
extern double MouseSetting;
/// True if the view turns by itself to the side whose turn comes.
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

/// The multiplier MouseSetting gives the degrees a drag turns: 4 to the power 2 x setting - 1,
/// so a quarter at 0, exactly 1 at 0.5 and 4 at 1, evenly on a logarithmic scale between.
double MouseTurnFactor();
/// The mouse setting a stored value of 0 to 65535 stands for, read like a volume; except that
/// the two values next to the middle (what the knob stores at 0.5, and the volumes' default
/// 32768) give the middle exactly, so that a knob left at the middle keeps the usual turn.
double MouseSettingFromStored(std::uint32_t stored);
