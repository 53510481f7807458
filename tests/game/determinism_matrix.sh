#!/usr/bin/env bash
# The same game core on every machine: the determinism program of the optimized gcc build is the
# reference, and every other leg must print the same hashes.
#   clang-16      the core built by clang 16 (-O2 -march=native) and run here
#   aarch64       the core built by g++-aarch64-linux-gnu (static) and run under qemu-aarch64
#   without-fma   the reference program run with glibc's non-FMA code paths forced
# The computer's choice takes its arc cosine from the C library and never crosses machines, so
# without FMA its line is reported but may differ; every other line must match everywhere.
#
#   determinism_matrix.sh <reference program> <source dir> <work dir>
set -euo pipefail

reference=$1
src=$2
work=$3
mkdir -p "$work"

sources=("$src"/game/*.cpp "$src"/tests/setups/board_setups.cpp "$src"/tests/game/literal_*.cpp
         "$src"/net/flick_message.cpp "$src"/tests/game/determinism_matrix_main.cpp)
flags=(-std=c++20 -I"$src" -ffp-contract=off -fno-fast-math -Wall -Wextra -pthread)

build() {  # <compiler> <output> <flags...>
    local compiler=$1 output=$2
    shift 2
    command -v "$compiler" >/dev/null || { echo "missing $compiler (tools/install-deps.sh)"; exit 1; }
    "$compiler" "${flags[@]}" "$@" "${sources[@]}" -o "$output"
}

build clang++-16 "$work/matrix-clang" -O2 -march=native &
build aarch64-linux-gnu-g++ "$work/matrix-aarch64" -O2 -static &
wait -n && wait -n

run_leg() {  # <name> <command...>: the leg's output in $work/<name>.txt
    local name=$1
    shift
    local started=$SECONDS
    if ! "$@" >"$work/$name.txt"; then
        echo "$name: the program failed"
        failed=1
    fi
    sed "s/^/  $name: /" "$work/$name.txt"
    echo "  $name took $((SECONDS - started)) s"
}

failed=0
run_leg gcc env -u GLIBC_TUNABLES "$reference"
run_leg clang-16 "$work/matrix-clang"
run_leg aarch64 qemu-aarch64 "$work/matrix-aarch64"
run_leg without-fma env GLIBC_TUNABLES=glibc.cpu.hwcaps=-AVX2,-FMA "$reference"

compare() {  # <leg> [line to leave out]: every line of the leg equal to the reference's
    local leg=$1 skip=${2:-^$}
    if ! diff <(grep -v "$skip" "$work/gcc.txt") <(grep -v "$skip" "$work/$leg.txt") >/dev/null; then
        echo "FAIL: $leg prints other hashes than the optimized gcc build"
        diff "$work/gcc.txt" "$work/$leg.txt" || true
        failed=1
    fi
}
compare clang-16
compare aarch64
compare without-fma '^opponent '
if grep -q '^opponent ' "$work/without-fma.txt" &&
    diff <(grep '^opponent ' "$work/gcc.txt") <(grep '^opponent ' "$work/without-fma.txt") >/dev/null; then
    echo "without-fma: the computer's choices are the same too"
else
    echo "without-fma: the computer's choices differ (its arc cosine is the C library's; allowed)"
fi
((failed == 0)) && echo "determinism matrix: every leg prints the gcc build's hashes"
exit "$failed"
