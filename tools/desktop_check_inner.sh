#!/usr/bin/env bash
# The part of tools/desktop_check.sh that runs inside the virtual X display; argument: the
# output folder.
set -euo pipefail
out=$1
view_width=900
view_height=600

fail_label="desktop check"
source "$(dirname "$0")/game_window.sh"
start_game_window "${BRIVEL_BINARY:-build/release/app/brivel}" "$out" "$view_width" "$view_height"

# Photographs the view into $1.
photograph() {
    xwd -root -silent | /usr/bin/convert xwd:- \
        -crop "${view_width}x${view_height}+${X}+$((Y + menu_height))" +repage "$1"
}

# Mean brightness and its spread across the picture, 0 to 1 each.
measure() {
    /usr/bin/convert "$1" -colorspace Gray -format "%[fx:mean] %[fx:standard_deviation]" info:
}

# True when the picture in $1 shows something: not black, not one flat colour.
shows_picture() {
    read -r mean spread <<<"$(measure "$1")"
    awk -v m="$mean" -v s="$spread" 'BEGIN { exit !(m > 0.05 && s > 0.03) }'
}

# Photographs the view into $1 until it shows a picture, for up to 20 seconds.
wait_for_picture() {
    for _ in $(seq 1 40); do
        photograph "$1"
        shows_picture "$1" && return 0
        sleep 0.5
    done
    return 1
}

wait_for_picture "$out/menu.png" || fail "the main menu never appeared ($(measure "$out/menu.png"))"
echo "main menu: $(measure "$out/menu.png")"

# "SETTINGS" is at canvas (0.3, 0.215): in a 900 x 600 view, pixel (180, 471).
xdotool mousemove --window "$window" 180 $((menu_height + 471)) click 1
sleep 1
wait_for_picture "$out/settings.png" || fail "the settings screen shows nothing"
echo "settings: $(measure "$out/settings.png")"

# compare exits with 1 when the pictures differ, which is what is hoped for here.
difference=$({ /usr/bin/compare -metric RMSE "$out/menu.png" "$out/settings.png" null: 2>&1 || true; } |
    sed -E 's/.*\(([0-9.e-]+)\).*/\1/')
echo "difference between the two: $difference"
awk -v d="$difference" 'BEGIN { exit !(d > 0.05) }' ||
    fail "the click on SETTINGS did not change the picture"
kill -0 "$game" 2>/dev/null || fail "the game ended by itself"

# "File" -> "Exit" from the keyboard: the game must end cleanly (threads stopped and joined).
xdotool windowfocus --sync "$window" key --delay 200 alt+f x
for _ in $(seq 1 50); do
    kill -0 "$game" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$game" 2>/dev/null && fail "File -> Exit did not end the game"
trap - EXIT
status=0
wait "$game" || status=$?
((status == 0)) || fail "the game ended with status $status (see $out/brivel.log)"
echo "desktop check passed: pictures in $out/"
