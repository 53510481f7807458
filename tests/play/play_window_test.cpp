// Whole flows of play through the real main window and view on the offscreen platform, with the
// real OpenGL renderer behind the scene queue, so that a click picks what is drawn there.

#include "tests/play/play_window_fixture.h"

#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <utility>

namespace {

TEST_F(PlayWindowTest, ClickOnAPiecesProjectedCentreSelectsIt) {
    // Through the menu, the view and the renderer's picking, a click on the centre of a Red
    // piece as drawn selects it and aims it along the camera; a White piece is refused.
    ClickRedWhiteRed();
    EXPECT_EQ(Board[2].selected, 1);
    EXPECT_DOUBLE_EQ(Board[2].aim, -25);
}

TEST_F(PlayWindowTest, SevenQuickNotchesFlickAtTheSeventh) {
    // Wheel events through the view: the sixth notch charges, the seventh flicks at once.
    StartTwoPlayers();
    ClickPiece(4);
    ASSERT_EQ(ScreenPlay2.selectedPiece, 4);
    for (int notch = 0; notch < 6; ++notch)
        TurnWheel(120);
    EXPECT_FALSE(ScreenPlay2.moving);
    EXPECT_EQ(charge.plays, 1);
    TurnWheel(120);
    EXPECT_TRUE(ScreenPlay2.moving);
    EXPECT_EQ(ScreenPlay2.match.lastFlickedPiece, 4);
}

TEST_F(PlayWindowTest, TwoNotchesFlickOnTheFirstTickMoreThanFortyMsLater) {
    // Two notches, then ticks: none flicks at 40 ms, the first after that does.
    StartTwoPlayers();
    ClickPiece(6);
    TurnWheel(120);
    clock.now += 20;
    TurnWheel(120);
    clock.now += 40;
    CurrentScreen->OnTimer();
    EXPECT_FALSE(ScreenPlay2.moving);
    clock.now += 1;
    CurrentScreen->OnTimer();
    EXPECT_TRUE(ScreenPlay2.moving);
    EXPECT_EQ(charge.plays, 1);
}

TEST_F(PlayWindowTest, BackwardFirstNotchAndWheelWithoutSelectionDoNothing) {
    // Neither a backward first notch nor a wheel with nothing selected charges or sounds.
    StartTwoPlayers();
    for (int notch = 0; notch < 7; ++notch)
        TurnWheel(120);
    ClickPiece(1);
    TurnWheel(-120);
    for (int tick = 0; tick < 5; ++tick)
        Tick();
    EXPECT_FALSE(ScreenPlay2.moving);
    EXPECT_EQ(charge.plays, 0);
}

TEST_F(PlayWindowTest, TouchpadStepsFlickLikeAWheel) {
    // Small steps of a touchpad or high-resolution wheel make whole notches: 56 steps of 15
    // give the seven notches of a flick.
    StartTwoPlayers();
    ClickPiece(3);
    for (int step = 0; step < 55; ++step)
        TurnWheel(15);
    EXPECT_FALSE(ScreenPlay2.moving);
    TurnWheel(15);
    EXPECT_TRUE(ScreenPlay2.moving);
    EXPECT_EQ(charge.plays, 1);
}

TEST_F(PlayWindowTest, NaturalScrollingFlicksWithTheSameFingerMotion) {
    // A touchpad set to natural scrolling reports the fingers' push with the sign reversed,
    // and says so: the same push charges and flicks exactly as on any other touchpad, and the
    // opposite motion flicks on neither.
    const std::pair<double, double> still{0, 0};
    std::pair<double, double> usual = TouchpadFlick(15, false);
    EXPECT_NE(usual, still);
    EXPECT_EQ(TouchpadFlick(-15, true), usual);
    EXPECT_EQ(TouchpadFlick(-15, false), still);
    EXPECT_EQ(TouchpadFlick(15, true), still);
}

TEST_F(PlayWindowTest, AFlickRunsToRestUnderTheWindowsOwnTimerAndIsJudged) {
    // With the real clock and the window's 50 ms timer, two notches flick after the pause,
    // the piece runs to rest and the move is judged: the turn passes to White.
    StartTwoPlayers();
    SetClock(nullptr);
    ClickPiece(0);
    TurnWheel(120);
    TurnWheel(120);
    EXPECT_TRUE(QTest::qWaitFor([] { return ScreenPlay2.match.sideToMove == kWhite; }, 10000));
    EXPECT_FALSE(ScreenPlay2.moving);
    EXPECT_EQ(ScreenPlay2.match.lastFlickedPiece, 0);
    EXPECT_EQ(ScreenPlay2.sideInControl, kWhite);
}

TEST_F(PlayWindowTest, AWonBattleShowsTheResultWithTheNextBattleBehindIt) {
    // The battle's last White piece knocked off: the result screen, and behind it the next
    // battle on Red's new row, eight a side, Red first.
    StartTwoPlayers();
    WinBattleForRed(ScreenPlay2);
    ASSERT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, kRedWonBattle);
    EXPECT_EQ(ScreenPlay2.match.row[kRed], 2);
    EXPECT_EQ(CountAlive(Board, kWhite), 8);
    EXPECT_DOUBLE_EQ(Board[0].y, RowCentre(kRed, 2));
    ClickAt(QPoint(700, 500));
    EXPECT_EQ(CurrentScreen, &ScreenPlay2);
}

TEST_F(PlayWindowTest, TwoPlayerGamePlayedToItsEndStartsAfreshWithScoresReset) {
    // Four flawless battles through the window: "Red army won the GAME!", back to the menu;
    // the next GAME is set with both scores at 0.
    StartTwoPlayers();
    for (int battle = 0; battle < 4; ++battle) {
        WinBattleForRed(ScreenPlay2);
        ASSERT_EQ(CurrentScreen, &ScreenCongr) << battle;
        if (battle < 3) {
            ClickAt(QPoint(700, 500));
            FinishSwing(ScreenPlay2);
        }
    }
    EXPECT_EQ(ResultText(ScreenCongr.Result), "Red army won the GAME!");
    EXPECT_EQ(ScreenPlay2.match.gameScore, (std::array<std::int32_t, 2>{0, 0}));
    ClickAt(QPoint(700, 500));
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    StartTwoPlayers();
    EXPECT_EQ(ScreenPlay2.match.row, (std::array<std::int32_t, 2>{0, 0}));
}

TEST_F(PlayWindowTest, OnePlayerGamePlayedToItsEndKeepsTheTotal) {
    // The same against the computer: the GAME won, the total runs on into the next GAME.
    StartOnePlayer();
    for (int battle = 0; battle < 4; ++battle) {
        WinBattleForRed(ScreenPlay1);
        ASSERT_EQ(CurrentScreen, &ScreenCongr) << battle;
        if (battle < 3) {
            ClickAt(QPoint(700, 500));
            FinishSwing(ScreenPlay1);
        }
    }
    EXPECT_EQ(ResultText(ScreenCongr.Result), "Red army won the GAME!");
    std::int32_t total = ScreenPlay1.TotalScore();
    EXPECT_GT(total, 0);
    EXPECT_EQ(ScreenPlay1.match.row, (std::array<std::int32_t, 2>{0, 0}));
    ClickAt(QPoint(700, 500));
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(ScreenPlay1.TotalScore(), total);
}

TEST_F(PlayWindowTest, ComputerChoosesOnTheFifthTickAndFlicksAtTwoAndAHalf) {
    // After Red's move passes the turn, the computer chooses on the fifth tick and flicks at
    // speed 2.5 once its swing and eight more ticks are over.
    StartOnePlayer();
    ClickPiece(0);
    TurnWheel(120);
    Tick();  // the charge's pause is over: the flick
    ASSERT_TRUE(ScreenPlay1.moving);
    TickToRest(ScreenPlay1);
    ASSERT_EQ(ScreenPlay1.match.sideToMove, kWhite);
    for (int tick = 0; tick < 4; ++tick)
        Tick();
    EXPECT_EQ(ScreenPlay1.chosenPiece, -1);
    Tick();
    std::int32_t chosen = ScreenPlay1.chosenPiece;
    ASSERT_GE(chosen, kArmySize);
    int wait = ScreenPlay1.computerCountdown;
    EXPECT_EQ(wait, ScreenPlay1.swingLength + 8);
    for (int tick = 1; tick < wait; ++tick)
        Tick();
    EXPECT_FALSE(ScreenPlay1.moving);
    int plays = charge.plays;
    Tick();
    EXPECT_TRUE(ScreenPlay1.moving);
    EXPECT_EQ(ScreenPlay1.computerSpeed, 2.5);
    EXPECT_EQ(ScreenPlay1.chosenPiece, -1);
    EXPECT_EQ(Board[chosen].selected, 0);
    EXPECT_EQ(charge.plays, plays + 1);
}

TEST_F(PlayWindowTest, PressDuringACameraSwingIsIgnored) {
    // A click while the camera swings selects nothing and starts no drag.
    ClickAt(CanvasPixel(0.35, 0.55));
    ASSERT_EQ(CurrentScreen, &ScreenPlay2);
    ASSERT_TRUE(ScreenPlay2.IsSwinging());
    WaitForAFrame();
    ClickAt(PiecePixel(3));
    EXPECT_EQ(ScreenPlay2.selectedPiece, -1);
    EXPECT_FALSE(ScreenPlay2.dragging);
}

TEST_F(PlayWindowTest, SettingsOpenedFromPlayReturnToItExactlyAsItWas) {
    // Esc opens the settings; its back item returns to the game with board, camera,
    // selection and the rules' record as they were.
    StartTwoPlayers();
    ClickPiece(2);
    Board[10].alive = 0;
    ScreenPlay2.match.count[kWhite] = 7;
    PieceTable board = Board;
    CameraAngles camera = Camera;
    QTest::keyClick(frame_.get(), Qt::Key_Escape);
    ASSERT_EQ(CurrentScreen, &ScreenSett);
    EXPECT_EQ(ScreenSett.ReturnScreen, &ScreenPlay2);
    for (int tick = 0; tick < 5; ++tick)
        Tick();
    ClickAt(CanvasPixel(0.16, 0.29));  // "BACK"
    ASSERT_EQ(CurrentScreen, &ScreenPlay2);
    EXPECT_EQ(std::memcmp(&board, &Board, sizeof board), 0);
    EXPECT_EQ(Camera.azimuth, camera.azimuth);
    EXPECT_EQ(Camera.elevation, camera.elevation);
    EXPECT_EQ(ScreenPlay2.selectedPiece, 2);
    EXPECT_EQ(ScreenPlay2.match.count[kWhite], 7);
}

}  // namespace
