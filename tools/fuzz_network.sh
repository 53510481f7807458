#!/usr/bin/env bash
# Fuzzes what the network play screen receives from the other machine: builds the libFuzzer
# target network_fuzz (tests/net/network_fuzz.cpp) with clang 16 under AddressSanitizer and
# UndefinedBehaviorSanitizer in a folder of its own, checks that it carries no window system or
# OpenGL, and runs it. Not part of the test suite.
#
#   tools/fuzz_network.sh [RUNS] [LIBFUZZER_OPTION...]     RUNS defaults to 1000000
#
# Needs clang 16 and its sanitizer and fuzzer runtimes: tools/install-deps.sh --fuzz.
# BRIVEL_FUZZ_BUILD chooses the build folder (default build/fuzz); the corpus grows in its
# corpus/ folder from run to run, and a crashing input is written there as crash-<hash>
# (replay it with: build/fuzz/tests/net/network_fuzz build/fuzz/crash-<hash>).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-1000000}
shift $(($# > 0 ? 1 : 0))
build=${BRIVEL_FUZZ_BUILD:-$root/build/fuzz}

if ! command -v clang++-16 >/dev/null; then
    echo "fuzz_network: clang++-16 is missing; run tools/install-deps.sh --fuzz" >&2
    exit 1
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-16 -DBRIVEL_FUZZ=ON \
    -DBRIVEL_SANITIZE="fuzzer-no-link;address;undefined" >/dev/null
cmake --build "$build" --target network_fuzz -j 2
fuzzer=$build/tests/net/network_fuzz

# The fuzzer plays the screen without a window: nothing of Qt, EGL or OpenGL may come along.
if readelf -d "$fuzzer" | grep -E 'NEEDED.*(Qt|libGL|libEGL|libOpenGL|openal)'; then
    echo "fuzz_network: the fuzz target links a window system, OpenGL or sound" >&2
    exit 1
fi

# Seeds: a valid flick with a pause to play it, a connection event, and an unknown identifier.
corpus=$build/corpus
mkdir -p "$corpus"
flick='\x52\0\0\0\x09\0\0\0\0\0\0\0\0\xe0\x5e\x40\0\0\0\0\0\0\xf8\x3f'
printf "\x03\x18$flick" >"$corpus/seed-flick"
printf "\x10\x01\x14\x03\x18$flick" >"$corpus/seed-box-then-flick"
printf "\x04\x01\x10" >"$corpus/seed-unknown"

# Inputs of a few records each keep the runs quick; long streams, with the flick queue filling
# up, are the seeded test's part (tests/net/packet_fuzz_test.cpp).
cd "$build"
"$fuzzer" -runs="$runs" -max_len=128 -print_final_stats=1 \
    -dict="$root/tests/net/network_fuzz.dict" "$@" "$corpus"
