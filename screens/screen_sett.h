#pragma once

// Threads: user-interface thread only.

#include "framework/screen.h"

#include <cstdint>

/// The sliders of the settings screen, as DragSlider numbers them.
enum class Slider : std::uint8_t { kNone = 0, kSound = 1, kMusic = 2, kMouse = 3 };

/// The settings screen, also the pause screen of a game: sliders for the sound, music and mouse
/// levels, the rotate-board switch, and the way back. Whoever opens it sets ReturnScreen first.
class CScreenSett final : public CScreen {
public:
    std::unique_ptr<CScene> CreateScene() override;
    /// Restarts the flag and forgets any drag.
    void Activate() override;
    /// Acts on the item or knob under the click.
    void OnLButtonDown(std::int32_t x, std::int32_t y) override;
    /// Ends a drag and releases the mouse.
    void OnLButtonUp(std::int32_t x, std::int32_t y) override;
    /// Moves the knob being dragged to the pointer's u.
    void OnMouseDrag(std::int32_t x, std::int32_t y) override;
    /// Waves the flag.
    void OnTimer() override;
    /// Goes back to ReturnScreen.
    void OnBack() override;

    std::uint8_t DragSlider = 0;      ///< the Slider being dragged, 0 for none
    CScreen* ReturnScreen = nullptr;  ///< where "BACK" leads; null means the main menu

private:
    void GoToMainMenu();
    static void SetSoundLevel(double level);
};

/// The program's settings screen.
extern CScreenSett ScreenSett;

/// The stored form of a level from 0 to 1: level x 65535 truncated towards zero.
std::uint32_t StoredLevel(double level);
/// Level (0 to 1) a knob dragged to canvas u stands for.
double SliderLevelAt(double u);
/// The slider whose knob holds canvas point (u, v) at the present levels, or kNone.
Slider KnobAt(double u, double v);
