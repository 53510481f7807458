#include "screens/screen_sett.h"

#include "framework/background_music.h"
#include "framework/canvas.h"
#include "framework/effect_sounds.h"
#include "framework/mouse_capture.h"
#include "framework/settings_store.h"
#include "framework/settings_values.h"
#include "screens/menu_tick.h"
#include "screens/scene_sett.h"
#include "screens/screen_main.h"
#include "screens/screen_playn.h"

#include <array>
#include <cstdint>

CScreenSett ScreenSett;

namespace {

// The slider line runs from u = 0.35 (level 0) to u = 0.58 (level 1). The knob scene places
// knobs with single-precision constants, so the hit test widens the same constants.
constexpr double kSliderStart = static_cast<double>(0.35f);
constexpr double kSliderLength = static_cast<double>(0.23f);

// An item of the picture: u and v strictly between the bounds.
struct ItemArea {
    double uLow, uHigh, vLow, vHigh;
    bool Holds(CanvasPoint p) const {
        return p.u > uLow && p.u < uHigh && p.v > vLow && p.v < vHigh;
    }
};

constexpr ItemArea kBackArea{0.08, 0.24, 0.26, 0.32};
constexpr ItemArea kMainMenuArea{0.17, 0.51, 0.17, 0.22};
constexpr ItemArea kRotateArea{0.06, 0.59, 0.36, 0.41};

// A knob: within 0.01 of its level's u and 0.02 of its line's v, bounds included.
bool KnobHolds(double level, double lineV, double u, double v) {
    double knobU = level * kSliderLength + kSliderStart;
    return u >= knobU - 0.01 && u <= knobU + 0.01 && v >= lineV - 0.02 && v <= lineV + 0.02;
}

}  // namespace

std::uint32_t StoredLevel(double level) {
    return static_cast<std::uint32_t>(level * 65535.0);
}

double SliderLevelAt(double u) {
    double level = (u - kSliderStart) / kSliderLength;
    if (level < 0) level = 0;
    if (level > 1) level = 1;
    return level;
}

Slider KnobAt(double u, double v) {
    if (KnobHolds(SoundVolume, static_cast<double>(0.67f), u, v)) return Slider::kSound;
    if (KnobHolds(MusicVolume, static_cast<double>(0.58f), u, v)) return Slider::kMusic;
    if (KnobHolds(MouseSetting, static_cast<double>(0.49f), u, v)) return Slider::kMouse;
    return Slider::kNone;
}

std::unique_ptr<CScene> CScreenSett::CreateScene() {
    return std::make_unique<CSceneSett>();
}

void CScreenSett::Activate() {
    ResetMenuFlag();
    DragSlider = 0;
}

void CScreenSett::OnLButtonDown(std::int32_t x, std::int32_t y) {
    CanvasPoint point = ClientToCanvas(x, y);
    if (kBackArea.Holds(point)) {
        OnBack();
    } else if (kMainMenuArea.Holds(point)) {
        GoToMainMenu();
    } else if (kRotateArea.Holds(point)) {
        RotateBoard = !RotateBoard;
        WriteSetting("rotate", RotateBoard ? 1 : 0);
        RedrawScreen(this);
    } else if (Slider knob = KnobAt(point.u, point.v); knob != Slider::kNone) {
        DragSlider = static_cast<std::uint8_t>(knob);
        CaptureMouse();
    }
}

void CScreenSett::OnLButtonUp(std::int32_t, std::int32_t) {
    ReleaseMouseCapture();
    DragSlider = 0;
}

void CScreenSett::OnMouseDrag(std::int32_t x, std::int32_t y) {
    if (DragSlider == 0) return;
    double level = SliderLevelAt(ClientToCanvas(x, y).u);
    switch (static_cast<Slider>(DragSlider)) {
        case Slider::kSound:
            SetSoundLevel(level);
            break;
        case Slider::kMusic:
            MusicVolume = level;
            WriteSetting("music", static_cast<std::int32_t>(StoredLevel(level)));
            BackgroundMusic().SetLevel(level);
            break;
        case Slider::kMouse:
            MouseSetting = level;
            WriteSetting("mouse", static_cast<std::int32_t>(StoredLevel(level)));
            break;
        case Slider::kNone:
            break;
    }
    RedrawScreen(this);
}

void CScreenSett::OnTimer() {
    MenuScreenTick(this);
}

void CScreenSett::OnBack() {
    if (ReturnScreen == nullptr) ReturnScreen = &ScreenMain;
    SwitchScreen(ReturnScreen);
}

void CScreenSett::GoToMainMenu() {
    // ReturnScreen stays as it is. Leaving a network game for the menu ends its session.
    if (ReturnScreen == &ScreenPlayN) CloseNetworkSession();
    SwitchScreen(&ScreenMain);
}

void CScreenSett::SetSoundLevel(double level) {
    SoundVolume = level;
    std::uint32_t stored = StoredLevel(level);
    WriteSetting("sound", static_cast<std::int32_t>(stored));
    ChargeSound().SetVolume(stored);
    FallSound().SetVolume(stored);
    // Every movement of the knob is heard at the new level.
    FallSound().Play();
}
