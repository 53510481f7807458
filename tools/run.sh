#!/usr/bin/env bash
# Installs what the game needs, builds the game alone and starts it. (tools/test.sh installs
# and builds everything the tests need besides.)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --game
cmake --preset release >/dev/null
cmake --build --preset release --target brivel -j "$(nproc)"

exec build/release/app/brivel "$@"
