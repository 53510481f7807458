#!/usr/bin/env bash
# Installs the Debian 12 packages that Brivel's build and tests need.
# Quick when everything is present: dpkg is asked first, and apt-get (with its
# index update) runs only for what is missing.
#
#   tools/install-deps.sh            what building and testing need
#   tools/install-deps.sh --game     only what building and running the game need (tools/run.sh)
#   tools/install-deps.sh --assets   also the tools that regenerate the pictures, sounds,
#                                    music and icon in assets/ (tools/make_assets.sh calls it so)
#   tools/install-deps.sh --desktop  also a virtual X display and the tools that click and
#                                    photograph the real window (tools/desktop_check.sh)
#   tools/install-deps.sh --deb      also lintian, for the check of the Debian package
#   tools/install-deps.sh --fuzz     also clang 16 with its sanitizer and libFuzzer runtimes
#                                    (tools/fuzz_network.sh)
set -euo pipefail

# What building and running the game itself need (tools/run.sh installs only these).
GAME_PACKAGES=(
    # build
    build-essential cmake ninja-build pkg-config
    # sound: OpenAL Soft (headers, and the runtime the game loads); ALSA's headers, to keep the
    # library's own error messages from the player's terminal
    libopenal-dev libopenal1 libasound2-dev
    # the music: Ogg Vorbis decoded by libvorbisfile
    libvorbis-dev
    # graphics: EGL + OpenGL 1.1 + GLU, FreeType and fontconfig outlines
    libegl-dev libgl-dev libopengl-dev libglu1-mesa-dev libfreetype-dev libfontconfig-dev
    # graphics at run time: Mesa's software renderer, the fixed-pitch font
    libegl-mesa0 libgl1-mesa-dri fontconfig fonts-dejavu-core
    # decoding the embedded JPEG pictures
    libturbojpeg0-dev
    # the window, its menus and the settings store (offscreen and xcb platform plugins)
    qt6-base-dev
    # the network game: ENet's reliable UDP
    libenet-dev
)

# What the tests, benchmarks and developer commands need besides.
TEST_PACKAGES=(
    # tests and benchmarks; libpng for the command that writes scene pictures for review
    libgtest-dev libbenchmark-dev libpng-dev
    # Debian's Python binding of ENet is the tests' independent client of the wire format
    python3-enet
    # the determinism matrix: the game core built by clang 16, and for aarch64 run under qemu
    clang-16 g++-aarch64-linux-gnu qemu-user
    # the installed launcher, metainfo and manual page are validated by the tests; cpack's
    # Debian package computes its dependencies with dpkg-shlibdeps (which needs file)
    desktop-file-utils appstream groff-base dpkg-dev file
)

# Needed only to regenerate the committed assets, never by the build or the tests.
ASSET_PACKAGES=(
    python3 python3-pil python3-numpy fonts-dejavu-core
    # oggenc, which encodes the music the asset tool composes
    vorbis-tools
)

# Needed only by the desktop check that starts the real program on a virtual X display.
DESKTOP_PACKAGES=(
    xvfb xauth xdotool x11-apps imagemagick
)

# Needed only by the fuzzer of received packets; libclang-rt-16-dev holds the runtime that
# -fsanitize=fuzzer links (libclang_rt.fuzzer) as well as ASan's and UBSan's.
FUZZ_PACKAGES=(
    clang-16 libclang-rt-16-dev
)

PACKAGES=("${GAME_PACKAGES[@]}")
case "${1:-}" in
    --game) ;;
    *) PACKAGES+=("${TEST_PACKAGES[@]}") ;;
esac
# Needed only by the check of the Debian package (tools/deb_check.sh): Debian's own checker.
DEB_PACKAGES=(
    lintian
)

case "${1:-}" in
    --deb) PACKAGES+=("${DEB_PACKAGES[@]}") ;;
    --assets) PACKAGES+=("${ASSET_PACKAGES[@]}") ;;
    --desktop) PACKAGES+=("${DESKTOP_PACKAGES[@]}") ;;
    --fuzz) PACKAGES+=("${FUZZ_PACKAGES[@]}") ;;
esac

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
