// Threads: the benchmark starts the game as a child process and waits for it; inside the child
// the game runs as usual (user-interface, rendering and sound threads) until its view shows
// the first frame, and then ends at once.

#include "app/brivel_app.h"
#include "app/child_view.h"
#include "app/main_frame.h"

#include <QTimer>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kChildFlag = "--first-frame-child";

// The child: the game's own start-up, ending as soon as the view has a frame to show.
int RunUntilFirstFrame(int argc, char** argv) {
    BrivelApp app(argc, argv);
    if (!app.InitInstance()) return 1;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&app] {
        if (!app.MainFrame()->View()->Frame().isNull()) _exit(0);
    });
    poll.start(1);
    app.exec();
    return 2;
}

std::string SelfPath() {
    char path[4096];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return {};
    path[length] = '\0';
    return path;
}

// Wall time from starting the game's process to its first frame in the view.
void BM_ProcessStartToFirstFrame(benchmark::State& state) {
    std::string self = SelfPath();
    char* args[] = {self.data(), const_cast<char*>(kChildFlag), nullptr};
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        if (posix_spawn(&child, self.c_str(), nullptr, nullptr, args, environ) != 0) {
            state.SkipWithError("could not start the game");
            return;
        }
        int status = 0;
        waitpid(child, &status, 0);
        auto elapsed = std::chrono::steady_clock::now() - start;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the game did not show a frame");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
    }
}
BENCHMARK(BM_ProcessStartToFirstFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], kChildFlag) == 0) {
        // Its own settings folder and a silent sound device, never the user's.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
        return RunUntilFirstFrame(argc, argv);
    }
    char configHome[] = "/tmp/brivel-startup-bench-XXXXXX";
    if (mkdtemp(configHome) == nullptr) return 1;
    setenv("XDG_CONFIG_HOME", configHome, 1);
    setenv("ALSOFT_DRIVERS", "null", 1);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    std::filesystem::remove_all(configHome, ignored);
    return 0;
}
