#!/usr/bin/env bash
# Builds the Debian package of the game and tries it on this machine, as root (or through sudo):
# an optimized build for prefix /usr without the tests, `cpack -G DEB`, the package's control
# fields, lintian's verdict (an error or a warning fails), `apt-get install ./brivel_*.deb`,
# `brivel --version`, then removal and a check that none of the package's files is left.
# Not part of tools/test.sh: it changes the system.
#
#   bash tools/deb_check.sh        the package stays in build/deb/
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh --deb
SUDO=""
[[ $(id -u) -eq 0 ]] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

build=build/deb
export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
command -v ccache >/dev/null || unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER
# Debian's own hardening flags (fortified functions, read-only relocations), with immediate
# binding besides, as lintian asks of a packaged program.
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS) -Wl,-z,now"
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

echo "== lintian"
# Debian's checker: an error or a warning fails the check; informational tags are shown.
verdict=$(lintian --info --display-info "$deb" 2>&1 || true)
echo "${verdict:-no tag at all}"
if grep -qE '^[EW]: ' <<<"$verdict"; then
    echo "lintian reports errors or warnings"
    exit 1
fi

echo "== install"
$SUDO apt-get install -y "./$deb"
files=$(dpkg -L brivel | while read -r path; do [[ -d $path ]] || echo "$path"; done)
echo "== brivel --version"
# The package's own program, wherever its PATH leaves /usr/games. Without a --version option the
# game would open its window instead; the offscreen platform and the time limit keep that from
# hanging the check.
program=$(grep -x '/usr/games/brivel' <<<"$files") || { echo "no /usr/games/brivel"; exit 1; }
version=$(timeout 5 env QT_QPA_PLATFORM=offscreen "$program" --version)
echo "$version"
grep -q "$(dpkg-deb -f "$deb" Version)" <<<"$version" || { echo "wrong version"; exit 1; }

echo "== remove"
$SUDO apt-get remove --purge -y brivel
left=0
for path in $files; do
    if [[ -e $path ]]; then echo "LEFT BEHIND: $path"; left=1; fi
done
((left == 0)) || exit 1
echo "deb check passed: $(wc -w <<<"$files") files installed and removed again"
