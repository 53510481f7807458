#include "game/physics.h"
#include "screens/screen_play2.h"
#include "tests/play/play_fixture.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

// The shared behaviour of every play screen, seen through the two-player screen.
class ScreenPlayTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        ScreenPlay2.NewGame();
        Enter(ScreenPlay2);
        screen.OnLButtonUp(0, 0);  // no drag left over from another test
    }

    CScreenPlay2& screen = ScreenPlay2;
};

TEST_F(ScreenPlayTest, PressSelectsTheMoversPieceAndAimsItAlongTheCamera) {
    // A press on one of the mover's pieces selects it, marks it and aims it at -azimuth; the
    // pick is asked with the row counted from the bottom.
    Camera.azimuth = 20;
    graphics.SetPickResult(3);
    screen.OnLButtonDown(250, 100);
    EXPECT_EQ(screen.selectedPiece, 3);
    EXPECT_EQ(Board[3].selected, 1);
    EXPECT_EQ(Board[3].aim, -20);
    EXPECT_TRUE(screen.dragging);
    EXPECT_TRUE(capture.captured);
    std::vector<GraphicsCall> calls = graphics.Calls();
    auto pick = std::find_if(calls.begin(), calls.end(),
                             [](const GraphicsCall& c) { return c.op == "PickPiece"; });
    ASSERT_NE(pick, calls.end());
    EXPECT_EQ(pick->numbers, (std::vector<double>{20, Camera.elevation, 250, 300}));

    // A press on another of the mover's pieces moves the selection.
    graphics.SetPickResult(5);
    screen.OnLButtonDown(260, 100);
    EXPECT_EQ(screen.selectedPiece, 5);
    EXPECT_EQ(Board[3].selected, 0);
    EXPECT_EQ(Board[5].selected, 1);
}

TEST_F(ScreenPlayTest, PressOnEnemyOrNothingOrWhileMovingKeepsTheSelection) {
    // An enemy piece, nothing, an out-of-range answer, or any piece while pieces move leave
    // the selection as it was.
    Select(screen, 2, 0);
    for (std::int32_t answer : {9, -1, 16, 1000}) {
        graphics.SetPickResult(answer);
        screen.OnLButtonDown(10, 10);
        screen.OnLButtonUp(10, 10);
        EXPECT_EQ(screen.selectedPiece, 2) << answer;
    }
    screen.moving = 1;
    graphics.SetPickResult(4);
    screen.OnLButtonDown(10, 10);
    EXPECT_EQ(screen.selectedPiece, 2);
}

TEST_F(ScreenPlayTest, PressDuringCameraSwingIsIgnored) {
    // While the camera swings a press neither starts a drag nor selects nor captures.
    screen.SwingCamera(180);
    ASSERT_TRUE(screen.IsSwinging());
    graphics.SetPickResult(3);
    screen.OnLButtonDown(100, 100);
    EXPECT_FALSE(screen.dragging);
    EXPECT_EQ(screen.selectedPiece, -1);
    EXPECT_EQ(capture.captures, 0);
    EXPECT_FALSE(HasOp(graphics.Calls(), "PickPiece"));
}

TEST_F(ScreenPlayTest, DragTurnsByOffsetTimesDegreesOverViewSizeToTheLastBit) {
    // The aim of a dragged piece crosses the network: every offset must give exactly
    // offset x 180 / width (and x 90 / height), multiplied first, for any view size.
    for (std::int32_t width : {600, 700, 899, 1366, 1500}) {
        for (std::int32_t offset = 1; offset < 240; ++offset) {
            ClientWidth = width;
            ClientHeight = width * 2 / 3;
            Camera = {0, 45};
            screen.OnLButtonDown(0, 300);
            screen.OnMouseDrag(offset, 300 - offset / 4);
            double azimuth = static_cast<double>(offset) * 180 / width;
            double elevation = static_cast<double>(offset / 4) * 90 / ClientHeight;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(screen.azimuthDelta),
                      std::bit_cast<std::uint64_t>(azimuth))
                << offset << " px of " << width;
            ASSERT_EQ(std::bit_cast<std::uint64_t>(screen.elevationDelta),
                      std::bit_cast<std::uint64_t>(elevation))
                << offset / 4 << " px of " << ClientHeight;
            screen.OnLButtonUp(offset, 300);
        }
    }
}

TEST_F(ScreenPlayTest, MouseSettingScalesTheDragOnALogScale) {
    // MOUSE 0, 0.5 and 1 turn the same drag by a quarter, exactly today's and four times
    // today's degrees, both ways and in the aim.
    struct Case {
        double setting, factor;
    };
    for (Case c : {Case{0, 0.25}, Case{0.5, 1}, Case{1, 4}, Case{0.75, 2}}) {
        MouseSetting = c.setting;
        Select(screen, 1, 0);
        Camera = {0, 10};
        screen.OnLButtonDown(100, 300);
        screen.OnMouseDrag(117, 293);
        double azimuth = c.factor * (17.0 * 180 / 600);
        EXPECT_EQ(std::bit_cast<std::uint64_t>(screen.azimuthDelta),
                  std::bit_cast<std::uint64_t>(azimuth))
            << c.setting;
        EXPECT_EQ(screen.elevationDelta, c.factor * (7.0 * 90 / 400)) << c.setting;
        EXPECT_EQ(Board[1].aim, -azimuth) << c.setting;
        screen.OnLButtonUp(117, 293);
    }
}

TEST_F(ScreenPlayTest, DragTurnsCameraAndAimAndReleaseNormalisesTheAzimuth) {
    // A drag to the left wraps the delta up by 360 while dragging; the release brings the
    // azimuth back into range; the selected piece aims along the camera throughout.
    Select(screen, 1, 10);
    Camera.elevation = 60;
    screen.OnLButtonDown(300, 200);
    screen.OnMouseDrag(200, 200);  // 100 px of 600 = -30 degrees
    EXPECT_DOUBLE_EQ(screen.azimuthDelta, 330);
    EXPECT_DOUBLE_EQ(Camera.azimuth, 340);
    EXPECT_DOUBLE_EQ(Board[1].aim, -340);
    screen.OnLButtonUp(200, 200);
    EXPECT_DOUBLE_EQ(Camera.azimuth, 340);
    EXPECT_FALSE(screen.dragging);
    EXPECT_FALSE(capture.captured);

    screen.OnLButtonDown(0, 200);
    screen.OnMouseDrag(200, 200);  // +60
    screen.OnLButtonUp(200, 200);
    EXPECT_NEAR(Camera.azimuth, 40, 1e-12);
    EXPECT_NEAR(Board[1].aim, -40, 1e-12);
}

TEST_F(ScreenPlayTest, DragClampsElevationToZeroAndNinety) {
    // From 80, a drag up by a whole client height ends at 90; a drag down stops at 0.
    Camera.elevation = 80;
    screen.OnLButtonDown(300, 400);
    screen.OnMouseDrag(300, 0);
    EXPECT_DOUBLE_EQ(Camera.elevation, 90);
    screen.OnMouseDrag(300, 800);
    EXPECT_DOUBLE_EQ(Camera.elevation, 0);
    screen.OnLButtonUp(300, 800);
    EXPECT_DOUBLE_EQ(Camera.elevation, 0);
}

TEST_F(ScreenPlayTest, DragInAMinimisedViewLeavesTheCameraFinite) {
    // A view of no size turns nothing instead of dividing by zero.
    ClientWidth = 0;
    ClientHeight = 0;
    Camera.azimuth = 25;
    double azimuth = Camera.azimuth;
    screen.OnLButtonDown(10, 10);
    screen.OnMouseDrag(50, 50);
    screen.OnLButtonUp(50, 50);
    EXPECT_DOUBLE_EQ(Camera.azimuth, azimuth);
    EXPECT_TRUE(std::isfinite(Camera.elevation));
}

TEST_F(ScreenPlayTest, MovesWithoutAPressDoNotTurnTheCamera) {
    // OnMouseDrag acts only between a press and its release.
    double azimuth = Camera.azimuth;
    screen.OnMouseDrag(500, 10);
    EXPECT_DOUBLE_EQ(Camera.azimuth, azimuth);
}

TEST_F(ScreenPlayTest, SevenQuickNotchesFlickAtTheSeventh) {
    // The first forward notch starts the charge with the charge sound; the sixth further one
    // flicks at once with power sum / (elapsed + 50) x 0.2 and the random factor.
    Select(screen, 3, 0);
    screen.OnMouseWheel(120);
    EXPECT_EQ(charge.plays, 1);
    for (int notch = 1; notch <= 5; ++notch) {
        clock.now += 10;
        screen.OnMouseWheel(120);
        EXPECT_FALSE(screen.moving);
    }
    clock.now += 10;
    double factor = NextFlickFactor();
    screen.OnMouseWheel(120);
    ASSERT_TRUE(screen.moving);
    double speed = 840 / static_cast<double>(60 + 50) * 0.2 * factor;
    EXPECT_NEAR(Board[3].vy, speed, 1e-12);
    EXPECT_EQ(Board[3].selected, 0);
    EXPECT_EQ(screen.selectedPiece, -1);
    EXPECT_EQ(screen.match.lastFlickedPiece, 3);
    EXPECT_EQ(charge.plays, 1);

    // A late notch and the next tick flick nothing more.
    double vy = Board[3].vy;
    screen.OnMouseWheel(120);
    clock.now += 100;
    screen.OnTimer();
    EXPECT_EQ(screen.match.lastFlickedPiece, 3);
    EXPECT_LE(Board[3].vy, vy);
}

TEST_F(ScreenPlayTest, TwoNotchesFlickOnTheFirstTickMoreThanFortyMsAfterTheSecond) {
    // No flick at exactly 40 ms of rest; the next tick after it flicks with the power of the
    // notches' own pace.
    Select(screen, 4, 0);
    screen.OnMouseWheel(120);
    clock.now += 30;
    screen.OnMouseWheel(120);
    clock.now += 40;
    screen.OnTimer();
    EXPECT_FALSE(screen.moving);
    clock.now += 1;
    double factor = NextFlickFactor();
    PieceTable expected = Board;
    screen.OnTimer();
    ASSERT_TRUE(screen.moving);
    EXPECT_FALSE(screen.wheelCharging);
    // The tick flicked and then ran its ten steps of motion.
    double speed = 240 / static_cast<double>(30 + 50) * 0.2 * factor;
    Velocity v = FlickVelocity(expected[4].aim, speed);
    expected[4].vx = v.vx;
    expected[4].vy = v.vy;
    expected[4].selected = 0;
    std::int32_t falls = 0;
    for (int step = 0; step < kStepsPerTick; ++step)
        StepPhysics(expected, falls);
    EXPECT_EQ(std::memcmp(&expected, &Board, sizeof expected), 0);
}

TEST_F(ScreenPlayTest, BackwardFirstNotchOrNoSelectionDoesNothing) {
    // A backward first notch starts no charge; a wheel with nothing selected neither charges
    // nor sounds, whatever follows.
    Select(screen, 2, 0);
    screen.OnMouseWheel(-120);
    EXPECT_FALSE(screen.wheelCharging);
    clock.now += 500;
    screen.OnTimer();
    EXPECT_FALSE(screen.moving);
    EXPECT_EQ(charge.plays, 0);

    ScreenPlay2.NewGame();
    FinishSwing(screen);
    for (int notch = 0; notch < 7; ++notch)
        screen.OnMouseWheel(120);
    clock.now += 500;
    screen.OnTimer();
    EXPECT_FALSE(screen.wheelCharging);
    EXPECT_FALSE(screen.moving);
    EXPECT_EQ(charge.plays, 0);
}

TEST_F(ScreenPlayTest, HighResolutionStepsFlickLikeAnOrdinaryWheel) {
    // Fifteen-eighths steps, eight to a notch, charge and flick exactly as whole notches do:
    // the first notch completes at the eighth step, the seventh at the fifty-sixth.
    Select(screen, 6, 0);
    for (int step = 1; step <= 7; ++step)
        screen.OnMouseWheel(15);
    EXPECT_FALSE(screen.wheelCharging);
    EXPECT_EQ(charge.plays, 0);
    screen.OnMouseWheel(15);
    EXPECT_TRUE(screen.wheelCharging);
    EXPECT_EQ(charge.plays, 1);
    for (int notch = 1; notch <= 6; ++notch) {
        clock.now += 10;
        for (int step = 0; step < 8; ++step)
            screen.OnMouseWheel(15);
    }
    ASSERT_TRUE(screen.moving);
    EXPECT_EQ(screen.wheelSum, 840);
    EXPECT_EQ(charge.plays, 1);
}

TEST_F(ScreenPlayTest, SlowHighResolutionStepsKeepTheChargeAliveBetweenNotches) {
    // A touchpad that takes 60 ms to gather each notch, with the game's ticks running: every
    // small step counts as wheel activity, so no tick flicks while the steps keep coming, and
    // the seventh notch flicks with all seven.
    Select(screen, 6, 0);
    for (int step = 1; step <= 56; ++step) {
        screen.OnMouseWheel(15);
        if (screen.moving) break;
        clock.now += 7;
        if (step % 7 == 0) screen.OnTimer();  // a tick about every 50 ms
        ASSERT_FALSE(screen.moving) << "flicked by a tick after step " << step;
    }
    ASSERT_TRUE(screen.moving);
    EXPECT_EQ(screen.wheelSum, 840);
    EXPECT_EQ(charge.plays, 1);
}

TEST_F(ScreenPlayTest, SidewaysScrollsAndStraySmallStepsMakeNoNotch) {
    // Zero steps (a horizontal scroll) count for nothing; a part of a notch followed by a
    // long rest is forgotten, so a later slight touch does not start a charge.
    Select(screen, 6, 0);
    for (int step = 0; step < 100; ++step)
        screen.OnMouseWheel(0);
    screen.OnMouseWheel(100);
    clock.now += 500;
    screen.OnMouseWheel(30);
    EXPECT_FALSE(screen.wheelCharging);
    EXPECT_EQ(charge.plays, 0);
}

TEST_F(ScreenPlayTest, WithoutRotateBoardThePassedTurnLeavesTheCamera) {
    // ROTATE BOARD off: the turn passes to White and the view stays where Red left it.
    RotateBoard = false;
    Select(screen, 0, 0);
    Camera = {30, 40};
    FlickAtSpeed(screen, 0.3);
    TickToRest(screen);
    EXPECT_EQ(screen.sideInControl, kWhite);
    EXPECT_FALSE(screen.IsSwinging());
    EXPECT_EQ(Camera.azimuth, 30);
    EXPECT_EQ(Camera.elevation, 40);
}

TEST_F(ScreenPlayTest, FlickRunsToRestIsJudgedAndTheTurnPasses) {
    // A flick that knocks nothing off runs to rest within the ticks, is judged, passes the
    // turn to White and swings the camera to White's view with a new elevation.
    Select(screen, 0, 0);
    FlickAtSpeed(screen, 0.3);
    int ticks = TickToRest(screen);
    EXPECT_LT(ticks, 40);
    EXPECT_FALSE(screen.moving);
    EXPECT_EQ(screen.match.sideToMove, kWhite);
    EXPECT_EQ(screen.sideInControl, kWhite);
    EXPECT_EQ(screen.match.gameScore[kRed], 0);
    EXPECT_DOUBLE_EQ(screen.viewAzimuth[kRed], 0);
    ASSERT_TRUE(screen.IsSwinging());
    EXPECT_EQ(screen.swingTargetAzimuth, 180);
    EXPECT_GE(screen.swingTargetElevation, 50);
    EXPECT_LE(screen.swingTargetElevation, 70);
    FinishSwing(screen);
    EXPECT_DOUBLE_EQ(Camera.azimuth, 180);
    EXPECT_EQ(fall.plays, 0);
}

TEST_F(ScreenPlayTest, MoveThatNeverRestsEndsAtTheStepLimitAndIsJudged) {
    // A table that would never rest (a piece with a NaN speed) stops where it stands after
    // the step limit, and the move is judged: the turn passes.
    Select(screen, 0, 0);
    FlickAtSpeed(screen, 0.3);
    Board[15].vx = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(TickToRest(screen, kMoveStepLimit), kMoveStepLimit / kStepsPerTick);
    EXPECT_FALSE(screen.moving);
    EXPECT_EQ(Board[15].vx, 0);
    EXPECT_EQ(screen.match.sideToMove, kWhite);
}

TEST_F(ScreenPlayTest, KnockingOffAnEnemyKeepsControlAndTheCamera) {
    // Red knocks a White piece off without losing one: Red flicks again, no swing, the fall
    // sound plays once, and the move scores 1 x (row + 1).
    KnockOffAtTheFarEdge(screen);
    EXPECT_EQ(screen.sideInControl, kRed);
    EXPECT_FALSE(screen.IsSwinging());
    EXPECT_EQ(fall.plays, 1);
    EXPECT_EQ(screen.match.gameScore[kRed], 1);
}

TEST_F(ScreenPlayTest, WonBattleSwitchesToTheResultWithTheNextBattleBehindIt) {
    // Knocking off White's last piece shows "Red army won the battle" and returns here; the
    // next battle is already set: Red two rows up after a flawless win, Red first, eight a
    // side; the tick that switched queued no picture of the play screen.
    ArrangeLastWhiteBeforeRed(screen);
    Select(screen, 3, 0);
    FlickAtSpeed(screen, 1.2);
    TickToRest(screen);
    WaitForQuietQueue();
    EXPECT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, 1);
    EXPECT_EQ(ScreenCongr.Points, 4);  // 1 point x row 2 x 2
    EXPECT_EQ(ScreenCongr.ReturnScreen, &screen);
    EXPECT_EQ(screen.match.row[kRed], 2);
    EXPECT_EQ(screen.match.count, (std::array<std::int32_t, 2>{8, 8}));
    EXPECT_EQ(CountAlive(Board, kWhite), 8);
    EXPECT_DOUBLE_EQ(Board[0].y, RowCentre(kRed, 2));
    EXPECT_EQ(screen.match.sideToMove, kRed);
    std::vector<GraphicsCall> frame = LastFrame();
    EXPECT_FALSE(HasOp(frame, "DrawBoard"));
    ASSERT_TRUE(HasOp(frame, "DrawString"));

    ScreenCongr.OnLButtonDown(1, 1);
    EXPECT_EQ(CurrentScreen, &screen);
}

TEST_F(ScreenPlayTest, BothLastPiecesFallingReplaysTheBattle) {
    // When the last pieces of both armies fall in one move, "No winner" is shown and the
    // battle starts again on the same rows with White, who did not make the move, first.
    ArrangeLastWhiteBeforeRed(screen);
    for (int k = 0; k < kArmySize; ++k)
        Board[k].alive = k == 3 ? 1 : 0;
    screen.match.count[kRed] = screen.match.newCount[kRed] = 1;
    Select(screen, 3, 0);
    FlickAtSpeed(screen, 4);
    TickToRest(screen);
    EXPECT_EQ(CurrentScreen, &ScreenCongr);
    EXPECT_EQ(ScreenCongr.Result, 0);
    EXPECT_EQ(ScreenCongr.Points, 0);
    EXPECT_EQ(screen.match.sideToMove, kWhite);
    EXPECT_EQ(screen.sideInControl, kWhite);
    EXPECT_EQ(screen.match.row, (std::array<std::int32_t, 2>{0, 0}));
}

TEST_F(ScreenPlayTest, SettingsOpenedFromPlayReturnExactlyAsItWas) {
    // Esc opens the settings with this screen to return to; coming back finds the board,
    // camera, selection and rules' record untouched, and both sounds stopped again.
    Select(screen, 5, 33);
    Board[9].alive = 0;
    screen.match.count[kWhite] = 7;
    PieceTable board = Board;
    CameraAngles camera = Camera;
    Match match = screen.match;
    screen.OnBack();
    EXPECT_EQ(CurrentScreen, &ScreenSett);
    EXPECT_EQ(ScreenSett.ReturnScreen, &screen);
    for (int tick = 0; tick < 5; ++tick)
        Tick();
    int stops = charge.stops;
    ScreenSett.OnBack();
    EXPECT_EQ(CurrentScreen, &screen);
    EXPECT_EQ(std::memcmp(&board, &Board, sizeof board), 0);
    EXPECT_EQ(Camera.azimuth, camera.azimuth);
    EXPECT_EQ(Camera.elevation, camera.elevation);
    EXPECT_EQ(screen.selectedPiece, 5);
    EXPECT_EQ(screen.match.count, match.count);
    EXPECT_EQ(screen.match.sideToMove, match.sideToMove);
    EXPECT_EQ(charge.stops, stops + 1);
}

TEST_F(ScreenPlayTest, LeavingMidDragEndsTheDrag) {
    // Esc during a drag keeps the camera where the drag had turned it and ends the drag, so
    // that moves on return do not turn it from the old press.
    screen.OnLButtonDown(300, 200);
    screen.OnMouseDrag(360, 200);
    double azimuth = Camera.azimuth;
    screen.OnBack();
    EXPECT_FALSE(screen.dragging);
    ScreenSett.OnBack();
    screen.OnMouseDrag(0, 0);
    EXPECT_DOUBLE_EQ(Camera.azimuth, azimuth);
}

TEST_F(ScreenPlayTest, ActivateRestartsTheFlagAndStopsBothSounds) {
    // Becoming current hangs the flag afresh in the play wind and stops both players.
    Flag.windX = 0;
    int chargeStops = charge.stops;
    int fallStops = fall.stops;
    screen.Activate();
    EXPECT_DOUBLE_EQ(Flag.windX, 0.02);
    EXPECT_DOUBLE_EQ(Flag.angle, -0.05);
    EXPECT_EQ(charge.stops, chargeStops + 1);
    EXPECT_EQ(fall.stops, fallStops + 1);
}

TEST_F(ScreenPlayTest, CameraSwingTakesTheShorterWay) {
    // From 350 to 10 the swing runs up through 360 and ends exactly on the target, in
    // max(turn) x 0.125 + 2 ticks.
    Camera.azimuth = 350;
    Camera.elevation = 60;
    screen.SwingCamera(10);
    EXPECT_DOUBLE_EQ(screen.swingStartAzimuth, -10);
    double turn = std::max(20.0, std::abs(screen.swingTargetElevation - 60));
    EXPECT_EQ(screen.swingLength, static_cast<int>(turn * 0.125 + 2));
    int length = screen.swingLength;
    Tick();
    EXPECT_GT(Camera.azimuth, -10);
    EXPECT_LT(Camera.azimuth, 10);
    for (int tick = 1; tick < length; ++tick)
        Tick();
    EXPECT_FALSE(screen.IsSwinging());
    EXPECT_DOUBLE_EQ(Camera.azimuth, 10);
}

TEST_F(ScreenPlayTest, RowWeightAndWeightedPointsFollowTheRules) {
    // The screen's scoring slots answer what the rules say for its record.
    screen.match.row = {1, 3};
    screen.match.count = {8, 8};
    screen.match.newCount = {6, 8};
    screen.match.lastFlickedPiece = 2;
    EXPECT_EQ(screen.RowWeight(kRed), 4);
    EXPECT_EQ(screen.MovePoints(kRed), ::MovePoints(screen.match, Board, kRed));
    EXPECT_EQ(screen.MovePoints(kRed), 4);
    EXPECT_EQ(screen.WeightedMovePoints(kRed), 16);
}

}  // namespace
