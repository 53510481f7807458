// The game on a doubled desktop (this program runs with QT_SCALE_FACTOR=2): the view of 750 x
// 500 logical units is drawn at its 1500 x 1000 device pixels and shown one to one, the mouse
// lands on the device pixel under it, and the stored size stays logical.

#include "app/view_frame_sink.h"
#include "tests/play/play_window_fixture.h"

#include <QImage>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class HighDensityWindowTest : public PlayWindowTest {
protected:
    void SetUp() override {
        ASSERT_EQ(Ratio(), 2) << "run with QT_SCALE_FACTOR=2";
        PlayWindowTest::SetUp();
    }
    void TearDown() override {
        // No frame may reach the view once it goes; the sink itself outlives the rendering
        // thread, which the base class stops.
        viewSink_.Attach(nullptr);
        PlayWindowTest::TearDown();
    }

    /// Shows the renderer's frames in the view from now on.
    void ShowFramesInTheView() {
        viewSink_.Attach(static_cast<CChildView*>(View()));
        Renderer().SetFrameSink(&viewSink_);
    }

private:
    CViewFrameSink viewSink_;
};

TEST_F(HighDensityWindowTest, TheViewIsDrawnAndShownAtItsDevicePixels) {
    // The screens learn the device size, the stored size is the logical one, the frames come
    // at device size, and the view shows every one of their pixels unscaled.
    EXPECT_EQ(View()->size(), QSize(750, 500));
    EXPECT_EQ(ReadSetting("cx", 0), 750);
    EXPECT_EQ(ReadSetting("cy", 0), 500);
    ShowFramesInTheView();
    StartTwoPlayers();
    const CChildView& view = *static_cast<CChildView*>(View());
    bool shown = QTest::qWaitFor([&] { return !view.Frame().isNull(); }, 10000);
    QImage seen = View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage frame = view.Frame().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(shown);
    EXPECT_EQ(frame.size(), QSize(kViewWidth, kViewHeight));
    EXPECT_EQ(seen.size(), QSize(kViewWidth, kViewHeight));
    seen.setDevicePixelRatio(1);
    EXPECT_TRUE(seen == frame) << "the view does not show the frame one to one";
}

TEST_F(HighDensityWindowTest, AClickOnAPiecesCentreSelectsIt) {
    // The pieces' centres as drawn, in device pixels, clicked at their logical positions.
    ClickRedWhiteRed();
}

TEST_F(HighDensityWindowTest, DraggingAcrossHalfTheViewTurnsTheCameraByNinetyDegrees) {
    // A whole view's width turns by 180 degrees, measured in device pixels on both sides.
    StartTwoPlayers();
    Camera.azimuth = 10;
    Camera.elevation = 40;
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 400));
    QTest::mouseMove(View(), QPoint(475, 400));
    EXPECT_DOUBLE_EQ(Camera.azimuth, 100);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, QPoint(475, 400));
    EXPECT_DOUBLE_EQ(Camera.azimuth, 100);
    EXPECT_DOUBLE_EQ(Camera.elevation, 40);
}

}  // namespace
