#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

/// A second thread kept for the whole run, on which ChooseShot plays a share of its trials.
///
/// Threads: any thread may offer work and withdraw it; the work runs on the helper thread. A
/// thread that offered work must withdraw it before the work's data goes away: Withdraw waits
/// while the helper runs it and makes sure that the helper never starts it afterwards. The
/// helper takes one piece of work at a time; an offer made while it is taken is declined, and
/// the caller then does all the work itself. Once its work is done the helper sleeps on a
/// condition variable, costing nothing, until the next offer or the end of the program.
class HelperThread {
public:
    /// Work for the helper: `run(context)`.
    struct Work {
        void (*run)(void* context);
        void* context;
    };

    /// The program's helper, started on first use (again after Stop); nullptr when no thread
    /// can be started.
    static HelperThread* Get();

    /// Ends the program's helper, if it runs, and joins its thread, so that no thread is left
    /// once the program is done. Called by the one thread that offers work, while none is
    /// offered; a helper that Get returned before must not be used afterwards.
    static void Stop();

    /// Hands `work` to the helper unless it already has work; true if it was taken.
    bool Offer(const Work& work);

    /// Returns once the helper is not running `work` and never will: at once if it has not
    /// started it (it is withdrawn), or when it has finished it.
    void Withdraw(const Work& work);

    ~HelperThread();

private:
    HelperThread();
    void Run();

    std::mutex mutex_;
    std::condition_variable wake_;      // an offer, or the end of the program
    std::condition_variable finished_;  // the helper put its work down
    const Work* offered_ = nullptr;     // offered, not yet started
    const Work* running_ = nullptr;
    bool isStopping_ = false;
    std::thread thread_;  // last: started once everything above is set up
};
