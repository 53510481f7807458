// The view forwards exactly the events of the dispatch table to the current screen, the timer
// ticks it every 50 ms, paints queue scenes (drawn when their picture changed), and resizes are
// recorded.

#include "app/commands.h"
#include "framework/scene.h"
#include "framework/screen.h"
#include "tests/app/window_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QWindow>

#include <string>
#include <thread>
#include <vector>

namespace {

using Events = std::vector<std::string>;

class ViewDispatch : public WindowTest {
protected:
    ViewDispatch() { CurrentScreen = &screen_; }

    /// Paints the view (showing the recording screen, current since after the window opened)
    /// and lets the event loop run until the repaints stop giving frames.
    void WaitForQuietFrames() {
        View()->repaint();
        int frames = -1;
        while (graphics_.FramesEnded() != frames) {
            frames = graphics_.FramesEnded();
            QTest::qWait(60);
        }
    }

    RecordingScreen screen_;
};

TEST_F(ViewDispatch, LeftPressAndReleaseArriveWithTheirPixels) {
    // A left click reaches OnLButtonDown and OnLButtonUp with the view pixel, origin top-left.
    QTest::mouseClick(View(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 20));
    EXPECT_EQ(screen_.events, (Events{"down 10 20", "up 10 20"}));
}

TEST_F(ViewDispatch, MovesReachTheScreenOnlyWithTheLeftButtonHeld) {
    // Moves with no button, or with only the right button, are not reported; moves with the
    // left button held are drags.
    QTest::mouseMove(View(), QPoint(30, 40));
    QTest::mousePress(View(), Qt::RightButton, Qt::NoModifier, QPoint(30, 40));
    QTest::mouseMove(View(), QPoint(35, 45));
    QTest::mouseRelease(View(), Qt::RightButton, Qt::NoModifier, QPoint(35, 45));
    screen_.events.clear();  // the right press was a back
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 60));
    QTest::mouseMove(View(), QPoint(70, 80));
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(70, 80));
    QTest::mouseMove(View(), QPoint(90, 100));
    EXPECT_EQ(screen_.events, (Events{"down 50 60", "drag 70 80", "up 70 80"}));
}

TEST_F(ViewDispatch, SecondPressOfADoubleClickIsNotReported) {
    // A double click shows the screen press, release, release.
    // Through the window, as the window system delivers two quick clicks.
    QWindow* window = Frame().windowHandle();
    QPoint at = View()->mapTo(&Frame(), QPoint(5, 6));
    QTest::mouseDClick(window, Qt::LeftButton, Qt::NoModifier, at);
    EXPECT_EQ(screen_.events, (Events{"down 5 6", "up 5 6", "up 5 6"}));
}

TEST_F(ViewDispatch, WheelArrivesAsSignedDelta) {
    // A notch forward is +120, a notch back -120; a sideways tilt is not a wheel turn.
    TurnWheel(QPoint(100, 100), 120);
    TurnWheel(QPoint(100, 100), -120);
    QWheelEvent tilt(QPointF(100, 100), View()->mapToGlobal(QPointF(100, 100)), QPoint(),
                     QPoint(120, 0), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View(), &tilt);
    // A touchpad set to natural scrolling reports the same push reversed, and says so.
    QWheelEvent natural(QPointF(100, 100), View()->mapToGlobal(QPointF(100, 100)), QPoint(),
                        QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, true);
    QApplication::sendEvent(View(), &natural);
    EXPECT_EQ(screen_.events, (Events{"wheel 120", "wheel -120", "wheel 120"}));
}

TEST_F(ViewDispatch, HugeWheelAmountIsClampedToSixteenBits) {
    // A wheel sum beyond 16 bits does not wrap around to the other direction.
    TurnWheel(QPoint(100, 100), 40000);
    TurnWheel(QPoint(100, 100), -40000);
    EXPECT_EQ(screen_.events, (Events{"wheel 32767", "wheel -32768"}));
}

TEST_F(ViewDispatch, RightPressAndEscBothMeanBack) {
    // The right button (on press, not on release) and the Esc accelerator both reach OnBack.
    QTest::mousePress(View(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_EQ(screen_.events, (Events{"back"}));
    QTest::mouseRelease(View(), Qt::RightButton, Qt::NoModifier, QPoint(10, 10));
    PressEscape();
    EXPECT_EQ(screen_.events, (Events{"back", "back"}));
    Frame().OnCommand(kCommandBack);
    EXPECT_EQ(screen_.events, (Events{"back", "back", "back"}));
}

TEST_F(ViewDispatch, TimerTicksTheCurrentScreenEveryFiftyMilliseconds) {
    // About twenty ticks a second reach the current screen while the event loop runs.
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(500);
    double seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    EXPECT_GE(screen_.ticks, static_cast<int>(seconds * 20) - 4);
    EXPECT_LE(screen_.ticks, static_cast<int>(seconds * 20) + 2);
}

TEST_F(ViewDispatch, PaintDrawsTheCurrentScreenWhenItsPictureChanged) {
    // A paint queues a scene of the current screen: drawn at once when the picture differs
    // from the last frame, not drawn again when it is the same.
    WaitForQuietFrames();
    int before = graphics_.FramesEnded();
    View()->repaint();
    QTest::qWait(60);
    EXPECT_EQ(graphics_.FramesEnded(), before);
    View()->resize(640, 400);  // the next scene is of the new size
    View()->repaint();
    EXPECT_TRUE(graphics_.WaitForFramesEnded(before + 1));
}
TEST_F(ViewDispatch, ResizeRecordsTheViewSizeEverywhere) {
    // The client size is kept for the screens and written to "cx" and "cy".
    EXPECT_EQ(ClientWidth, kViewWidth);
    EXPECT_EQ(ClientHeight, kViewHeight);
    View()->resize(640, 300);
    EXPECT_EQ(ClientWidth, 640);
    EXPECT_EQ(ClientHeight, 300);
    EXPECT_EQ(store_.Read("cx"), 640);
    EXPECT_EQ(store_.Read("cy"), 300);
    // Moved to another screen, whose density may differ, the view takes its size anew (here
    // of the same density); the stored size is not written again.
    ClientWidth = ClientHeight = 1;
    store_.Write("cx", 1);
    QEvent screenChange(QEvent::ScreenChangeInternal);
    QApplication::sendEvent(View(), &screenChange);
    EXPECT_EQ(ClientWidth, 640);
    EXPECT_EQ(ClientHeight, 300);
    EXPECT_EQ(store_.Read("cx"), 1);
}

TEST_F(ViewDispatch, ShownFrameIsPaintedAndAsksForTheNextScene) {
    // A frame handed in from another thread appears in the view, and showing it queues a new
    // scene (the paint that follows), so a picture that changed meanwhile is drawn next.
    QImage frame(kViewWidth, kViewHeight, QImage::Format_RGB32);
    frame.fill(QColor(10, 200, 30));
    WaitForQuietFrames();
    int before = graphics_.FramesEnded();
    ClientWidth = 700;  // a change the screen's next scene shows
    std::thread renderer([&] { View()->ShowFrameLater(frame); });
    renderer.join();
    QTest::qWait(30);
    EXPECT_EQ(View()->Frame().pixel(5, 5), QColor(10, 200, 30).rgb());
    EXPECT_EQ(View()->grab().toImage().pixel(700, 500), QColor(10, 200, 30).rgb());
    EXPECT_TRUE(graphics_.WaitForFramesEnded(before + 1));
}

}  // namespace
