#!/usr/bin/env bash
# Builds the Debian package of the game and tries it on this machine, as root (or through sudo):
# an optimized build for prefix /usr without the tests, `cpack -G DEB`, the package's control
# fields, `apt-get install ./brivel_*.deb`, `brivel --version`, then removal and a check that
# none of the package's files is left. Not part of tools/test.sh: it changes the system.
#
#   bash tools/deb_check.sh        the package stays in build/deb/
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

build=build/deb
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
command -v ccache >/dev/null || unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DBUILD_TESTING=OFF
cmake --build "$build" -j2
rm -f "$build"/brivel_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/brivel_*.deb)

echo "== dpkg-deb -I $deb"
dpkg-deb -I "$deb"
echo "== Depends: $(dpkg-deb -f "$deb" Depends)"
echo "== contents"
dpkg-deb -c "$deb"

echo "== install"
$SUDO apt-get install -y "./$deb"
files=$(dpkg -L brivel | while read -r path; do [[ -d $path ]] || echo "$path"; done)
echo "== brivel --version"
# Without a --version option the game opens its window instead; the offscreen platform and
# the time limit keep that from hanging the check.
timeout 5 env QT_QPA_PLATFORM=offscreen brivel --version || echo "(brivel ended with $?)"

echo "== remove"
$SUDO apt-get remove --purge -y brivel
left=0
for path in $files; do
    if [[ -e $path ]]; then echo "LEFT BEHIND: $path"; left=1; fi
done
((left == 0)) || exit 1
echo "deb check passed: $(wc -w <<<"$files") files installed and removed again"
