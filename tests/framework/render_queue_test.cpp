// Threads: each test drives the queue from its own thread while the queue's rendering thread
// draws into a RecordingGraphics; the scene tracker is shared and guarded by its mutex.

#include "framework/render_queue.h"

#include "framework/auto_reset_event.h"
#include "framework/scene.h"
#include "tests/fakes/recording_graphics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Long enough for an idle rendering thread to have drawn anything it was going to draw.
constexpr auto kSettle = 40ms;

// Counts how often each numbered scene is destroyed.
class SceneTracker {
public:
    void Destroyed(int id) {
        {
            std::lock_guard lock(mutex_);
            destroyed_.push_back(id);
        }
        changed_.notify_all();
    }
    bool WaitForDestroyed(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, RecordingGraphics::kPatience,
                                 [&] { return destroyed_.size() >= count; });
    }
    std::vector<int> DestroyedSorted() {
        std::lock_guard lock(mutex_);
        std::vector<int> ids = destroyed_;
        std::sort(ids.begin(), ids.end());
        return ids;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<int> destroyed_;
};

// A scene that draws only its number (as a background index) and reports its destruction.
class NumberedScene final : public CScene {
public:
    NumberedScene(int id, SceneTracker& tracker) : id_(id), tracker_(tracker) {}
    ~NumberedScene() override { tracker_.Destroyed(id_); }
    void Draw(CGraphics* graphics) const override { graphics->DrawBackground(id_); }

private:
    int id_;
    SceneTracker& tracker_;
};

std::vector<int> DrawnIds(const RecordingGraphics& graphics) {
    std::vector<int> ids;
    for (const GraphicsCall& call : graphics.Calls()) {
        if (call.op == "DrawBackground") ids.push_back(static_cast<int>(call.numbers[0]));
    }
    return ids;
}

std::vector<int> Range(int first, int last) {
    std::vector<int> ids;
    for (int id = first; id <= last; ++id)
        ids.push_back(id);
    return ids;
}

class RenderQueueTest : public testing::Test {
protected:
    void Queue(int id) { queue_->QueueScene(std::make_unique<NumberedScene>(id, tracker_)); }

    RecordingGraphics graphics_;
    SceneTracker tracker_;
    std::unique_ptr<CRenderQueue> queue_ = std::make_unique<CRenderQueue>(graphics_);
};

TEST_F(RenderQueueTest, FrameIsBeginDrawEndOfTheQueuedScene) {
    // One queued scene gives one frame: BeginFrame with that scene's size, its drawing, EndFrame.
    auto scene = std::make_unique<NumberedScene>(1, tracker_);
    scene->width = 640;
    scene->height = 480;
    queue_->QueueScene(std::move(scene));
    ASSERT_TRUE(graphics_.WaitForFramesEnded(1));
    EXPECT_EQ(graphics_.Calls(),
              (std::vector<GraphicsCall>{{.op = "BeginFrame", .numbers = {640, 480}},
                                         {.op = "DrawBackground", .numbers = {1}},
                                         {.op = "EndFrame"}}));
}

TEST_F(RenderQueueTest, TenScenesDuringAFrameGiveOneFrameOfTheNewest) {
    // Ten scenes queued while a frame is drawn lead to exactly one further frame, showing the
    // tenth; the nine others are deleted undrawn, and so is the scene drawn before them.
    graphics_.HoldNextFrame();
    Queue(0);
    ASSERT_TRUE(graphics_.WaitUntilHeld());
    for (int id = 1; id <= 10; ++id)
        Queue(id);
    graphics_.ReleaseFrame();
    ASSERT_TRUE(tracker_.WaitForDestroyed(10));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(graphics_.FramesEnded(), 2);
    EXPECT_EQ(DrawnIds(graphics_), (std::vector<int>{0, 10}));
    EXPECT_EQ(tracker_.DestroyedSorted(), Range(0, 9));
    queue_.reset();
    EXPECT_EQ(tracker_.DestroyedSorted(), Range(0, 10));
}

TEST_F(RenderQueueTest, DrawnSceneStaysUntilANewerOneIsDrawn) {
    // After its frame the drawn scene is still queued; it goes once a newer scene is drawn,
    // and the newer one then stays.
    Queue(1);
    ASSERT_TRUE(graphics_.WaitForFramesEnded(1));
    std::this_thread::sleep_for(kSettle);
    EXPECT_TRUE(tracker_.DestroyedSorted().empty());
    Queue(2);
    ASSERT_TRUE(tracker_.WaitForDestroyed(1));
    EXPECT_EQ(DrawnIds(graphics_), (std::vector<int>{1, 2}));
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(tracker_.DestroyedSorted(), (std::vector<int>{1}));
}

TEST_F(RenderQueueTest, WakingToAnEmptyQueueDrawsNothing) {
    // A wake-up with nothing queued (a scene that could not be made) draws no frame; the
    // thread still draws the next real scene.
    queue_->QueueScene(nullptr);
    std::this_thread::sleep_for(kSettle);
    EXPECT_TRUE(graphics_.Calls().empty());
    Queue(3);
    ASSERT_TRUE(graphics_.WaitForFramesEnded(1));
    EXPECT_EQ(DrawnIds(graphics_), (std::vector<int>{3}));
}

TEST_F(RenderQueueTest, EndWaitsForTheFrameAndDeletesEveryQueuedScene) {
    // Ending the queue mid-frame lets that frame finish (the context is never abandoned),
    // draws nothing more, and deletes every queued scene exactly once.
    graphics_.HoldNextFrame();
    Queue(1);
    ASSERT_TRUE(graphics_.WaitUntilHeld());
    Queue(2);
    Queue(3);
    std::atomic<bool> ended{false};
    std::thread ender([&] {
        queue_.reset();
        ended = true;
    });
    std::this_thread::sleep_for(kSettle);
    EXPECT_FALSE(ended.load());
    EXPECT_EQ(graphics_.FramesEnded(), 0);
    graphics_.ReleaseFrame();
    ender.join();
    EXPECT_EQ(graphics_.FramesEnded(), 1);
    EXPECT_EQ(DrawnIds(graphics_), (std::vector<int>{1}));
    EXPECT_EQ(tracker_.DestroyedSorted(), Range(1, 3));
}

TEST_F(RenderQueueTest, EndWithNothingQueuedIsClean) {
    // A queue that never received a scene stops at once and draws nothing.
    queue_.reset();
    EXPECT_TRUE(graphics_.Calls().empty());
}

TEST_F(RenderQueueTest, PickWaitsForTheFrameBeingDrawn) {
    // A pick takes the render lock: it cannot run inside a frame, and its answer and
    // arguments pass through unchanged.
    PieceTable pieces{};
    pieces[5].x = 0.25;
    const double camera[2] = {30, 65};
    graphics_.SetPickResult(5);
    graphics_.HoldNextFrame();
    Queue(1);
    ASSERT_TRUE(graphics_.WaitUntilHeld());
    std::atomic<std::int32_t> picked{-2};
    std::thread picker([&] { picked = queue_->PickLocked(pieces, camera, 120, 80); });
    std::this_thread::sleep_for(kSettle);
    EXPECT_EQ(picked.load(), -2);
    graphics_.ReleaseFrame();
    picker.join();
    EXPECT_EQ(picked.load(), 5);
    std::vector<GraphicsCall> calls = graphics_.Calls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[2].op, "EndFrame");
    EXPECT_EQ(calls[3],
              (GraphicsCall{
                  .op = "PickPiece", .numbers = {30, 65, 120, 80}, .pieceBytes = BytesOf(pieces)}));
}

// A queue of its own for each case of a table, with scenes of a chosen number and width.
struct RepaintBench {
    std::unique_ptr<CScene> Scene(int id, std::int32_t width) {
        auto scene = std::make_unique<NumberedScene>(id, tracker);
        scene->width = width;
        return scene;
    }
    RecordingGraphics graphics;
    SceneTracker tracker;
    CRenderQueue queue{graphics};
};

TEST(RenderQueueRepaint, RepaintIsDrawnOnlyWhenItsPictureChanged) {
    // After a frame of scene 1, a repaint with the same picture draws nothing and takes the
    // drawn scene's place; one with another picture or another size is drawn at once. A
    // scene a screen queues is drawn even when it shows the same, and so is a repaint followed
    // by such a scene; a wake-up without a new scene draws nothing again.
    struct Case {
        const char* what;
        std::vector<std::pair<bool, int>> next;  // (is a repaint, id) queued after the frame
        std::int32_t width;
        int frames;  // frames drawn after the first
    };
    const Case cases[] = {
        {"repaint, same picture", {{true, 1}}, 600, 0},
        {"repaint, other picture", {{true, 2}}, 600, 1},
        {"repaint, other size", {{true, 1}}, 601, 1},
        {"screen's scene, same picture", {{false, 1}}, 600, 1},
        {"repaint then screen's scene", {{true, 1}, {false, 1}}, 600, 1},
        {"screen's scene then repaint", {{false, 1}, {true, 1}}, 600, 0},
    };
    for (const Case& c : cases) {
        RepaintBench bench;
        // The next scenes are queued while scene 1 is drawn, so they arrive together.
        bench.graphics.HoldNextFrame();
        bench.queue.QueueScene(bench.Scene(1, 600));
        ASSERT_TRUE(bench.graphics.WaitUntilHeld());
        for (auto [isRepaint, id] : c.next) {
            if (isRepaint) bench.queue.QueueRepaint(bench.Scene(id, c.width));
            if (!isRepaint) bench.queue.QueueScene(bench.Scene(id, c.width));
        }
        bench.graphics.ReleaseFrame();
        // Whether it is drawn over or stood in for, every scene but the newest goes.
        ASSERT_TRUE(bench.tracker.WaitForDestroyed(c.next.size())) << c.what;
        bench.queue.QueueScene(nullptr);
        std::this_thread::sleep_for(kSettle);
        EXPECT_EQ(bench.graphics.FramesEnded(), 1 + c.frames) << c.what;
        EXPECT_EQ(DrawnIds(bench.graphics).size(), static_cast<std::size_t>(1 + c.frames));
    }
}

TEST(AutoResetEvent, ManySetsReleaseOneWait) {
    // Setting the event three times lets one wait through; the next wait blocks until the
    // event is set again.
    AutoResetEvent event;
    event.Set();
    event.Set();
    event.Set();
    event.Wait();
    std::atomic<bool> released{false};
    std::thread waiter([&] {
        event.Wait();
        released = true;
    });
    std::this_thread::sleep_for(kSettle);
    EXPECT_FALSE(released.load());
    event.Set();
    waiter.join();
    EXPECT_TRUE(released.load());
}

}  // namespace
