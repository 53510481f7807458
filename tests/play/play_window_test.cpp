// Whole flows of play through the real main window and view on the offscreen platform, with the
// real OpenGL renderer behind the scene queue, so that a click picks what is drawn there.
// Threads: the test runs on the user-interface thread; the queue's rendering thread draws into
// the renderer and hands each frame to a counting sink (frames are not shown in the view, so
// the test never needs the event loop, and the window's own timer never ticks unasked). Ticks
// are given by calling the current screen's OnTimer, as the window's timer does.

#include "app/child_view.h"
#include "app/main_frame.h"
#include "app/start_up.h"
#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "framework/settings_store.h"
#include "game/flag.h"
#include "game/random.h"
#include "graphics/opengl.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_play1.h"
#include "screens/screen_play2.h"
#include "screens/screen_sett.h"
#include "tests/fakes/framework_fakes.h"
#include "tests/graphics/render_support.h"
#include "tests/play/play_fakes.h"
#include "tests/setups/board_setups.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>

namespace {

constexpr int kViewWidth = 1500;
constexpr int kViewHeight = 1000;
constexpr double kPieceTop = 0.032;  // height of a piece's top face, board units

// Counts the frames the renderer finishes.
class CountingSink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels&) override { frames.fetch_add(1); }
    std::atomic<int> frames{0};
};

COpenGL& Renderer() {
    static COpenGL renderer;
    return renderer;
}

class PlayWindowTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Renderer().IsReady());
        InitBoardAndCamera(Board, Camera);
        InitFlag(Flag);
        SetRandState(1);
        ScreenSett.ReturnScreen = nullptr;
        ScreenCongr.ReturnScreen = nullptr;
        CurrentScreen = &ScreenMain;
        Renderer().SetFrameSink(&sink_);
        queue_ = std::make_unique<CRenderQueue>(Renderer());
        SetProgramQueue(queue_.get());
        SetSettingsStore(&store_);
        SetEffectSounds(&charge, &fall);
        SetMessageBox(&messages);
        SetClock(&clock);
        frame_ = std::make_unique<CMainFrame>([](const QUrl&) {});
        SizeViewTo(*frame_, QSize(kViewWidth, kViewHeight));
        frame_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        ASSERT_EQ(ClientWidth, kViewWidth);
        ASSERT_EQ(ClientHeight, kViewHeight);
    }

    void TearDown() override {
        frame_.reset();
        SetProgramQueue(nullptr);
        queue_.reset();
        Renderer().SetFrameSink(nullptr);
        SetClock(nullptr);
        SetMessageBox(nullptr);
        SetEffectSounds(nullptr, nullptr);
        SetSettingsStore(nullptr);
        CurrentScreen = &ScreenMain;
    }

    QWidget* View() const { return frame_->View(); }

    /// View pixel of canvas point (u, v): in a 1500 x 1000 view a pixel is 0.001 canvas units.
    static QPoint CanvasPixel(double u, double v) {
        return {static_cast<int>(std::lround(u * 1000)),
                static_cast<int>(std::lround((1 - v) * 1000))};
    }
    void ClickAt(QPoint pixel) { QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, pixel); }
    void TurnWheel(int delta) {
        QPoint at(750, 500);
        QWheelEvent wheel(at, View()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(View(), &wheel);
    }

    /// One tick, as the window's timer gives it.
    void Tick() {
        clock.now += 50;
        CurrentScreen->OnTimer();
    }
    void FinishSwing(CScreenPlay& screen) {
        for (int tick = 0; tick < 200 && screen.IsSwinging(); ++tick)
            Tick();
    }
    int TickToRest(CScreenPlay& screen) {
        int ticks = 0;
        while (screen.moving && CurrentScreen == &screen && ticks < 2000) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    /// Waits until the renderer has drawn a frame of what is queued now, so that a pick is
    /// made in a view of the present size.
    void WaitForAFrame() {
        int before = sink_.frames.load();
        RedrawScreen(CurrentScreen);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (sink_.frames.load() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        ASSERT_GT(sink_.frames.load(), before);
    }

    /// The view pixel over the top centre of `piece` as the camera sees it now.
    static QPoint PiecePixel(int piece) {
        const double camera[2] = {Camera.azimuth, Camera.elevation};
        Projected p = ProjectBoardPoint(kViewWidth, kViewHeight, camera, Board[piece].x,
                                        Board[piece].y, kPieceTop);
        return {static_cast<int>(std::lround(p.x)),
                kViewHeight - static_cast<int>(std::lround(p.y))};
    }

    /// Clicks `piece` at its projected centre.
    void ClickPiece(int piece) {
        WaitForAFrame();
        ClickAt(PiecePixel(piece));
    }

    /// Seven notches 15 ms apart: power 840 / 140 x 0.2 = 1.2.
    void RollSevenNotches() {
        for (int notch = 0; notch < 7; ++notch) {
            if (notch > 0) clock.now += 15;
            TurnWheel(120);
        }
    }

    /// Starts a mode through its menu item.
    void ChooseMenuItem(double u, double v, CScreenPlay& screen) {
        ClickAt(CanvasPixel(u, v));
        ASSERT_EQ(CurrentScreen, &screen);
        FinishSwing(screen);
    }
    void StartTwoPlayers() { ChooseMenuItem(0.35, 0.55, ScreenPlay2); }
    void StartOnePlayer() { ChooseMenuItem(0.33, 0.655, ScreenPlay1); }

    /// Red's turn ends in a flawless battle win by one flick through the window.
    void WinBattleForRed(CScreenPlay& screen) {
        LeaveLastWhiteBeforeRed(Board);
        screen.match.count[kWhite] = screen.match.newCount[kWhite] = 1;
        Camera.azimuth = 0;
        Camera.elevation = 60;
        ClickPiece(3);
        ASSERT_EQ(screen.selectedPiece, 3);
        RollSevenNotches();
        ASSERT_TRUE(screen.moving);
        TickToRest(screen);
    }

    FakeClock clock;
    CountingSound charge;
    CountingSound fall;
    FakeMessageBox messages;
    std::unique_ptr<CMainFrame> frame_;

private:
    CountingSink sink_;
    std::unique_ptr<CRenderQueue> queue_;
    MemorySettingsStore store_;
};

TEST_F(PlayWindowTest, ClickOnAPiecesProjectedCentreSelectsIt) {
    // Through the menu, the view and the renderer's picking, a click on the centre of a Red
    // piece as drawn selects it and aims it along the camera; a White piece is refused.
    StartTwoPlayers();
    Camera.azimuth = 25;
    Camera.elevation = 55;
    ClickPiece(5);
    EXPECT_EQ(ScreenPlay2.selectedPiece, 5);
    EXPECT_EQ(Board[5].selected, 1);
    EXPECT_DOUBLE_EQ(Board[5].aim, -25);
    ClickPiece(12);
    EXPECT_EQ(ScreenPlay2.selectedPiece, 5);
    ClickPiece(2);
    EXPECT_EQ(ScreenPlay2.selectedPiece, 2);
    EXPECT_EQ(Board[5].selected, 0);
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
