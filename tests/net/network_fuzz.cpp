// The coverage-guided fuzzer of what the network play screen receives: each input is a stream
// of records (packet_fuzz.h), played from a fresh GAME so that an input found to crash replays
// alone. A broken rule aborts with its description, which libFuzzer saves as a crash.
// Built and run by tools/fuzz_network.sh, with no window, renderer or sound.

#include "tests/net/packet_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static PacketFuzzer fuzzer;
    fuzzer.BeginGame(1);
    ByteStream stream(std::span<const std::uint8_t>(data, size));
    std::string problem = fuzzer.Run(stream);
    if (!problem.empty()) {
        std::fprintf(stderr, "network_fuzz: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
