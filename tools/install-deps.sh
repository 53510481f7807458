#!/usr/bin/env bash
# Installs the Debian 12 packages that Brivel's build and tests need.
# Quick when everything is present: dpkg is asked first, and apt-get (with its
# index update) runs only for what is missing.
set -euo pipefail

PACKAGES=(
    # build
    build-essential cmake ninja-build pkg-config
    # graphics: EGL + OpenGL 1.1 + GLU, FreeType and fontconfig outlines, JPEG pictures
    libegl-dev libgl-dev libopengl-dev libglu1-mesa-dev libfreetype-dev libfontconfig-dev
    libturbojpeg0-dev
    # graphics at run time and in headless tests: Mesa's software renderer, the fixed-pitch font
    libegl-mesa0 libgl1-mesa-dri fontconfig fonts-dejavu-core
    # tests and benchmarks
    libgtest-dev libbenchmark-dev
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -q
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
