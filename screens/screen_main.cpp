#include "screens/screen_main.h"

#include "framework/canvas.h"
#include "screens/menu_tick.h"
#include "screens/network_game.h"
#include "screens/scene_main.h"
#include "screens/screen_empty.h"
#include "screens/screen_play1.h"
#include "screens/screen_play2.h"
#include "screens/screen_playn.h"
#include "screens/screen_sett.h"

#include <array>

CScreenMain ScreenMain;

namespace {

// The clickable area of one item: u and v strictly between the bounds.
struct MenuArea {
    MenuItem item;
    double uLow, uHigh, vLow, vHigh;
};

// Matches the labels on the menu's background picture.
constexpr std::array<MenuArea, 5> kMenuAreas{{
    {MenuItem::kOnePlayer, 0.16, 0.51, 0.62, 0.69},
    {MenuItem::kTwoPlayers, 0.14, 0.57, 0.52, 0.58},
    {MenuItem::kNetwork, 0.14, 0.52, 0.41, 0.47},
    {MenuItem::kWinners, 0.18, 0.53, 0.29, 0.36},
    {MenuItem::kSettings, 0.15, 0.52, 0.18, 0.25},
}};

void OpenSettings() {
    ScreenSett.ReturnScreen = &ScreenMain;
    SwitchScreen(&ScreenSett);
}

}  // namespace

MenuItem MenuItemAt(double u, double v) {
    for (const MenuArea& area : kMenuAreas) {
        if (u > area.uLow && u < area.uHigh && v > area.vLow && v < area.vHigh) return area.item;
    }
    return MenuItem::kNone;
}

std::unique_ptr<CScene> CScreenMain::CreateScene() {
    return std::make_unique<CSceneMain>();
}

void CScreenMain::Activate() {
    ResetMenuFlag();
}

void CScreenMain::OnLButtonDown(std::int32_t x, std::int32_t y) {
    CanvasPoint point = ClientToCanvas(x, y);
    switch (MenuItemAt(point.u, point.v)) {
        case MenuItem::kWinners:
            SwitchScreen(&ScreenEmpty);
            break;
        case MenuItem::kSettings:
            OpenSettings();
            break;
        case MenuItem::kOnePlayer:
            ScreenPlay1.ResetTotalScore();
            ScreenPlay1.NewGame();
            SwitchScreen(&ScreenPlay1);
            break;
        case MenuItem::kTwoPlayers:
            ScreenPlay2.NewGame();
            SwitchScreen(&ScreenPlay2);
            break;
        case MenuItem::kNetwork:
            if (RunNetworkDialog()) SwitchScreen(&ScreenPlayN);
            break;
        case MenuItem::kNone:
            break;
    }
}

void CScreenMain::OnTimer() {
    MenuScreenTick(this);
}
