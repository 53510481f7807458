#pragma once

// Threads: user-interface thread only.

class CScreen;

/// Steps of the flag cloth in each 50 ms tick of every screen that shows it: it waves at the
/// speed it was made for.
inline constexpr int kFlagStepsPerTick = 10;

/// The tick of the menu, settings and result screens: kFlagStepsPerTick steps of the flag, then a
/// new scene of `screen`, so that the flag waves.
void MenuScreenTick(CScreen* screen);

/// Restarts the flag as the main menu shows it: hung from the canvas origin, unturned, in a
/// light steady wind.
void ResetMenuFlag();
