#!/usr/bin/env bash
# Installs what is missing, builds Brivel twice (optimized, and with
# AddressSanitizer + UndefinedBehaviorSanitizer) and runs the whole suite in both;
# then builds with ThreadSanitizer and runs the tests labelled threaded.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

jobs=$(nproc)
for preset in release sanitize tsan; do
    echo "=== $preset build ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
for preset in release sanitize tsan; do
    echo "=== $preset tests ==="
    ctest --preset "$preset" -j "$jobs"
done
