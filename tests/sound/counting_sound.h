#pragma once

#include "sound/sound.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <span>
#include <type_traits>

// A player made by a test may be let go through a CSound pointer.
static_assert(std::has_virtual_destructor_v<CSound>);

/// A player that counts the sound thread's notices of its ended plays, so tests can wait for them.
class CountingSound : public CSound {
public:
    explicit CountingSound(std::span<const unsigned char> wave) : CSound(wave) {}

    void OnPlayDone() override {
        CSound::OnPlayDone();
        {
            std::scoped_lock lock(mutex);
            ++done;
        }
        changed.notify_all();
    }

    /// Waits until `count` plays have been reported done; false if `timeout` passed first.
    bool WaitForDone(int count, std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return done >= count; });
    }

    /// Plays reported done so far.
    int DoneCount() {
        std::scoped_lock lock(mutex);
        return done;
    }

private:
    std::mutex mutex;
    std::condition_variable changed;
    int done = 0;
};
