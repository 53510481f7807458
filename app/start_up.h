#pragma once

// Threads: user-interface thread only, during start-up.

#include <QSize>

#include <cstdint>
#include <optional>

class CMainFrame;

/// The view size asked for by the stored "cx" and "cy", at most `limit` each way; nothing
/// when "cx" is absent, 0 or negative (the window system then chooses). A missing or
/// non-positive "cy" counts as two thirds of "cx".
std::optional<QSize> StoredViewSize(QSize limit);

/// A stored level, 0 to 65535: "sound", "music" or "mouse", 32768 when absent; a stored
/// number outside that range is brought to its nearest end.
std::uint32_t StoredVolume(const char* name);

/// Reads "sound" into SoundVolume and "music" into MusicVolume, gives both sound-effect
/// players the stored sound level and the music its level.
void ReadStoredVolumes();

/// Reads "level" into ComputerLevel: 0 Easy, 1 Normal, 2 Hard; Normal when it is absent or
/// any other number.
void ReadStoredLevel();

/// A stored on/off setting ("rotate", "fullscreen"): 1 on, 0 off; `fallback` when absent or
/// anything else.
bool StoredSwitch(const char* name, bool fallback);

/// Reads "mouse" into MouseSetting (0.5 when absent) and "rotate" into RotateBoard (on when
/// absent).
void ReadStoredControls();

/// Resizes `frame` so that its view gets `viewSize`, keeping the window's position.
void SizeViewTo(CMainFrame& frame, QSize viewSize);

/// The largest view that fits the screen the window opens on (a fixed 1920 x 1080 without one).
QSize ScreenLimit();
