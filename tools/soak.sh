#!/usr/bin/env bash
# Hours of play in one command (not part of tools/test.sh):
#   - battles of the computer against itself through the real screen logic, in both local modes
#     (SOAK_BATTLES per mode, default 5000: 10,000 in all), the rules checked after every move,
#     every battle ended within a bound, resident size at the end within 10 % of that after the
#     first 100 battles;
#   - network flicks between two headless players on loopback (SOAK_FLICKS per run, default
#     1000): one run connected directly, one through the bad-link relay, both tables and
#     judgements the same after every move, and the cut link reported lost on both.
# Prints one summary line; exits non-zero on any failure. BUILD_DIR overrides build/release.
set -uo pipefail
cd "$(dirname "$0")/.."

battles=${SOAK_BATTLES:-5000}
flicks=${SOAK_FLICKS:-1000}
build=${BUILD_DIR:-build/release}
if [[ -z "${BUILD_DIR:-}" ]]; then
    cmake --preset release >/dev/null || exit 1
fi
cmake --build "$build" --target play_tests bad_link_tests -j 2 >/dev/null || exit 1

log=$(mktemp -d)
started=$SECONDS
failed=0
run() {  # <name> <command...>
    local name=$1
    shift
    echo "=== $name"
    if ! "$@" >"$log/$name.txt" 2>&1; then
        failed=1
        echo "FAILED: $name (log $log/$name.txt)"
        grep -E "Failure|stuck|Expected|Which is" "$log/$name.txt" | head -20
    fi
    grep -E "^(SOAK|flicks|RELAY|CUT)" "$log/$name.txt"
}
BRIVEL_SOAK_BATTLES=$battles run battles "$build/tests/play/play_tests" --gtest_filter='SoakTest.*'
BRIVEL_BAD_LINK_FLICKS=$flicks BRIVEL_BAD_LINK_DIRECT=1 run network-direct \
    "$build/tests/net/bad_link_tests"
BRIVEL_BAD_LINK_FLICKS=$flicks run network-bad-link "$build/tests/net/bad_link_tests"

played=$(awk '/^SOAK/ {n += $3} END {print n + 0}' "$log/battles.txt")
resident=$(awk '/^SOAK/ {s = s $9 "->" $14 " kB; "} END {print s}' "$log/battles.txt")
made=$(awk '/^flicks/ {n += $2} END {print n + 0}' "$log"/network-*.txt)
echo "soak: $played battles (resident after 100 -> end, per mode: $resident)" \
    "$made network flicks, $((SECONDS - started)) s, $([[ $failed == 0 ]] && echo passed || echo FAILED)"
exit "$failed"
