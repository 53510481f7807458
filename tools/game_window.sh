# Sourced by the scripts that drive the real game on a virtual X display (desktop_check_inner.sh,
# idle_cost.sh). Starts the game and finds its window:
#   start_game_window BINARY OUT VIEW_WIDTH VIEW_HEIGHT
# sets game (its process id), window, X, Y, WIDTH, HEIGHT and menu_height (the menu bar above
# the view), and kills the game when the calling script exits. fail prints why and exits 1;
# set fail_label first to name the script in its message.
fail_label=${fail_label:-check}

fail() {
    echo "$fail_label FAILED: $*" >&2
    exit 1
}

start_game_window() {
    local binary=$1 out=$2 view_width=$3 view_height=$4
    "$binary" >"$out/brivel.log" 2>&1 &
    game=$!
    trap 'kill "$game" 2>/dev/null || true; wait "$game" 2>/dev/null || true' EXIT
    window=$(timeout 30 xdotool search --sync --onlyvisible --classname brivel | head -n 1) ||
        fail "no window appeared"
    eval "$(xdotool getwindowgeometry --shell "$window")" # X, Y, WIDTH, HEIGHT
    # No window manager: the window has no frame, and the view fills it below the menu bar.
    menu_height=$((HEIGHT - view_height))
    ((WIDTH == view_width && menu_height > 0)) || fail "window is ${WIDTH}x${HEIGHT}"
}
