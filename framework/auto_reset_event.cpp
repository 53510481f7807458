#include "framework/auto_reset_event.h"

void AutoResetEvent::Set() {
    {
        std::lock_guard lock(mutex_);
        isSet_ = true;
    }
    signalled_.notify_one();
}

void AutoResetEvent::Wait() {
    std::unique_lock lock(mutex_);
    signalled_.wait(lock, [this] { return isSet_; });
    isSet_ = false;
}
