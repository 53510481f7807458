#pragma once

// Threads: a ChildProcess is used from the test thread; one reader thread per child collects
// its standard output into lines, guarded by the child's mutex.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <thread>
#include <vector>

/// A program run as a child process whose standard output is read line by line, each line
/// stamped with the time it arrived. Killed (SIGKILL) and reaped when destroyed.
class ChildProcess {
public:
    /// Starts `program` with `args`; `env` entries ("NAME=value") are added to this
    /// process's environment.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::vector<std::string>& env = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    struct Line {
        std::string text;
        std::chrono::steady_clock::time_point arrived;
    };

    /// The first line starting with `prefix` at or after line `from`, waiting up to `timeout`.
    std::optional<Line> WaitFor(const std::string& prefix, std::chrono::milliseconds timeout,
                                std::size_t from = 0);
    /// True once at least `count` lines start with `prefix`, waiting up to `timeout`.
    bool WaitForCount(const std::string& prefix, std::size_t count,
                      std::chrono::milliseconds timeout);
    /// Waits up to `timeout` for the child to exit; its exit status, or nothing.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);
    /// Kills the child at once, as a crash or a pulled plug would.
    void Kill();
    /// Every line read so far.
    std::vector<Line> Lines();
    /// The lines read so far that start with `prefix`, without their arrival times.
    std::vector<std::string> LinesStartingWith(const std::string& prefix);

private:
    void ReadOutput(int fd);

    pid_t pid_ = -1;
    std::optional<int> status_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Line> lines_;
    bool closed_ = false;
    std::thread reader_;
};
