#pragma once

// Threads: user-interface thread only.

#include "framework/screen.h"

#include <cstdint>

/// The result screen: the outcome of a battle or a GAME, the winner's flag and the points.
/// A play screen fills in the three fields and switches here; a click, Esc or the right button
/// goes on to ReturnScreen.
class CScreenCongr final : public CScreen {
public:
    std::unique_ptr<CScene> CreateScene() override;
    /// Restarts the flag: limp when nobody won or the Red army lost, else as on the menu.
    void Activate() override;
    /// Goes on, wherever the click is.
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    /// Waves the flag.
    void OnTimer() override;
    /// Goes on.
    void OnBack() override;

    CScreen* ReturnScreen = nullptr;  ///< where to go on to; null means the main menu
    std::int32_t Result = 0;          ///< outcome code 0 to 6
    std::int32_t Points = 0;          ///< points the winner earned; 0 shows none
};

/// The program's result screen.
extern CScreenCongr ScreenCongr;
