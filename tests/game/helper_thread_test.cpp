#include "game/helper_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

/// Work that counts its runs, notes its thread, and can be held running until released.
struct Probe {
    std::atomic<int> runs{0};
    std::atomic<bool> isRunning{false};
    std::atomic<bool> isReleased{true};
    std::thread::id ranOn;

    static void Run(void* context) {
        auto& probe = *static_cast<Probe*>(context);
        probe.ranOn = std::this_thread::get_id();
        probe.isRunning = true;
        while (!probe.isReleased)
            std::this_thread::yield();
        ++probe.runs;
        probe.isRunning = false;
    }
};

}  // namespace

// Work offered to the helper runs on another thread; while it runs, further offers are declined
// (their callers do the work themselves), and Withdraw waits for it to finish.
TEST(HelperThread, RunsOneWorkAtATimeAndWithdrawWaitsForIt) {
    HelperThread* helper = HelperThread::Get();
    ASSERT_NE(helper, nullptr);
    Probe held;
    held.isReleased = false;
    HelperThread::Work work{Probe::Run, &held};
    ASSERT_TRUE(helper->Offer(work));
    while (!held.isRunning)
        std::this_thread::yield();
    Probe other;
    HelperThread::Work otherWork{Probe::Run, &other};
    EXPECT_FALSE(helper->Offer(otherWork));
    std::thread releaser([&held] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        held.isReleased = true;
    });
    helper->Withdraw(work);
    EXPECT_EQ(held.runs, 1);  // Withdraw returned only once the work was done
    EXPECT_NE(held.ranOn, std::this_thread::get_id());
    releaser.join();
    EXPECT_EQ(other.runs, 0);
}

// Once Withdraw has returned, work that the helper had not yet started never runs: offered and
// withdrawn at once, many times, every work ran either wholly before Withdraw returned or never.
TEST(HelperThread, WithdrawnWorkNeverRunsLater) {
    HelperThread* helper = HelperThread::Get();
    ASSERT_NE(helper, nullptr);
    int ranBeforeWithdraw = 0;
    for (int n = 0; n < 2000; ++n) {
        Probe probe;
        HelperThread::Work work{Probe::Run, &probe};
        ASSERT_TRUE(helper->Offer(work));
        helper->Withdraw(work);
        int runs = probe.runs;
        ranBeforeWithdraw += runs;
        std::this_thread::yield();
        ASSERT_EQ(probe.runs, runs) << "the helper ran withdrawn work";
    }
    std::printf("the helper took %d of 2000 offers before they were withdrawn\n",
                ranBeforeWithdraw);
}

namespace {

std::size_t ThreadCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

// A joined thread may stay listed for a moment while the kernel finishes its exit.
std::size_t ThreadCountSettledTo(std::size_t expected) {
    std::size_t count = ThreadCount();
    for (int attempt = 0; attempt < 50 && count != expected; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        count = ThreadCount();
    }
    return count;
}

}  // namespace

// The program's end stops the helper and joins its thread; should work be offered after all,
// a new helper takes it.
TEST(HelperThread, StopJoinsItsThreadAndALaterGetStartsAnother) {
    ASSERT_NE(HelperThread::Get(), nullptr);
    const std::size_t withHelper = ThreadCount();
    HelperThread::Stop();
    EXPECT_EQ(ThreadCountSettledTo(withHelper - 1), withHelper - 1);
    HelperThread::Stop();  // nothing left to stop

    HelperThread* again = HelperThread::Get();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(ThreadCount(), withHelper);
    Probe probe;
    HelperThread::Work work{Probe::Run, &probe};
    ASSERT_TRUE(again->Offer(work));
    for (int wait = 0; wait < 5000 && probe.runs == 0; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    again->Withdraw(work);
    EXPECT_EQ(probe.runs, 1);
    EXPECT_NE(probe.ranOn, std::this_thread::get_id());
}
