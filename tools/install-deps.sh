#!/usr/bin/env bash
# Installs the Debian 12 packages that Brivel's build and tests need.
# Quick when everything is present: dpkg is asked first, and apt-get (with its
# index update) runs only for what is missing.
#
#   tools/install-deps.sh            what building and testing need
#   tools/install-deps.sh --assets   also the tools that regenerate the pictures and
#                                    sounds in assets/ (tools/make_assets.sh calls it so)
set -euo pipefail

PACKAGES=(
    # build
    build-essential cmake ninja-build pkg-config
    # sound: OpenAL Soft (headers, and the runtime the game loads)
    libopenal-dev libopenal1
    # tests and benchmarks
    libgtest-dev libbenchmark-dev
    # decoding the embedded JPEG pictures (graphics, and the asset tests)
    libturbojpeg0-dev
)

# Needed only to regenerate the committed assets, never by the build or the tests.
ASSET_PACKAGES=(
    python3 python3-pil python3-numpy fonts-dejavu-core
)

if [[ "${1:-}" == "--assets" ]]; then
    PACKAGES+=("${ASSET_PACKAGES[@]}")
fi

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
