// The real renderer behind the scene queue: frames drawn on the rendering thread and picks
// made on this (user-interface) thread share the one context through the render lock.
// Threads: the queue's rendering thread calls the sink; the test thread reads it under its lock.
#include "framework/render_queue.h"
#include "game/flag.h"
#include "screens/scene_main.h"
#include "screens/scene_play.h"
#include "tests/graphics/render_support.h"
#include "tests/setups/board_setups.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace {

constexpr std::int32_t kWidth = 600;
constexpr std::int32_t kHeight = 400;

// Counts frames and keeps one pixel, at canvas (0.15, 0.5), of the last one; safe to read from
// another thread.
class WaitingSink final : public CFrameSink {
public:
    void PresentFrame(const FramePixels& frame) override {
        std::lock_guard lock(mutex_);
        ++frames_;
        sample_ = frame.At(frame.width / 10, frame.height / 2);
        changed_.notify_all();
    }
    /// Waits until more than `count` frames have come; false after two seconds.
    bool WaitBeyond(int count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(2), [&] { return frames_ > count; });
    }
    int Frames() {
        std::lock_guard lock(mutex_);
        return frames_;
    }
    std::uint32_t Sample() {
        std::lock_guard lock(mutex_);
        return sample_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int frames_ = 0;
    std::uint32_t sample_ = 0;
};

}  // namespace

TEST(RenderThread, FramesAndPicksShareTheContextThroughTheRenderLock) {
    // While the rendering thread draws queued scenes, picks on this thread keep finding the
    // right piece, frames keep coming, and the last frame shows the last scene queued.
    InitFlag(Flag);
    ClientWidth = kWidth;
    ClientHeight = kHeight;
    COpenGL renderer(800, 600, EmbeddedPictures());
    ASSERT_TRUE(renderer.IsReady());
    WaitingSink sink;
    renderer.SetFrameSink(&sink);
    CRenderQueue queue(renderer);
    const PieceTable table = OpeningTable();
    const CameraAngles camera{30, 65};
    const double angles[2] = {camera.azimuth, camera.elevation};
    queue.QueueScene(std::make_unique<CScenePlay2>(table, camera, kRed, 0, 0));
    ASSERT_TRUE(sink.WaitBeyond(0));
    for (int round = 0; round < 30; ++round) {
        queue.QueueScene(std::make_unique<CScenePlay2>(table, camera, kRed, round, 0));
        const int piece = round % kPieceCount;
        const Projected p =
            ProjectBoardPoint(kWidth, kHeight, angles, table[piece].x, table[piece].y, 0.032);
        EXPECT_EQ(queue.PickLocked(table, angles, static_cast<std::int32_t>(p.x),
                                   static_cast<std::int32_t>(p.y)),
                  piece);
    }
    const int before = sink.Frames();
    queue.QueueScene(std::make_unique<CSceneMain>());
    ASSERT_TRUE(sink.WaitBeyond(before));
    // A later wake-up may still be drawing the same menu scene: wait for the queue to settle.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const std::uint32_t sample = sink.Sample();
    const Rgb shown{static_cast<int>((sample >> 16) & 0xff), static_cast<int>((sample >> 8) & 0xff),
                    static_cast<int>(sample & 0xff)};
    // The menu picture at canvas (0.15, 0.5), where the board's frames show the clear colour.
    const DecodedPicture menu = DecodeTestPicture(134);
    bool matches = false;
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx)
            matches |= Near(shown, menu.At(102 + dx, 256 + dy), 2);
    }
    EXPECT_TRUE(matches) << shown.r << "," << shown.g << "," << shown.b;
    EXPECT_GT(sink.Frames(), 1);
}
