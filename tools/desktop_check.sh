#!/usr/bin/env bash
# Starts the real game on a virtual X display (xvfb-run), waits for its window, photographs it,
# clicks "SETTINGS" with xdotool and photographs it again. Fails unless the first picture shows
# the main menu and the second the settings screen: neither black nor empty, and different
# from each other; then chooses "File" -> "Exit" and fails unless the game ends cleanly. Leaves
# the two pictures and the game's output in build/desktop-check/.
#
#   bash tools/desktop_check.sh
#   BRIVEL_BINARY=build/sanitize/app/brivel bash tools/desktop_check.sh   (another build)
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --desktop
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)" --target brivel

out=build/desktop-check
rm -rf "$out"
mkdir -p "$out/config/Quenlo"
# A settings store of its own, never the user's: a 900 x 600 view, so that the click lands on
# a known pixel.
printf '[General]\ncx=900\ncy=600\n' >"$out/config/Quenlo/Brivel.conf"

export XDG_CONFIG_HOME="$PWD/$out/config"
export ALSOFT_DRIVERS=null  # no sound card needed
exec xvfb-run -a -s "-screen 0 1280x1024x24" bash tools/desktop_check_inner.sh "$out"
