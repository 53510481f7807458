#include "screens/screen_play2.h"

#include "screens/screen_main.h"
#include "tests/play/play_fixture.h"

#include <gtest/gtest.h>

namespace {

class ScreenPlay2Test : public PlayTest {
protected:
    CScreenPlay2& screen = ScreenPlay2;

    /// Red wins the present battle flawlessly with one scripted flick.
    void WinBattleForRed() {
        ArrangeLastWhiteBeforeRed(screen);
        Select(screen, 3, 0);
        FlickAtSpeed(screen, 1.2);
        TickToRest(screen);
    }
};

TEST_F(ScreenPlay2Test, MenuItemStartsANewGameWithRedInControl) {
    // "2 PLAYERS" starts a new GAME and makes this screen current: rows 0, Red to move and in
    // control, scores 0, the camera swinging towards Red's view.
    screen.match.gameScore = {5, 7};
    ScreenMain.OnLButtonDown(180, 178);  // canvas (0.45, 0.555) in a 600 x 400 view
    EXPECT_EQ(CurrentScreen, &screen);
    EXPECT_EQ(screen.match.gameScore, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(screen.match.sideToMove, kRed);
    EXPECT_EQ(screen.sideInControl, kRed);
    EXPECT_EQ(screen.match.row, (std::array<std::int32_t, 2>{0, 0}));
    ASSERT_TRUE(screen.IsSwinging());
    EXPECT_GE(screen.swingTargetAzimuth, -4);
    EXPECT_LE(screen.swingTargetAzimuth, 4);
    EXPECT_EQ(CountAlive(Board, kRed), 8);
}

TEST_F(ScreenPlay2Test, WhiteTakesControlAndItsOwnPieces) {
    // After the turn passes, White picks its own pieces and Red's are refused.
    screen.NewGame();
    Enter(screen);
    Select(screen, 0, 0);
    FlickAtSpeed(screen, 0.2);
    TickToRest(screen);
    FinishSwing(screen);
    Select(screen, 2, 180);
    EXPECT_EQ(screen.selectedPiece, -1);
    Select(screen, 10, 180);
    EXPECT_EQ(screen.selectedPiece, 10);
    EXPECT_DOUBLE_EQ(Board[10].aim, -180);
}

TEST_F(ScreenPlay2Test, AGamePlayedToItsEndShowsTheWinnerAndStartsAfreshWithScoresReset) {
    // Four flawless Red battles take Red from row 0 past row 6: each shows "Red army won the
    // battle", the fourth "Red army won the GAME!" with no screen to return to; the next GAME
    // is then ready behind it with both scores back at 0.
    screen.NewGame();
    Enter(screen);
    std::array<int, 4> rows{2, 4, 6, 8};
    for (int battle = 0; battle < 4; ++battle) {
        WinBattleForRed();
        ASSERT_EQ(CurrentScreen, &ScreenCongr) << battle;
        if (battle < 3) {
            EXPECT_EQ(ScreenCongr.Result, 1);
            EXPECT_EQ(ScreenCongr.ReturnScreen, &screen);
            EXPECT_EQ(screen.match.row[kRed], rows[battle]);
            EXPECT_GT(screen.match.gameScore[kRed], 0);
        }
        ScreenCongr.OnLButtonDown(5, 5);
        if (battle < 3) {
            ASSERT_EQ(CurrentScreen, &screen);
            FinishSwing(screen);
        }
    }
    EXPECT_EQ(ScreenCongr.Result, 4);
    EXPECT_EQ(ResultText(ScreenCongr.Result), "Red army won the GAME!");
    EXPECT_EQ(ScreenCongr.Points, 1 * 8 * 2);
    EXPECT_EQ(ScreenCongr.ReturnScreen, &ScreenMain);
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(screen.match.gameScore, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(screen.match.row, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(screen.match.sideToMove, kRed);
    EXPECT_EQ(CountAlive(Board, kWhite), 8);
}

TEST_F(ScreenPlay2Test, WhiteWinsShowWhiteTexts) {
    // White knocking off Red's last piece shows "White army won the battle" with its points,
    // and White moves first in the next battle, with control and its camera.
    screen.NewGame();
    Enter(screen);
    screen.match.sideToMove = screen.sideInControl = kWhite;
    for (int k = 0; k < kArmySize - 1; ++k)
        Board[k].alive = 0;
    Board[7].x = Board[12].x;
    Board[7].y = 0.05;
    Board[12].y = 0.17;
    screen.match.count[kRed] = screen.match.newCount[kRed] = 1;
    Select(screen, 12, 180);
    FlickAtSpeed(screen, 1.2);
    TickToRest(screen);
    ASSERT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, 3);
    EXPECT_EQ(ScreenCongr.Points, 4);
    EXPECT_EQ(screen.match.row[kWhite], 2);
    EXPECT_EQ(screen.match.sideToMove, kWhite);
    EXPECT_EQ(screen.sideInControl, kWhite);
    EXPECT_GE(screen.swingTargetAzimuth, 176);
    EXPECT_LE(screen.swingTargetAzimuth, 184);
}

}  // namespace
