#pragma once

// Threads: user-interface thread only.

#include "framework/screen.h"

/// The placeholder behind the menu's winners item: a line of text saying the feature comes in
/// a later version; any click, Esc or the right button returns to the main menu.
class CScreenEmpty final : public CScreen {
public:
    std::unique_ptr<CScene> CreateScene() override;
    /// Returns to the main menu, wherever the click is.
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    /// Returns to the main menu.
    void OnBack() override;
};

/// The program's placeholder screen.
extern CScreenEmpty ScreenEmpty;
