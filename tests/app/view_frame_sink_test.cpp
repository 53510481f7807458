// Frames from the renderer reach the view as images the right way up, from the rendering
// thread, and stop reaching it once it is detached.

#include "app/view_frame_sink.h"

#include "app/frame_image_pool.h"
#include "tests/app/window_fixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
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

TEST(FrameImagePool, BufferComesBackOnceTheLastImageOverItGoes) {
    // An image's buffer returns to the pool when its last copy goes, on whatever thread, and
    // is used again for an image of the same size; one of another size is not kept; images
    // outliving the pool free their buffer themselves.
    auto pool = std::make_shared<FrameImagePool>();
    QImage first = pool->Image(30, 20);
    ASSERT_EQ(first.size(), QSize(30, 20));
    EXPECT_EQ(first.bytesPerLine(), 30 * 4);
    const uchar* memory = first.constBits();
    QImage copy = first;
    first = QImage();
    EXPECT_EQ(pool->FreeCount(), 0u);  // the copy still shows it
    std::thread([&] { copy = QImage(); }).join();
    EXPECT_EQ(pool->FreeCount(), 1u);
    QImage again = pool->Image(30, 20);
    EXPECT_EQ(again.constBits(), memory);
    again = QImage();
    QImage wider = pool->Image(31, 20);
    EXPECT_EQ(pool->FreeCount(), 0u);
    EXPECT_TRUE(pool->Image(0, 20).isNull());
    std::vector<QImage> many(FrameImagePool::kKept + 2, QImage());
    for (QImage& image : many)
        image = pool->Image(8, 8);
    many.clear();
    EXPECT_EQ(pool->FreeCount(), FrameImagePool::kKept);
    pool.reset();
    wider.fill(Qt::red);  // still its own memory
    EXPECT_EQ(wider.pixel(30, 19), QColor(Qt::red).rgb());
}

class ViewFrameSinkOnWindow : public WindowTest {};

TEST_F(ViewFrameSinkOnWindow, FrameReadIntoLentMemoryIsShownWithoutACopy) {
    // A frame read into the memory the sink lends is shown from that very memory; while it is
    // shown the next frame gets other memory, and once replaced its memory is lent again.
    CViewFrameSink sink;
    sink.Attach(View());
    auto present = [&](std::uint32_t word) {
        const std::uint8_t* lent = nullptr;
        std::thread([&] {
            const FrameMemory memory = sink.LendFrameMemory(4, 3);
            ASSERT_NE(memory.topRow, nullptr);
            for (int y = 0; y < 3; ++y) {
                for (int x = 0; x < 4; ++x)
                    std::memcpy(memory.topRow + y * memory.rowStride + x * 4, &word, 4);
            }
            FramePixels frame;
            frame.topRow = memory.topRow;
            frame.rowStride = memory.rowStride;
            frame.width = 4;
            frame.height = 3;
            sink.PresentFrame(frame);
            lent = memory.topRow;
        }).join();
        QTest::qWait(20);
        return lent;
    };
    const std::uint8_t* first = present(0xff102030u);
    EXPECT_EQ(View()->Frame().constBits(), first);
    EXPECT_EQ(View()->Frame().pixel(3, 2), 0xff102030u);
    const std::uint8_t* second = present(0xff405060u);
    EXPECT_NE(second, first);
    EXPECT_EQ(View()->Frame().pixel(0, 0), 0xff405060u);
    EXPECT_EQ(present(0xff708090u), first);
    EXPECT_EQ(View()->Frame().pixel(1, 1), 0xff708090u);
    sink.Attach(nullptr);
}

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

TEST_F(ViewFrameSinkOnWindow, OnlyTheChangedPartIsPaintedAnew) {
    // A frame naming the part that changed has only that part painted anew: outside it the
    // window keeps what it showed. After a frame that did not reach this view, the whole frame
    // is painted.
    CViewFrameSink sink;
    sink.Attach(View());
    auto present = [&](QRgb colour, std::optional<FrameRect> changed) {
        std::vector<std::uint32_t> words(std::size_t{kViewWidth} * kViewHeight, colour);
        std::thread([&] {
            FramePixels frame;
            frame.topRow = reinterpret_cast<const std::uint8_t*>(words.data());
            frame.rowStride = kViewWidth * 4;
            frame.width = kViewWidth;
            frame.height = kViewHeight;
            frame.changed = changed;
            sink.PresentFrame(frame);
        }).join();
        QTest::qWait(50);
    };
    // What the window shows at a view pixel (the frame fills the view).
    auto shown = [&](int x, int y) {
        const QPoint at = View()->mapTo(&Frame(), QPoint(x, y));
        return QGuiApplication::primaryScreen()->grabWindow(Frame().winId()).toImage().pixel(at);
    };
    const FrameRect part{100, 200, 50, 40};
    present(0xff00ff00u, std::nullopt);
    EXPECT_EQ(shown(10, 10), 0xff00ff00u);
    present(0xff0000ffu, part);
    EXPECT_EQ(shown(120, 220), 0xff0000ffu);
    EXPECT_EQ(shown(10, 10), 0xff00ff00u);
    sink.Attach(nullptr);
    present(0xffff0000u, std::nullopt);  // never reaches the view
    sink.Attach(View());
    present(0xffffffffu, part);
    EXPECT_EQ(shown(10, 10), 0xffffffffu);
    sink.Attach(nullptr);
}

}  // namespace
