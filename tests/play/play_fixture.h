#pragma once

// Threads: the test thread plays; the installed queue's rendering thread draws the scenes into
// RecordingGraphics (see its own note).

#include "framework/program_queue.h"
#include "framework/render_queue.h"
#include "framework/scene.h"
#include "framework/settings_values.h"
#include "framework/screen.h"
#include "game/flag.h"
#include "game/random.h"
#include "screens/screen_congr.h"
#include "screens/screen_main.h"
#include "screens/screen_play.h"
#include "screens/screen_sett.h"
#include "tests/fakes/recording_graphics.h"
#include "tests/setups/board_setups.h"
#include "tests/play/play_fakes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <thread>
#include <vector>

/// Installs a fake clock, counting sounds, a recording message box and capture, and a scene
/// queue over RecordingGraphics (whose PickPiece answers what the test sets); saves and
/// restores every program-wide value the play screens touch.
class PlayTest : public testing::Test {
protected:
    void SetUp() override {
        savedBoard_ = Board;
        savedCamera_ = Camera;
        savedFlag_ = Flag;
        savedRand_ = RandState();
        savedWidth_ = ClientWidth;
        savedHeight_ = ClientHeight;
        // The program fixes the armies' sides at start-up.
        InitBoardAndCamera(Board, Camera);
        ClientWidth = 600;
        ClientHeight = 400;
        SetClock(&clock);
        SetEffectSounds(&charge, &fall);
        SetMessageBox(&messages);
        SetCaptureView(&capture);
        queue_ = std::make_unique<CRenderQueue>(graphics);
        SetProgramQueue(queue_.get());
        CurrentScreen = &ScreenMain;
        MouseSetting = 0.5;
        RotateBoard = true;
    }

    void TearDown() override {
        SetProgramQueue(nullptr);
        queue_.reset();
        SetCaptureView(nullptr);
        SetMessageBox(nullptr);
        SetEffectSounds(nullptr, nullptr);
        SetClock(nullptr);
        CurrentScreen = &ScreenMain;
        ScreenSett.ReturnScreen = nullptr;
        ScreenCongr.ReturnScreen = nullptr;
        Board = savedBoard_;
        Camera = savedCamera_;
        Flag = savedFlag_;
        SetRandState(savedRand_);
        ClientWidth = savedWidth_;
        ClientHeight = savedHeight_;
        MouseSetting = 0.5;
        RotateBoard = true;
    }

    /// Makes `screen` current the way the menu does, then lets its opening swing finish.
    void Enter(CScreenPlay& screen) {
        SwitchScreen(&screen);
        FinishSwing(screen);
    }

    /// Ticks the screen until its camera swing is over.
    void FinishSwing(CScreenPlay& screen) {
        for (int tick = 0; tick < 200 && screen.IsSwinging(); ++tick)
            Tick();
    }

    /// One 50 ms tick of the current screen.
    void Tick() {
        clock.now += 50;
        CurrentScreen->OnTimer();
    }

    /// Ticks until nothing moves or the screen was left; the number of ticks taken.
    int TickToRest(CScreenPlay& screen, int limit = 2000) {
        int ticks = 0;
        while (screen.moving && CurrentScreen == &screen && ticks < limit) {
            Tick();
            ++ticks;
        }
        return ticks;
    }

    /// Selects piece `index` the way a click does, with the camera at `azimuth`.
    void Select(CScreenPlay& screen, int index, double azimuth) {
        Camera.azimuth = azimuth;
        graphics.SetPickResult(index);
        screen.OnLButtonDown(300, 200);
        screen.OnLButtonUp(300, 200);
    }

    /// The speed factor the next flick will draw, leaving the generator as it was.
    static double NextFlickFactor() {
        std::uint32_t state = RandState();
        int r = Rand() % 1000;
        SetRandState(state);
        return 0.75 + 0.25 * r / 500;
    }

    /// Flicks the selected piece at exactly `speed`, whatever its random factor.
    static void FlickAtSpeed(CScreenPlay& screen, double speed) {
        screen.Flick(speed / NextFlickFactor());
    }

    /// Red's piece 3 knocks White's piece 11 off the far edge without losing a piece, and the
    /// move is judged: Red keeps the turn.
    void KnockOffAtTheFarEdge(CScreenPlay& screen);

    /// Waits until the rendering thread has drawn everything queued so far.
    void WaitForQuietQueue() {
        int frames = -1;
        while (graphics.FramesEnded() != frames) {
            frames = graphics.FramesEnded();
            std::this_thread::sleep_for(std::chrono::milliseconds(40));
        }
    }

    /// The calls of the last frame drawn.
    std::vector<GraphicsCall> LastFrame() const {
        std::vector<GraphicsCall> calls = graphics.Calls();
        std::vector<GraphicsCall> frame;
        for (const GraphicsCall& call : calls) {
            if (call.op == "BeginFrame") frame.clear();
            if (call.op != "PickPiece") frame.push_back(call);
        }
        return frame;
    }

    static bool HasOp(const std::vector<GraphicsCall>& calls, const std::string& op) {
        for (const GraphicsCall& call : calls)
            if (call.op == op) return true;
        return false;
    }

    FakeClock clock;
    CountingSound charge;
    CountingSound fall;
    FakeMessageBox messages;
    CountingCapture capture;
    RecordingGraphics graphics;

private:
    std::unique_ptr<CRenderQueue> queue_;
    PieceTable savedBoard_;
    CameraAngles savedCamera_;
    FlagCloth savedFlag_;
    std::uint32_t savedRand_ = 1;
    std::int32_t savedWidth_ = 0;
    std::int32_t savedHeight_ = 0;
};

/// White's piece 11 at the far edge in front of Red's piece 3: a flick of 3 straight ahead at
/// 1.2 knocks 11 off and leaves 3 on the board.
inline void ArrangeRedHitAtTheFarEdge() {
    Board[11].y = 0.95;
    Board[11].x = Board[3].x;
    Board[3].y = 0.83;
}

inline void PlayTest::KnockOffAtTheFarEdge(CScreenPlay& screen) {
    ArrangeRedHitAtTheFarEdge();
    Select(screen, 3, 0);
    FlickAtSpeed(screen, 1.2);
    TickToRest(screen);
    EXPECT_EQ(screen.match.count[kWhite], 7);
    EXPECT_EQ(screen.match.sideToMove, kRed);
}

/// The live board as LeaveLastWhiteBeforeRed leaves it, with the screen's counts to match, as
/// if the other White pieces had been knocked off already.
inline void ArrangeLastWhiteBeforeRed(CScreenPlay& screen) {
    LeaveLastWhiteBeforeRed(Board);
    screen.match.count[kWhite] = screen.match.newCount[kWhite] = 1;
}
