// The main menu, settings, result and placeholder screens, driven through the real window:
// clicks, drags, Esc and the right button on the view, with real timer ticks behind them.

#include "app/start_up.h"
#include "framework/canvas.h"
#include "framework/settings_values.h"
#include "game/flag.h"
#include "screens/screen_congr.h"
#include "screens/screen_empty.h"
#include "screens/screen_main.h"
#include "screens/screen_sett.h"
#include "tests/app/window_fixture.h"

#include <QTest>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Calls = std::vector<std::string>;

// The middle of each menu item, in canvas units.
constexpr double kSettingsItemU = 0.3, kSettingsItemV = 0.215;
constexpr double kWinnersItemU = 0.3, kWinnersItemV = 0.32;

// Canvas v of the three slider lines.
constexpr double kSoundLineV = 0.67, kMusicLineV = 0.58, kMouseLineV = 0.49;

double KnobU(double level) {
    return level * static_cast<double>(0.23f) + static_cast<double>(0.35f);
}

class MenuScreens : public WindowTest {
protected:
    void OpenSettingsFromMenu() {
        ClickAt(kSettingsItemU, kSettingsItemV);
        ASSERT_EQ(CurrentScreen, &ScreenSett);
    }
    // Brings the flag into motion, so that a restart can be seen.
    void WaveFlag() {
        for (int i = 0; i < 30; ++i)
            StepFlag(Flag);
    }
    bool FlagIsFreshFromMenuSet() const {
        return Flag.windX == 0.012 && Flag.windY == 0.004 && Flag.windZ == 0.00002;
    }
    bool FlagIsFreshFromSecondSet() const {
        return Flag.windX == 0.0008 && Flag.windY == 0.0001 && Flag.windZ == 0.0003;
    }
};

TEST_F(MenuScreens, MenuHitAreasExcludeTheirBounds) {
    // On the view, a click exactly on an item's bound misses it; just inside hits it.
    for (double v : {0.18, 0.25}) {
        ClickAt(kSettingsItemU, v);
        EXPECT_EQ(CurrentScreen, &ScreenMain) << "v " << v;
    }
    for (double u : {0.15, 0.52}) {
        ClickAt(u, kSettingsItemV);
        EXPECT_EQ(CurrentScreen, &ScreenMain) << "u " << u;
    }
    ClickAt(0.151, 0.181);
    EXPECT_EQ(CurrentScreen, &ScreenSett);
}

TEST_F(MenuScreens, MenuItemsAtAndAcrossTheirBoundaries) {
    // The canvas points of real view pixels: v = 0.62 is not "1 PLAYER", v = 0.6 lies between
    // items, and each item answers just inside its bounds.
    auto at = [](double u, double v) {
        QPoint p = PixelAt(u, v);
        CanvasPoint c = ClientToCanvas(p.x(), p.y());
        return MenuItemAt(c.u, c.v);
    };
    EXPECT_EQ(at(0.3, 0.62), MenuItem::kNone);
    EXPECT_EQ(at(0.3, 0.621), MenuItem::kOnePlayer);
    EXPECT_EQ(at(0.3, 0.689), MenuItem::kOnePlayer);
    EXPECT_EQ(at(0.3, 0.69), MenuItem::kNone);
    EXPECT_EQ(at(0.16, 0.65), MenuItem::kNone);
    EXPECT_EQ(at(0.161, 0.65), MenuItem::kOnePlayer);
    for (double u = 0.0; u < 1.5; u += 0.01)
        EXPECT_EQ(at(u, 0.6), MenuItem::kNone) << "u " << u;
    EXPECT_EQ(at(0.3, 0.55), MenuItem::kTwoPlayers);
    EXPECT_EQ(at(0.56, 0.55), MenuItem::kTwoPlayers);
    EXPECT_EQ(at(0.3, 0.44), MenuItem::kNetwork);
    EXPECT_EQ(at(0.52, 0.44), MenuItem::kNone);
    EXPECT_EQ(at(0.3, 0.3), MenuItem::kWinners);
    EXPECT_EQ(at(0.3, 0.2), MenuItem::kSettings);
    EXPECT_EQ(at(1.0, 0.5), MenuItem::kNone);
}

TEST_F(MenuScreens, EscAndRightClickDoNothingOnTheMenu) {
    // Neither changes the screen nor restarts the flag.
    WaveFlag();
    FlagCloth before = Flag;
    RightClick();
    PressEscape();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(Flag.windX, before.windX);
    EXPECT_EQ(Flag.points[100].position, before.points[100].position);
}

TEST_F(MenuScreens, MenuTickWavesTheFlagAndDrawsIt) {
    // Real ticks step the flag and queue scenes of the menu, which draw the menu background.
    std::array<double, 3> start = Flag.points[kFlagPointCount - 1].position;
    QTest::qWait(200);
    EXPECT_NE(Flag.points[kFlagPointCount - 1].position, start);
    bool drewMenu = false;
    for (const GraphicsCall& call : graphics_.Calls())
        drewMenu |= call.op == "DrawBackground" && call.numbers == std::vector<double>{0};
    EXPECT_TRUE(drewMenu);
}

TEST_F(MenuScreens, WinnersShowsThePlaceholderAndAnyClickReturns) {
    // The placeholder screen goes back to the menu on a click anywhere, restarting its flag.
    for (QPoint anywhere : {QPoint(1, 1), QPoint(750, 500), QPoint(1499, 999)}) {
        ClickAt(kWinnersItemU, kWinnersItemV);
        ASSERT_EQ(CurrentScreen, &ScreenEmpty);
        WaveFlag();
        QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, anywhere);
        EXPECT_EQ(CurrentScreen, &ScreenMain);
        EXPECT_TRUE(FlagIsFreshFromMenuSet());
    }
}

TEST_F(MenuScreens, PlaceholderReturnsOnEscAndRightClickAlike) {
    // Esc and the right button leave the placeholder screen for the menu.
    ClickAt(kWinnersItemU, kWinnersItemV);
    RightClick();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    ClickAt(kWinnersItemU, kWinnersItemV);
    PressEscape();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
}

TEST_F(MenuScreens, PlaceholderFlagStandsStill) {
    // The placeholder screen has no tick: the flag does not move while it is current.
    ClickAt(kWinnersItemU, kWinnersItemV);
    std::array<double, 3> start = Flag.points[kFlagPointCount - 1].position;
    QTest::qWait(150);
    EXPECT_EQ(Flag.points[kFlagPointCount - 1].position, start);
}

TEST_F(MenuScreens, SettingsOpenFromTheMenuWithTheMenuToReturnTo) {
    // The settings item sets the return screen, restarts the flag and forgets any drag.
    ScreenSett.DragSlider = 2;
    WaveFlag();
    OpenSettingsFromMenu();
    EXPECT_EQ(ScreenSett.ReturnScreen, &ScreenMain);
    EXPECT_EQ(ScreenSett.DragSlider, 0);
    EXPECT_TRUE(FlagIsFreshFromMenuSet());
}

TEST_F(MenuScreens, SoundKnobDraggedToBothEndsStoresZeroAndFull) {
    // Far left stores 0, far right 65535; both players get each level and the fall sound is
    // played at every movement.
    OpenSettingsFromMenu();
    DragFromTo(KnobU(SoundVolume), kSoundLineV, 0.01);
    EXPECT_EQ(SoundVolume, 0.0);
    EXPECT_EQ(store_.Read("sound"), 0);
    EXPECT_EQ(charge_.calls, (Calls{"volume 0", "volume 0"}));
    EXPECT_EQ(fall_.calls, (Calls{"volume 0", "play", "volume 0", "play"}));
    DragFromTo(KnobU(SoundVolume), kSoundLineV, 1.4);
    EXPECT_EQ(SoundVolume, 1.0);
    EXPECT_EQ(store_.Read("sound"), 65535);
    EXPECT_EQ(fall_.calls.back(), "play");
    EXPECT_EQ(fall_.calls[fall_.calls.size() - 2], "volume 65535");
    EXPECT_EQ(charge_.calls.back(), "volume 65535");
    EXPECT_EQ(ScreenSett.DragSlider, 0);
}

TEST_F(MenuScreens, HalfLevelStoresTruncatedValue) {
    // A level of exactly 0.5 is stored as 32767 (32767.5 truncated); the ends are exact.
    EXPECT_EQ(StoredLevel(0.5), 32767u);
    EXPECT_EQ(StoredLevel(0.0), 0u);
    EXPECT_EQ(StoredLevel(1.0), 65535u);
    EXPECT_EQ(SliderLevelAt(static_cast<double>(0.35f)), 0.0);
    EXPECT_EQ(SliderLevelAt(static_cast<double>(0.35f) + static_cast<double>(0.23f)), 1.0);
}

TEST_F(MenuScreens, MusicKnobChangesOnlyTheMusic) {
    // Dragging the music knob sets MusicVolume and "music"; no player is touched.
    OpenSettingsFromMenu();
    double sound = SoundVolume;
    DragFromTo(KnobU(MusicVolume), kMusicLineV, 0.0);
    EXPECT_EQ(MusicVolume, 0.0);
    EXPECT_EQ(store_.Read("music"), 0);
    EXPECT_EQ(store_.Read("sound"), std::nullopt);
    EXPECT_EQ(SoundVolume, sound);
    EXPECT_TRUE(charge_.calls.empty());
    EXPECT_TRUE(fall_.calls.empty());
}

TEST_F(MenuScreens, AllFourSettingsComeBackAtTheNextStart) {
    // Sound, music, mouse and rotate set on the screen are found again by a later start.
    struct Case {
        double sound, music, mouse;
        bool clickRotate;
    };
    for (Case c : {Case{0.0, 1.0, 1.0, true}, Case{1.0, 0.0, 0.0, true}, Case{0.2, 0.8, 0.5, false}}) {
        OpenSettingsFromMenu();
        DragFromTo(KnobU(SoundVolume), kSoundLineV, KnobU(c.sound));
        DragFromTo(KnobU(MusicVolume), kMusicLineV, KnobU(c.music));
        DragFromTo(KnobU(MouseSetting), kMouseLineV, KnobU(c.mouse));
        if (c.clickRotate) ClickAt(0.3, 0.385);
        PressEscape();
        double sound = SoundVolume, music = MusicVolume, mouse = MouseSetting;
        bool rotate = RotateBoard;
        SoundVolume = MusicVolume = MouseSetting = -1;
        RotateBoard = !rotate;
        CQtSettingsStore nextStart;
        SetSettingsStore(&nextStart);
        ReadStoredVolumes();
        ReadStoredControls();
        SetSettingsStore(&store_);
        EXPECT_NEAR(SoundVolume, sound, 1.0 / 65535) << c.sound;
        EXPECT_NEAR(MusicVolume, music, 1.0 / 65535) << c.music;
        EXPECT_NEAR(MouseSetting, mouse, 1.0 / 65535) << c.mouse;
        EXPECT_EQ(RotateBoard, rotate);
    }
    EXPECT_EQ(store_.Read("rotate"), 1);
}

TEST_F(MenuScreens, KnobIsGrabbedOnlyOnTheKnob) {
    // A press on the slider line beside the knob moves nothing; a press on the knob captures
    // the mouse until the release.
    OpenSettingsFromMenu();
    double knob = KnobU(SoundVolume);
    DragFromTo(knob + 0.03, kSoundLineV, 0.4);
    DragFromTo(knob, kSoundLineV + 0.03, 0.4);
    EXPECT_EQ(SoundVolume, VolumeFromStored(kDefaultStoredVolume));
    EXPECT_TRUE(fall_.calls.empty());

    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, PixelAt(knob + 0.009, kSoundLineV));
    EXPECT_EQ(ScreenSett.DragSlider, 1);
    EXPECT_EQ(QWidget::mouseGrabber(), View());
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, PixelAt(knob, kSoundLineV));
    EXPECT_EQ(ScreenSett.DragSlider, 0);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(MenuScreens, DragKeepsGoingOutsideTheView) {
    // While the knob is held the pointer may leave the view; the level follows its u.
    OpenSettingsFromMenu();
    QPoint knob = PixelAt(KnobU(MusicVolume), kMusicLineV);
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, knob);
    QTest::mouseMove(View(), QPoint(-200, 1200));
    EXPECT_EQ(MusicVolume, 0.0);
    QTest::mouseMove(View(), QPoint(2000, -50));
    EXPECT_EQ(MusicVolume, 1.0);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(2000, -50));
}

TEST_F(MenuScreens, RotateBoardTogglesAtOnce) {
    // The switch flips on the click and a scene showing the new word is queued at once, not at
    // the next tick (the user-interface thread waits here, so no tick can come between).
    OpenSettingsFromMenu();
    ClickAt(0.3, 0.385);
    EXPECT_FALSE(RotateBoard);
    auto showsOff = [&] {
        for (const GraphicsCall& call : graphics_.Calls())
            if (call.op == "DrawString" && call.text == "Off") return true;
        return false;
    };
    int frames = graphics_.FramesEnded();
    for (int i = 0; i < 100 && !showsOff(); ++i)
        graphics_.WaitForFramesEnded(++frames);
    EXPECT_TRUE(showsOff());
    ClickAt(0.3, 0.385);
    EXPECT_TRUE(RotateBoard);
}

TEST_F(MenuScreens, SettingsBackReturnsToWhereItWasOpenedFrom) {
    // "BACK", Esc and the right button all lead to ReturnScreen, or to the menu when it is
    // null.
    RecordingScreen game;
    for (int way = 0; way < 3; ++way) {
        ScreenSett.ReturnScreen = &game;
        SwitchScreen(&ScreenSett);
        if (way == 0) ClickAt(0.16, 0.29);
        if (way == 1) PressEscape();
        if (way == 2) RightClick();
        EXPECT_EQ(CurrentScreen, &game) << "way " << way;
    }
    ScreenSett.ReturnScreen = nullptr;
    SwitchScreen(&ScreenSett);
    ClickAt(0.16, 0.29);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(ScreenSett.ReturnScreen, &ScreenMain);
}

TEST_F(MenuScreens, SettingsMainMenuItemKeepsTheReturnScreen) {
    // "MAIN MENU" goes to the menu and leaves ReturnScreen as it was.
    RecordingScreen game;
    ScreenSett.ReturnScreen = &game;
    SwitchScreen(&ScreenSett);
    ClickAt(0.3, 0.195);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(ScreenSett.ReturnScreen, &game);
}

TEST_F(MenuScreens, LeavingInTheMiddleOfADragReleasesTheMouse) {
    // Esc while the knob is held switches away with the capture released; the next visit
    // starts without a drag.
    OpenSettingsFromMenu();
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier,
                      PixelAt(KnobU(SoundVolume), kSoundLineV));
    ASSERT_EQ(QWidget::mouseGrabber(), View());
    PressEscape();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    OpenSettingsFromMenu();
    EXPECT_EQ(ScreenSett.DragSlider, 0);
}

TEST_F(MenuScreens, ResultScreenGoesOnToItsReturnScreenOrTheMenu) {
    // After a battle the result leads back to the play screen; after a GAME (null) to the
    // menu; by a click anywhere, Esc or the right button.
    RecordingScreen game;
    for (int way = 0; way < 3; ++way) {
        ScreenCongr.ReturnScreen = &game;
        ScreenCongr.Result = 1;
        SwitchScreen(&ScreenCongr);
        if (way == 0) QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 997));
        if (way == 1) PressEscape();
        if (way == 2) RightClick();
        EXPECT_EQ(CurrentScreen, &game) << "way " << way;
        EXPECT_EQ(std::count(game.events.begin(), game.events.end(), "activate"), way + 1);
    }
    ScreenCongr.ReturnScreen = nullptr;
    SwitchScreen(&ScreenCongr);
    ClickAt(1.2, 0.9);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
}

TEST_F(MenuScreens, ResultFlagRestartsBySetOfTheOutcome) {
    // No winner and the Red army's losses restart the flag with the second set; every win with
    // the menu's set.
    for (std::int32_t result = 0; result <= 6; ++result) {
        WaveFlag();
        ScreenCongr.Result = result;
        SwitchScreen(&ScreenCongr);
        bool sad = result == 0 || result == 2 || result == 5;
        EXPECT_EQ(FlagIsFreshFromSecondSet(), sad) << "result " << result;
        EXPECT_EQ(FlagIsFreshFromMenuSet(), !sad) << "result " << result;
    }
}

TEST_F(MenuScreens, ResultSceneCarriesResultAndPoints) {
    // The result screen's scene shows the outcome's line and "+points".
    ScreenCongr.Result = 3;
    ScreenCongr.Points = 7;
    SwitchScreen(&ScreenCongr);
    auto showsPoints = [&] {
        for (const GraphicsCall& call : graphics_.Calls())
            if (call.op == "DrawString" && call.text == "+7") return true;
        return false;
    };
    // Looked at before each wait: the frame may already be drawn, and no other one follows.
    int frames = graphics_.FramesEnded();
    for (int i = 0; i < 100 && !showsPoints(); ++i)
        graphics_.WaitForFramesEnded(++frames);
    EXPECT_TRUE(showsPoints());
}

}  // namespace
