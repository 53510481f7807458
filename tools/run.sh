#!/usr/bin/env bash
# Installs what is missing, builds Brivel and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

if [[ -x build/release/app/brivel ]]; then
    exec build/release/app/brivel "$@"
fi
echo "Only the game core is built so far; the window arrives with the application."
