#include "helper_thread.h"

#include <memory>
#include <system_error>

namespace {

std::mutex ProgramHelperLock;
std::unique_ptr<HelperThread> ProgramHelper;  // guarded by ProgramHelperLock

}  // namespace

HelperThread* HelperThread::Get() {
    std::lock_guard lock(ProgramHelperLock);
    if (ProgramHelper == nullptr) {
        try {
            ProgramHelper.reset(new HelperThread());
        } catch (const std::system_error&) {
            // No thread to be had: callers do all their work themselves.
        }
    }
    return ProgramHelper.get();
}

void HelperThread::Stop() {
    std::unique_ptr<HelperThread> helper;
    {
        std::lock_guard lock(ProgramHelperLock);
        helper.swap(ProgramHelper);
    }
    // Destroyed here, outside the lock: its destructor wakes the thread and joins it.
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
