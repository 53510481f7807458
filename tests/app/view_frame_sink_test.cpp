// Frames from the renderer reach the view as images the right way up, from the rendering
// thread, and stop reaching it once it is detached.

#include "app/view_frame_sink.h"

#include "tests/app/window_fixture.h"

#include <QTest>

#include <cstdint>
#include <thread>
#include <vector>

namespace {

// A 3 x 2 frame stored bottom row first, as OpenGL reads it: the top row is red, the bottom
// row blue.
struct BottomUpFrame {
    std::vector<std::uint32_t> words{0xff0000ffu, 0xff0000ffu, 0xff0000ffu,
                                     0xffff0000u, 0xffff0000u, 0xffff0000u};
    FramePixels Pixels() const {
        FramePixels frame;
        frame.width = 3;
        frame.height = 2;
        frame.rowStride = -3 * 4;
        frame.topRow = reinterpret_cast<const std::uint8_t*>(words.data() + 3);
        return frame;
    }
};

TEST(ViewFrameSink, BottomUpRowsBecomeATopDownImage) {
    // A negative stride is followed from the top row down.
    BottomUpFrame frame;
    QImage image = CViewFrameSink::ImageOf(frame.Pixels());
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), 0xffff0000u);
    EXPECT_EQ(image.pixel(2, 1), 0xff0000ffu);
}

TEST(ViewFrameSink, EmptyFrameGivesNoImage) {
    // A frame without pixels is skipped rather than read.
    FramePixels empty;
    EXPECT_TRUE(CViewFrameSink::ImageOf(empty).isNull());
    empty.width = 5;
    empty.height = 5;
    EXPECT_TRUE(CViewFrameSink::ImageOf(empty).isNull());
}

class ViewFrameSinkOnWindow : public WindowTest {};

TEST_F(ViewFrameSinkOnWindow, FramesFromTheRenderingThreadReachTheViewUntilDetached) {
    // Presented on another thread, the frame appears in the view; after detaching, frames are
    // dropped.
    CViewFrameSink sink;
    sink.Attach(View());
    BottomUpFrame frame;
    std::thread([&] { sink.PresentFrame(frame.Pixels()); }).join();
    QTest::qWait(20);
    ASSERT_EQ(View()->Frame().size(), QSize(3, 2));
    EXPECT_EQ(View()->Frame().pixel(0, 0), 0xffff0000u);

    sink.Attach(nullptr);
    frame.words.assign(6, 0xff00ff00u);
    std::thread([&] { sink.PresentFrame(frame.Pixels()); }).join();
    QTest::qWait(20);
    EXPECT_EQ(View()->Frame().pixel(0, 0), 0xffff0000u);
}

TEST_F(ViewFrameSinkOnWindow, SmallFrameFillsTheBottomLeftAndTheRestIsBlack) {
    // A frame smaller than the view is its bottom-left part; the rest of the view is black.
    QImage small(100, 50, QImage::Format_RGB32);
    small.fill(QColor(200, 100, 50));
    View()->ShowFrame(small);
    QImage shown = View()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(10, kViewHeight - 10), QColor(200, 100, 50));
    EXPECT_EQ(shown.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(shown.pixelColor(kViewWidth - 10, kViewHeight - 10), QColor(Qt::black));
}

}  // namespace
