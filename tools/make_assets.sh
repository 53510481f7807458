#!/usr/bin/env bash
# Regenerates the pictures, sounds, music and icon in assets/ from scratch. The build never runs this:
# the files it writes are committed, and the program carries them inside itself.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --assets
# Debian's own interpreter, which sees python3-pil and python3-numpy.
/usr/bin/python3 tools/assets/make_assets.py
