#pragma once

// Threads: user-interface thread only.

#include "framework/screen.h"

/// The items of the main menu, top to bottom.
enum class MenuItem { kNone, kOnePlayer, kTwoPlayers, kNetwork, kWinners, kSettings };

/// The item whose area holds canvas point (u, v); every bound is exclusive.
MenuItem MenuItemAt(double u, double v);

/// The main menu: the first screen, and the hub every mode starts from.
class CScreenMain final : public CScreen {
public:
    std::unique_ptr<CScene> CreateScene() override;
    /// Restarts the flag.
    void Activate() override;
    /// Acts on the item under the click.
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    /// Waves the flag.
    void OnTimer() override;
};

/// The program's main menu.
extern CScreenMain ScreenMain;
