#include "tests/net/child_process.h"

#include <csignal>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& args,
                           const std::vector<std::string>& env) {
    std::vector<std::string> argv{program};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<std::string> envp;
    for (char** e = environ; *e != nullptr; ++e)
        envp.emplace_back(*e);
    envp.insert(envp.end(), env.begin(), env.end());
    int fds[2];
    if (pipe(fds) != 0) std::abort();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argp = Pointers(argv);
    std::vector<char*> envpp = Pointers(envp);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argp.data(), envpp.data()) != 0) {
        pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    reader_ = std::thread([this, fd = fds[0]] { ReadOutput(fd); });
}

ChildProcess::~ChildProcess() {
    Kill();
    reader_.join();
}

void ChildProcess::ReadOutput(int fd) {
    std::string pending;
    char buffer[4096];
    ssize_t got;
    while ((got = read(fd, buffer, sizeof buffer)) > 0) {
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        std::lock_guard lock(mutex_);
        while ((end = pending.find('\n')) != std::string::npos) {
            lines_.push_back({pending.substr(0, end), std::chrono::steady_clock::now()});
            pending.erase(0, end + 1);
        }
        changed_.notify_all();
    }
    close(fd);
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}

std::optional<ChildProcess::Line> ChildProcess::WaitFor(const std::string& prefix,
                                                        std::chrono::milliseconds timeout,
                                                        std::size_t from) {
    std::unique_lock lock(mutex_);
    std::optional<Line> found;
    changed_.wait_for(lock, timeout, [&] {
        for (std::size_t i = from; i < lines_.size(); ++i) {
            if (lines_[i].text.starts_with(prefix)) {
                found = lines_[i];
                return true;
            }
        }
        return closed_;
    });
    return found;
}

bool ChildProcess::WaitForCount(const std::string& prefix, std::size_t count,
                                std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    auto enough = [&] {
        std::size_t seen = 0;
        for (const Line& line : lines_)
            if (line.text.starts_with(prefix)) ++seen;
        return seen >= count;
    };
    changed_.wait_for(lock, timeout, [&] { return enough() || closed_; });
    return enough();
}

std::optional<int> ChildProcess::WaitExit(std::chrono::milliseconds timeout) {
    if (status_ || pid_ < 0) return status_;
    auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return status_;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

void ChildProcess::Kill() {
    if (pid_ < 0 || status_) return;
    kill(pid_, SIGKILL);
    WaitExit(std::chrono::seconds(10));
}

std::vector<ChildProcess::Line> ChildProcess::Lines() {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::vector<std::string> ChildProcess::LinesStartingWith(const std::string& prefix) {
    std::vector<std::string> texts;
    for (const Line& line : Lines())
        if (line.text.starts_with(prefix)) texts.push_back(line.text);
    return texts;
}
