#pragma once

// The real main window and view over the real OpenGL renderer, for whole flows of play.
// Threads: the test runs on the user-interface thread; the queue's rendering thread draws into
// the renderer and hands each frame to a counting sink (frames are not shown in the view, so
// the test never needs the event loop, and the window's own timer never ticks unasked). Ticks
// are given by calling the current screen's OnTimer, as the window's timer does.
//
// The view has 1500 x 1000 device pixels whatever the screen's density: on a doubled desktop it
// is 750 x 500 logical units. Positions the tests compute (canvas points, projected pieces) are
// device pixels, as the screens see them; the mouse is sent at the logical point over them.

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
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <thread>
#include <utility>

inline constexpr int kViewWidth = 1500;  // device pixels
inline constexpr int kViewHeight = 1000;
inline constexpr double kPieceTop = 0.032;  // height of a piece's top face, board units

// Counts the frames the renderer finishes.
class CountingSink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels&) override { frames.fetch_add(1); }
    std::atomic<int> frames{0};
};

inline COpenGL& Renderer() {
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
        SizeViewTo(*frame_, LogicalSize(QSize(kViewWidth, kViewHeight)));
        frame_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame_.get()));
        // On a fractional desktop the device size is the logical one rounded back.
        ASSERT_NEAR(ClientWidth, kViewWidth, 1);
        ASSERT_NEAR(ClientHeight, kViewHeight, 1);
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
    /// Device pixels to a logical unit of the screen the window opens on.
    static double Ratio() { return QGuiApplication::primaryScreen()->devicePixelRatio(); }
    static QSize LogicalSize(QSize device) {
        return {static_cast<int>(std::lround(device.width() / Ratio())),
                static_cast<int>(std::lround(device.height() / Ratio()))};
    }
    /// The logical point the mouse is sent to for device pixel `device` (the nearest one: on a
    /// doubled desktop a mouse event lands on an even device pixel).
    static QPoint LogicalPoint(QPoint device) {
        return {static_cast<int>(std::lround(device.x() / Ratio())),
                static_cast<int>(std::lround(device.y() / Ratio()))};
    }

    /// Device pixel of canvas point (u, v): in a 1500 x 1000 view a pixel is 0.001 canvas units.
    static QPoint CanvasPixel(double u, double v) {
        return {static_cast<int>(std::lround(u * 1000)),
                static_cast<int>(std::lround((1 - v) * 1000))};
    }
    /// A left click over device pixel `pixel`.
    void ClickAt(QPoint pixel) {
        QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, LogicalPoint(pixel));
    }
    /// A vertical wheel turn of `delta` over the middle of the view; `inverted` as a touchpad
    /// set to natural scrolling reports it.
    void TurnWheel(int delta, bool inverted = false) {
        QPoint at = LogicalPoint(QPoint(kViewWidth / 2, kViewHeight / 2));
        QWheelEvent wheel(at, View()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, inverted);
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

    /// The device pixel over the top centre of `piece` as the camera sees it now.
    static QPoint PiecePixel(int piece) {
        const double camera[2] = {Camera.azimuth, Camera.elevation};
        Projected p = ProjectBoardPoint(ClientWidth, ClientHeight, camera, Board[piece].x,
                                        Board[piece].y, kPieceTop);
        return {static_cast<int>(std::lround(p.x)),
                ClientHeight - static_cast<int>(std::lround(p.y))};
    }

    /// Clicks `piece` at its projected centre.
    void ClickPiece(int piece) {
        WaitForAFrame();
        ClickAt(PiecePixel(piece));
    }

    /// In a two-player game, with the camera at azimuth 25 and elevation 55, clicks on the drawn
    /// centres of Red piece 5, White piece 12 and Red piece 2: Red's pieces are picked in turn,
    /// the White one is refused.
    void ClickRedWhiteRed() {
        StartTwoPlayers();
        Camera.azimuth = 25;
        Camera.elevation = 55;
        ClickPiece(5);
        EXPECT_EQ(ScreenPlay2.selectedPiece, 5);
        ClickPiece(12);
        EXPECT_EQ(ScreenPlay2.selectedPiece, 5);
        ClickPiece(2);
        EXPECT_EQ(ScreenPlay2.selectedPiece, 2);
        EXPECT_EQ(Board[5].selected, 0);
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

    /// From the main menu, a fresh two-player game (the random numbers from their start on):
    /// Red's piece 3 selected and flicked by 56 touchpad steps of `step` (eighths of a degree,
    /// as reported). Gives the piece's velocity, or 0 if it was not flicked.
    std::pair<double, double> TouchpadFlick(int step, bool inverted) {
        CurrentScreen = &ScreenMain;
        InitBoardAndCamera(Board, Camera);
        SetRandState(1);
        StartTwoPlayers();
        ClickPiece(3);
        if (ScreenPlay2.selectedPiece != 3) return {0, 0};
        for (int i = 0; i < 56; ++i) {
            clock.now += 2;
            TurnWheel(step, inverted);
        }
        if (!ScreenPlay2.moving) return {0, 0};
        return {Board[3].vx, Board[3].vy};
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
