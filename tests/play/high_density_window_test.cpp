// The game on a high-density desktop (this program runs with QT_SCALE_FACTOR 2, 1.25 and 1.5):
// the view of about 1500 x 1000 device pixels is drawn at its device size and shown one to
// one, the mouse lands on the device pixel under it, and the stored size stays logical.

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
        ASSERT_GT(Ratio(), 1) << "run with QT_SCALE_FACTOR above 1";
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
    QSize logical = LogicalSize(QSize(kViewWidth, kViewHeight));
    QSize device(ClientWidth, ClientHeight);
    EXPECT_EQ(View()->size(), logical);
    EXPECT_EQ(ReadSetting("cx", 0), logical.width());
    EXPECT_EQ(ReadSetting("cy", 0), logical.height());
    ShowFramesInTheView();
    StartTwoPlayers();
    const CChildView& view = *static_cast<CChildView*>(View());
    bool shown = QTest::qWaitFor([&] { return !view.Frame().isNull(); }, 10000);
    QImage seen = View()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QImage frame = view.Frame().convertToFormat(QImage::Format_RGB32);
    ASSERT_TRUE(shown);
    EXPECT_EQ(frame.size(), device);
    EXPECT_EQ(seen.size(), device);
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
    QPoint from = LogicalPoint(QPoint(150, 600));
    QPoint to = LogicalPoint(QPoint(900, 600));
    QTest::mousePress(View(), Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(View(), to);
    EXPECT_DOUBLE_EQ(Camera.azimuth, 100);
    QTest::mouseRelease(View(), Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_DOUBLE_EQ(Camera.azimuth, 100);
    EXPECT_DOUBLE_EQ(Camera.elevation, 40);
}

}  // namespace
