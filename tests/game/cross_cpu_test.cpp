// Two machines of a network game compute every flick independently: an older x86 CPU without
// FMA must reach the same tables as a newer one. glibc picks its sine and cosine code by CPU, and
// its tunables can make this CPU take the non-FMA path, so the replay program runs twice, once
// on each path, and the outputs are compared.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#ifndef FLICK_REPLAY_PATH
#error "FLICK_REPLAY_PATH must name the flick_replay program"
#endif

namespace {

/// glibc 2.36 spells the features so; a spelling it does not know is silently ignored, which the
/// guard test below would catch.
const std::string kWithoutFma = "glibc.cpu.hwcaps=-AVX2,-FMA";

/// Runs flick_replay with `mode` and GLIBC_TUNABLES set to `tunables` (unset if empty); returns
/// its output lines.
std::vector<std::string> RunReplay(const std::string& tunables, const std::string& mode) {
    std::string command =
        tunables.empty() ? "env -u GLIBC_TUNABLES " : "env GLIBC_TUNABLES=" + tunables + " ";
    command += "'" FLICK_REPLAY_PATH "' " + mode;
    std::vector<std::string> lines;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return lines;
    }
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        lines.emplace_back(buffer);
    EXPECT_EQ(pclose(pipe), 0) << command;
    return lines;
}

/// True where glibc's sine has an FMA path that the tunable can switch off.
bool HasTwoGlibcSinePaths() {
#if defined(__GLIBC__) && defined(__x86_64__)
    __builtin_cpu_init();
    return __builtin_cpu_supports("fma") && __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

}  // namespace

// The guard that keeps the replay test meaningful: on this CPU the C library really gives other
// bits without FMA, for every aim the replay uses.
TEST(CrossCpu, LibmSineDiffersOnEveryReplayAim) {
    if (!HasTwoGlibcSinePaths())
        GTEST_SKIP() << "no FMA and AVX2 here (or not x86-64 glibc): the C library has one sine "
                        "path only, so there is nothing to tell apart";
    std::vector<std::string> normal = RunReplay("", "--libm");
    std::vector<std::string> withoutFma = RunReplay(kWithoutFma, "--libm");
    ASSERT_FALSE(normal.empty());
    ASSERT_EQ(normal.size(), withoutFma.size());
    for (std::size_t k = 0; k < normal.size(); ++k) {
        EXPECT_NE(normal[k], withoutFma[k])
            << "glibc gives the same bits with and without FMA for " << normal[k]
            << "pick another aim (or the tunable is spelt differently in this glibc)";
    }
}

// Every replayed flick comes to rest on the same table on both paths.
TEST(CrossCpu, FlickReplayIsTheSameWithoutFma) {
    std::vector<std::string> normal = RunReplay("", "");
    std::vector<std::string> withoutFma = RunReplay(kWithoutFma, "");
    ASSERT_FALSE(normal.empty());
    ASSERT_EQ(normal.size(), withoutFma.size());
    for (std::size_t k = 0; k < normal.size(); ++k)
        EXPECT_EQ(normal[k], withoutFma[k]) << "with FMA:    " << normal[k];
}
