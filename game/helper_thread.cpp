#include "helper_thread.h"

#include <memory>
#include <system_error>

HelperThread* HelperThread::Get() {
    static std::unique_ptr<HelperThread> helper = []() -> std::unique_ptr<HelperThread> {
        try {
            return std::unique_ptr<HelperThread>(new HelperThread());
        } catch (const std::system_error&) {
            return nullptr;  // no thread to be had: callers do all their work themselves
        }
    }();
    return helper.get();
}

HelperThread::HelperThread() : thread_(&HelperThread::Run, this) {}

HelperThread::~HelperThread() {
    {
        std::lock_guard lock(mutex_);
        isStopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

bool HelperThread::Offer(const Work& work) {
    {
        std::lock_guard lock(mutex_);
        if (offered_ || running_) return false;
        offered_ = &work;
    }
    wake_.notify_one();
    return true;
}

void HelperThread::Withdraw(const Work& work) {
    std::unique_lock lock(mutex_);
    if (offered_ == &work) offered_ = nullptr;
    finished_.wait(lock, [&] { return running_ != &work; });
}

void HelperThread::Run() {
    std::unique_lock lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return offered_ || isStopping_; });
        if (isStopping_) return;
        const Work* work = running_ = offered_;
        offered_ = nullptr;
        lock.unlock();
        work->run(work->context);
        lock.lock();
        running_ = nullptr;
        finished_.notify_all();
    }
}
