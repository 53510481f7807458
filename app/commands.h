#pragma once

/// Command numbers of the main window's menu and accelerator.
inline constexpr int kCommandHomepage = 0x8005;  ///< "&Homepage": open the game's web page
inline constexpr int kCommandBack = 0x8008;      ///< the Esc key: the current screen's OnBack
inline constexpr int kCommandFullScreen = 0x8009;  ///< "&Full screen" and F11: toggle full screen
inline constexpr int kCommandAbout = 0xE140;     ///< "&About": the About box
inline constexpr int kCommandExit = 0xE141;      ///< "E&xit": close the main window
