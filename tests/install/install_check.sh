#!/usr/bin/env bash
# Installs the built game into an empty folder as `cmake --install --prefix /usr` with DESTDIR
# would for a package, and checks what lands there: exactly the expected files, the program
# executable, icons of the right pixel sizes and identical to the window's, and a launcher,
# metainfo and manual page that Debian's own validators accept.
#
#   install_check.sh <cmake> <build folder> <source folder> <version>
set -euo pipefail
cmake=$1 build=$2 source=$3 version=$4
id=com.quenlo.Brivel
sizes=(16 32 48 64 128 256)

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >/dev/null
root=$stage/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

expected=(games/brivel share/applications/$id.desktop share/metainfo/$id.metainfo.xml
          share/man/man6/brivel.6.gz share/doc/brivel/copyright share/doc/brivel/changelog.gz)
for size in "${sizes[@]}"; do
    expected+=("share/icons/hicolor/${size}x${size}/apps/$id.png")
done
# Nothing missing and nothing extra (a stray install rule would end up in the package).
installed=$(cd "$root" && find . ! -type d | sed 's|^\./||' | sort)
diff <(printf '%s\n' "${expected[@]}" | sort) <(echo "$installed") \
    || fail "the installed files differ from the expected ones (< expected, > installed)"
[[ -z $(find "$stage" -mindepth 1 -maxdepth 1 ! -name usr) ]] || fail "files outside the prefix"

[[ -x $root/games/brivel ]] || fail "games/brivel is not executable"

# A PNG's width and height are big-endian 32-bit numbers at bytes 16 to 23.
png_size() {
    od -An -tu1 -j16 -N8 "$1" |
        awk '{print ($1*16777216+$2*65536+$3*256+$4) "x" ($5*16777216+$6*65536+$7*256+$8)}'
}
for size in "${sizes[@]}"; do
    png=$root/share/icons/hicolor/${size}x${size}/apps/$id.png
    [[ -f $png ]] || continue
    [[ $(head -c 8 "$png" | od -An -tx1 | tr -d ' ') == 89504e470d0a1a0a ]] \
        || fail "$png is not a PNG"
    [[ $(png_size "$png") == "${size}x${size}" ]] \
        || fail "$png is $(png_size "$png"), not ${size}x${size}"
    # The window's icon is these very files (window_tests compares it with them).
    cmp -s "$png" "$source/assets/icon_$size.png" || fail "$png is not assets/icon_$size.png"
done

desktop=$root/share/applications/$id.desktop
metainfo=$root/share/metainfo/$id.metainfo.xml
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $id.desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $id.metainfo.xml"
# What no validator checks: the launcher starts the installed program and shows the installed
# icon, the metainfo launches this launcher, and its newest release is this version.
grep -qx "Exec=brivel" "$desktop" || fail "the launcher does not start brivel"
grep -qx "Icon=$id" "$desktop" || fail "the launcher's icon is not $id"
grep -qx "Categories=Game;BoardGame;" "$desktop" || fail "the launcher is not in Game;BoardGame;"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" \
    || fail "the metainfo does not launch $id.desktop"
newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -1)
[[ $newest == "<release version=\"$version\"" ]] \
    || fail "the metainfo's newest release is not $version"

man=$stage/brivel.6
gzip -dc "$root/share/man/man6/brivel.6.gz" >"$man"
warnings=$(LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 "$man" 2>&1) \
    || fail "groff cannot format brivel.6"
[[ -z $warnings ]] || fail "groff warns about brivel.6: $warnings"
for section in NAME SYNOPSIS DESCRIPTION OPTIONS FILES; do
    grep -qx "\.SH $section" "$man" || fail "brivel.6 has no $section section"
done

((failures == 0)) || { echo "$failures failure(s)"; exit 1; }
echo "installed ${#expected[@]} files; launcher, metainfo and manual page validate"
