#include "sound/sound_thread.h"

#include "sound/sound_output.h"

#include <chrono>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

/// How often plays are checked for their end while some play is going. A finished play holds
/// one OpenAL source until then, nothing audible.
constexpr std::chrono::milliseconds kPollPeriod{5};
/// How often the music's queue is topped up while it plays: well within the queue's length.
constexpr std::chrono::milliseconds kMusicPeriod{50};

/// The strongest nice value; weaker ones are tried in turn when it is refused.
constexpr int kHighestNicePriority = -20;

/// Raises the calling thread to the highest priority the system grants it; silently keeps the
/// ordinary priority when every raise is refused. (Local to the sound thread: the program's
/// own RaiseCurrentThreadPriority, for the other threads, lives in framework/.)
void RaiseSoundThreadPriority() {
    // Real-time scheduling needs a privilege most users lack; a lower nice value may be allowed
    // by the resource limits instead. Neither refusal matters to the game.
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0) return;
    for (int nice = kHighestNicePriority; nice < 0; ++nice) {
        // On Linux a thread id given to setpriority changes that thread only.
        if (setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice) == 0) return;
    }
}

}  // namespace

SoundThread::SoundThread() : output_(SoundOutput::Acquire()), thread_([this] { Run(); }) {}

SoundThread::~SoundThread() {
    stopRequested_ = true;
    output_->WakeSoundThread();
    thread_.join();
}

void SoundThread::Run() {
    RaiseSoundThreadPriority();
    while (true) {
        // Taken before looking, so that a play started after the look still wakes the wait.
        std::uint64_t seen = output_->WakeCount();
        bool anyGoing = output_->ReleaseEndedPlays();
        bool musicGoing = output_->FeedMusic();
        if (stopRequested_) return;
        if (anyGoing) {
            output_->WaitForWake(seen, kPollPeriod);
        } else if (musicGoing) {
            output_->WaitForWake(seen, kMusicPeriod);
        } else {
            output_->WaitForWake(seen);
        }
    }
}
