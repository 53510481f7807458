#!/usr/bin/env bash
# Builds the game and photographs its real window on the main menu, a play screen, the settings
# and a result screen into docs/ (menu.png, play.png, settings.png, result.png), the pictures
# the README shows, on a virtual X display (the platform and the fonts of a desktop). Settings of the player are not touched: the game runs with a settings folder
# of its own.
#
#   tools/screenshots.sh [WIDTH HEIGHT]     the view's size, 900 x 600 unless given
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --desktop
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target screenshots

config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT
mkdir -p docs
XDG_CONFIG_HOME=$config xvfb-run -a -s "-screen 0 1920x1080x24" build/release/tools/screenshots docs "$@"
