#!/usr/bin/env bash
# Writes build/contact_sheet.png (or the path given): the menu and settings pictures as the game
# shows them, with every click area, slider line and the flag outlined, to check by eye that each
# label sits inside its area.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --assets
/usr/bin/python3 tools/assets/contact_sheet.py "$@"
