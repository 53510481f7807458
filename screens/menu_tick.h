#pragma once

// Threads: user-interface thread only.

class CScreen;

/// The tick of the menu, settings and result screens: ten steps of the flag, then a new scene
/// of `screen`, so that the flag waves.
void MenuScreenTick(CScreen* screen);

/// Restarts the flag as the main menu shows it: hung from the canvas origin, unturned, in a
/// light steady wind.
void ResetMenuFlag();
