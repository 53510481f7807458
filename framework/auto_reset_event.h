#pragma once

#include <condition_variable>
#include <mutex>

/// An event that lets one waiter through per setting: setting it any number of times while
/// nobody waits releases exactly one later wait, which clears it again. Any thread may set it;
/// one thread waits. The event's own mutex guards its flag.
class AutoResetEvent {
public:
    /// Signals the event; a waiter is released, or the next wait returns at once.
    void Set();
    /// Blocks until the event is signalled, then clears it.
    void Wait();

private:
    std::mutex mutex_;
    std::condition_variable signalled_;
    bool isSet_ = false;
};
