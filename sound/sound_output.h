#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

/// The one audio device of the program, shared by the players and the sound thread.
///
/// Threads: players and the music are built, played, stopped and destroyed on the
/// user-interface thread; the sound thread calls `ReleaseEndedPlays`, `FeedMusic` and
/// `WaitForWake`.
/// Locks: `CallLock` guards every OpenAL call (the library keeps one error state per context) and
/// the play lists of all registered players; the dispatch lock is held by the sound thread while
/// it calls `OnPlayDone` or feeds the music, and by `Unregister` and `SetMusic`, so a player or
/// the music never goes while it is being called.
/// Order: dispatch lock before `CallLock`, never the other way.
/// Ownership: whoever calls `Acquire` shares the output; the device closes when the last holder
/// lets it go, so players and the thread may end in any order.

class CMusic;
class CSound;

class SoundOutput {
public:
    /// The shared output, opened now if nobody holds it. Never null; see `IsOpen`.
    static std::shared_ptr<SoundOutput> Acquire();

    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;
    ~SoundOutput();

    /// False when there is no audio device: every player then stays silent.
    bool IsOpen() const { return context_ != nullptr; }

    /// Guards every OpenAL call and the play lists of the registered players.
    std::mutex& CallLock() { return callLock_; }

    /// Makes `player`'s plays visible to the sound thread. Takes `CallLock`.
    void Register(CSound* player);
    /// Forgets `player`, waiting if the sound thread is calling it; the caller holds no lock.
    void Unregister(CSound* player);

    /// Wakes the sound thread to watch a new play.
    void WakeSoundThread();
    /// Number of wake-ups so far, to be passed to `WaitForWake`.
    std::uint64_t WakeCount();
    /// Sound thread: sleeps until the wake count differs from `seen` or `timeout` passes.
    void WaitForWake(std::uint64_t seen, std::chrono::milliseconds timeout);
    /// Sound thread: sleeps until the wake count differs from `seen`.
    void WaitForWake(std::uint64_t seen);

    /// Sound thread: releases every play that has ended and calls its player's `OnPlayDone`
    /// once per play. True while some play is still going.
    bool ReleaseEndedPlays();

    /// Makes `music` the one the sound thread feeds (null: none), waiting while it feeds.
    void SetMusic(CMusic* music);
    /// Sound thread: feeds the music, if there is one. True while it plays.
    bool FeedMusic();

private:
    SoundOutput();

    void* device_ = nullptr;   ///< the ALCdevice, or none
    void* context_ = nullptr;  ///< the ALCcontext, or none

    std::mutex callLock_;
    std::vector<CSound*> players_;  ///< guarded by callLock_

    std::mutex dispatchLock_;
    std::vector<CSound*>
        ended_;  ///< one entry per ended play; sound thread only, under dispatchLock_
    CMusic* music_ = nullptr;  ///< guarded by dispatchLock_

    std::mutex wakeLock_;
    std::condition_variable wake_;
    std::uint64_t wakeCount_ = 0;  ///< guarded by wakeLock_
};
