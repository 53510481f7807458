#pragma once

#include <atomic>
#include <memory>
#include <thread>

/// The sound thread: it watches every play of every player, releases each play that has ended or
/// was stopped, and calls its player's `OnPlayDone`; and it keeps the music's queue filled.
///
/// Threads: built and destroyed on the user-interface thread; `Run` is the sound thread itself,
/// raised to the highest priority the system grants (ordinary priority if it grants none).
/// Locks: the thread takes the output's locks (see sound_output.h); `stopRequested_` is atomic.
/// Ownership: the object owns the thread; destruction asks it to stop and joins it.

class SoundOutput;

class SoundThread {
public:
    /// Starts the sound thread. On a machine without an audio device it idles until stopped.
    SoundThread();
    SoundThread(const SoundThread&) = delete;
    SoundThread& operator=(const SoundThread&) = delete;
    /// Asks the thread to stop and waits for it: any play still going is left to its player.
    ~SoundThread();

private:
    void Run();

    std::shared_ptr<SoundOutput> output_;
    std::atomic<bool> stopRequested_{false};
    std::thread thread_;  ///< last, so that it starts after the fields it reads
};
