#!/usr/bin/env bash
# Installs what is missing, builds Brivel and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

exec build/release/app/brivel
