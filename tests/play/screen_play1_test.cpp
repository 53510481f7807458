#include "screens/screen_play1.h"

#include "game/physics.h"
#include "screens/screen_main.h"
#include "tests/play/play_fixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class ScreenPlay1Test : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        screen.ResetTotalScore();
        screen.NewGame();
        Enter(screen);
        screen.OnLButtonUp(0, 0);  // no drag left over from another test
    }

    /// Red makes a weak move that knocks nothing off, so the computer's turn begins.
    void PassTheTurnToTheComputer() {
        Select(screen, 0, 0);
        FlickAtSpeed(screen, 0.2);
        TickToRest(screen);
        ASSERT_EQ(screen.match.sideToMove, kWhite);
    }

    CScreenPlay1& screen = ScreenPlay1;
};

TEST_F(ScreenPlay1Test, MenuItemResetsTheTotalAndStartsWithRed) {
    // "1 PLAYER" sets the shown total to 0, starts a GAME with Red to move and in control.
    screen.match.gameScore[kRed] = 42;
    ScreenMain.OnLButtonDown(120, 138);  // canvas (0.3, 0.655) in a 600 x 400 view
    EXPECT_EQ(CurrentScreen, &screen);
    EXPECT_EQ(screen.TotalScore(), 0);
    EXPECT_EQ(screen.match.sideToMove, kRed);
    EXPECT_EQ(screen.sideInControl, kRed);
    EXPECT_EQ(screen.computerPhase, kComputerIdle);
    EXPECT_TRUE(screen.IsSwinging());
}

TEST_F(ScreenPlay1Test, ComputerChoosesOnTheFifthTickAndFlicksAtTwoAndAHalf) {
    // The computer's turn: four ticks of waiting, its choice on the fifth with a swing along
    // the shot, then swing length + 8 ticks later a flick of exactly 2.5 with the charge
    // sound, leaving Red's last flicked piece and White's view azimuth alone.
    PassTheTurnToTheComputer();
    EXPECT_EQ(screen.computerPhase, kComputerThinking);
    EXPECT_EQ(screen.computerCountdown, 5);
    for (int tick = 1; tick <= 4; ++tick) {
        Tick();
        EXPECT_EQ(screen.computerPhase, kComputerThinking) << tick;
    }
    Tick();
    ASSERT_EQ(screen.computerPhase, kComputerAiming);
    std::int32_t chosen = screen.chosenPiece;
    ASSERT_GE(chosen, kArmySize);
    EXPECT_EQ(Board[chosen].selected, 1);
    EXPECT_DOUBLE_EQ(screen.swingTargetAzimuth, -Board[chosen].aim);
    int wait = screen.swingLength + kComputerAimTicks;
    EXPECT_EQ(screen.computerCountdown, wait);

    int plays = charge.plays;
    for (int tick = 1; tick < wait; ++tick) {
        Tick();
        EXPECT_FALSE(screen.moving) << tick;
    }
    EXPECT_FALSE(screen.IsSwinging());
    PieceTable expected = Board;
    Tick();
    EXPECT_TRUE(screen.moving);
    EXPECT_EQ(screen.computerPhase, kComputerIdle);
    EXPECT_EQ(screen.computerSpeed, 2.5);
    EXPECT_EQ(screen.chosenPiece, -1);
    EXPECT_EQ(charge.plays, plays + 1);
    EXPECT_EQ(screen.match.lastFlickedPiece, 0);
    EXPECT_DOUBLE_EQ(screen.viewAzimuth[kWhite], 180);
    Velocity v = FlickVelocity(expected[chosen].aim, 2.5);
    expected[chosen].vx = v.vx;
    expected[chosen].vy = v.vy;
    expected[chosen].selected = 0;
    std::int32_t falls = 0;
    for (int step = 0; step < kStepsPerTick; ++step)
        StepPhysics(expected, falls);
    EXPECT_EQ(std::memcmp(&expected, &Board, sizeof expected), 0);
}

TEST_F(ScreenPlay1Test, PersonCannotSelectOrFlickDuringTheComputersTurn) {
    // While White is to move a press only drags: no piece of either army is selected, and
    // the wheel does nothing.
    PassTheTurnToTheComputer();
    FinishSwing(screen);
    for (std::int32_t piece : {1, 9}) {
        graphics.SetPickResult(piece);
        screen.OnLButtonDown(100, 100);
        screen.OnLButtonUp(100, 100);
        EXPECT_EQ(screen.selectedPiece, -1);
    }
    int plays = charge.plays;
    screen.OnMouseWheel(120);
    EXPECT_EQ(charge.plays, plays);
}

TEST_F(ScreenPlay1Test, ComputerMovingFirstChoosesOnTheFifthTickAfterTheResult) {
    // A battle the computer starts: no swing yet; the result screen's ticks do not count, the
    // choice comes on the fifth tick of this screen after it is current again.
    ScreenCongr.ReturnScreen = &screen;
    ScreenCongr.Result = 2;
    SwitchScreen(&ScreenCongr);
    screen.StartBattle(0, 1, kWhite);
    EXPECT_EQ(screen.computerPhase, kComputerThinking);
    for (int tick = 0; tick < 10; ++tick)
        Tick();
    EXPECT_EQ(screen.computerCountdown, 5);
    ScreenCongr.OnBack();
    ASSERT_EQ(CurrentScreen, &screen);
    for (int tick = 0; tick < 4; ++tick)
        Tick();
    EXPECT_EQ(screen.chosenPiece, -1);
    Tick();
    EXPECT_GE(screen.chosenPiece, kArmySize);
}

TEST_F(ScreenPlay1Test, AGameWonKeepsTheTotalScore) {
    // Four flawless Red battles win the GAME: "Red army won the GAME!" with the battle's
    // points, back to the menu; the next GAME starts at rows 0 with the total kept.
    for (int battle = 0; battle < 4; ++battle) {
        ArrangeLastWhiteBeforeRed(screen);
        Select(screen, 3, 0);
        FlickAtSpeed(screen, 1.2);
        TickToRest(screen);
        ASSERT_EQ(CurrentScreen, &ScreenCongr);
        if (battle < 3) {
            EXPECT_EQ(ScreenCongr.Result, 1);
            ScreenCongr.OnLButtonDown(5, 5);
            FinishSwing(screen);
        }
    }
    EXPECT_EQ(ScreenCongr.Result, 4);
    EXPECT_EQ(ScreenCongr.ReturnScreen, nullptr);
    std::int32_t total = screen.TotalScore();
    EXPECT_GT(total, 0);
    EXPECT_EQ(screen.match.row, (std::array<std::int32_t, 2>{0, 0}));
    EXPECT_EQ(screen.match.sideToMove, kRed);
    ScreenCongr.OnBack();
    EXPECT_EQ(CurrentScreen, &ScreenMain);
    EXPECT_EQ(screen.TotalScore(), total);
}

TEST_F(ScreenPlay1Test, KnockingOffAWhitePieceKeepsTheTurnAndTheCamera) {
    // Red knocks a White piece off without losing one: Red flicks again, the computer waits
    // and the camera stays where it is.
    KnockOffAtTheFarEdge(screen);
    EXPECT_EQ(screen.computerPhase, kComputerIdle);
    EXPECT_FALSE(screen.IsSwinging());
}

TEST_F(ScreenPlay1Test, LosingOwnPieceLowersTheTotal) {
    // Red flicks its own piece off its home edge: -1 x (row + 1), and the turn passes.
    Board[2].y = 0.06;
    Select(screen, 2, 180);
    FlickAtSpeed(screen, 1.0);
    TickToRest(screen);
    EXPECT_EQ(screen.TotalScore(), -1);
    EXPECT_EQ(screen.match.sideToMove, kWhite);
    EXPECT_EQ(fall.plays, 1);
}

TEST_F(ScreenPlay1Test, SomethingGoesWrongIsShownOnceAndTheComputerGivesUpItsTurn) {
    // With no Red piece left to aim at, the computer's choice shows "Something goes wrong"
    // once, even while ticks keep coming inside the box, and gives up its turn: the rules
    // then judge the board, which shows the battle lost by Red. Nothing repeats afterwards.
    PassTheTurnToTheComputer();
    for (int k = 0; k < kArmySize; ++k)
        Board[k].alive = 0;
    int ticksInside = 0;
    messages.whileOpen = [&] {
        for (int tick = 0; tick < 20; ++tick, ++ticksInside)
            Tick();
    };
    for (int tick = 0; tick < 5; ++tick)
        Tick();
    ASSERT_EQ(messages.texts, (std::vector<std::string>{"Something goes wrong"}));
    EXPECT_EQ(ticksInside, 20);
    EXPECT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, 2);
    // The next battle is ready, the computer (the winner) to start it.
    EXPECT_EQ(screen.match.sideToMove, kWhite);
    EXPECT_EQ(CountAlive(Board, kRed), 8);
    for (int tick = 0; tick < 50; ++tick)
        Tick();
    EXPECT_EQ(messages.texts.size(), 1u);
}

TEST_F(ScreenPlay1Test, ComputerWithNoPieceGivesTheTurnAway) {
    // With no White piece to flick the computer gives up; the board shows White emptied, so
    // Red wins the battle and moves first in the next.
    PassTheTurnToTheComputer();
    for (int k = kArmySize; k < kPieceCount; ++k)
        Board[k].alive = 0;
    for (int tick = 0; tick < 5; ++tick)
        Tick();
    EXPECT_EQ(messages.texts, (std::vector<std::string>{"Something goes wrong"}));
    EXPECT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, 1);
    EXPECT_EQ(screen.match.sideToMove, kRed);
    EXPECT_EQ(screen.computerPhase, kComputerIdle);
}

}  // namespace
