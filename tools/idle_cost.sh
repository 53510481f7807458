#!/usr/bin/env bash
# What an idle game costs the player's machine: starts the real game on a virtual X display
# (xvfb-run) with a view of the given size, opens the main menu or a two-player play screen
# and touches nothing more; then, over windows of 5 s each, sums the processor time of all the
# game's threads (from /proc/PID/task/*/stat) and reads its resident memory. Prints each
# window, the busiest threads of the last one and the median of the windows.
#
#   bash tools/idle_cost.sh [menu|play] [WIDTHxHEIGHT] [windows]     (menu 900x600 3)
#   BRIVEL_BINARY=/tmp/mybuild/app/brivel bash tools/idle_cost.sh play 1500x1000
#
# Without BRIVEL_BINARY it builds build/release/app/brivel first. Mesa's software renderer runs
# with its default number of threads unless LP_NUM_THREADS is set. Not part of the test suite:
# figures depend on the machine and on what else runs on it (the load is printed with them).
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ "${1:-}" == --inner ]]; then
    shift
    screen=$1 view_width=$2 view_height=$3 windows=$4 binary=$5 out=$6

    fail_label="idle cost"
    source tools/game_window.sh
    start_game_window "$binary" "$out" "$view_width" "$view_height"
    # Mean brightness of the view as the window shows it, 0 to 1.
    brightness() {
        xwd -root -silent | /usr/bin/convert xwd:- \
            -crop "${view_width}x${view_height}+${X}+$((Y + menu_height))" +repage \
            -colorspace Gray -format "%[fx:mean]" info:
    }
    sleep 2
    if [[ "$screen" == play ]]; then
        menu=$(brightness)
        # "TWO PLAYERS" at canvas (0.35, 0.55) of the 3:2 view.
        xdotool mousemove --window "$window" $((view_width * 35 / 150)) \
            $((menu_height + view_height * 45 / 100)) click 1
        sleep 1
        awk -v a="$menu" -v b="$(brightness)" 'BEGIN { exit !(a - b > 0.02 || b - a > 0.02) }' ||
            fail "the click on TWO PLAYERS did not open the play screen"
    fi
    # Nothing touched from here on; the pointer rests outside the window.
    xdotool mousemove 0 0
    sleep 3

    ticks_per_second=$(getconf CLK_TCK)
    # "tid name ticks" for every thread alive now; ticks = user + system time. The name is in
    # parentheses and may hold spaces, so the fields are counted after the last ")".
    thread_ticks() {
        for stat in /proc/"$game"/task/*/stat; do
            line=$(cat "$stat" 2>/dev/null) || continue
            name=${line#*(}
            name=${name%)*}
            read -r -a rest <<<"${line##*) }"
            echo "${line%% *} ${name// /_} $((rest[11] + rest[12]))"
        done
    }
    results=()
    for ((w = 1; w <= windows; ++w)); do
        before=$(thread_ticks)
        sleep 5
        after=$(thread_ticks)
        kill -0 "$game" 2>/dev/null || fail "the game ended by itself"
        # Per thread: ticks during the window (threads alive at both ends).
        per_thread=$(join <(sort <<<"$before") <(sort <<<"$after") |
            awk '{ print $1, $2, $5 - $3 }')
        total=$(awk -v hz="$ticks_per_second" '{ s += $3 } END { printf "%.1f", s / hz / 5 * 100 }' \
            <<<"$per_thread")
        rss=$(awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' /proc/"$game"/status)
        echo "window $w: cpu ${total} % of one core, resident ${rss} MB"
        results+=("$total $rss")
    done
    echo "busiest threads of the last window (% of one core):"
    sort -k3 -n -r <<<"$per_thread" | head -n 6 |
        awk -v hz="$ticks_per_second" '{ printf "  %-16s %5.1f\n", $2, $3 / hz / 5 * 100 }'
    median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
    cpu=$(printf '%s\n' "${results[@]}" | cut -d' ' -f1 | median)
    rss=$(printf '%s\n' "${results[@]}" | cut -d' ' -f2 | median)
    echo "median: $screen ${view_width}x${view_height} cpu $cpu % of one core, resident $rss MB"
    echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
    exit 0
fi

screen=${1:-menu}
size=${2:-900x600}
windows=${3:-3}
[[ "$screen" == menu || "$screen" == play ]] || {
    echo "usage: $0 [menu|play] [WIDTHxHEIGHT] [windows]" >&2
    exit 2
}
view_width=${size%x*}
view_height=${size#*x}

tools/install-deps.sh --desktop
if [[ -z "${BRIVEL_BINARY:-}" ]]; then
    cmake --preset release >/dev/null
    cmake --build --preset release -j 2 --target brivel
fi
binary=$(realpath "${BRIVEL_BINARY:-build/release/app/brivel}")

out=$(mktemp -d /tmp/brivel-idle-cost-XXXXXX)
trap 'rm -rf "$out"' EXIT
mkdir -p "$out/config/Quenlo"
# A settings store of its own, never the user's, holding the view size.
printf '[General]\ncx=%s\ncy=%s\n' "$view_width" "$view_height" >"$out/config/Quenlo/Brivel.conf"
export XDG_CONFIG_HOME="$out/config"
export ALSOFT_DRIVERS=null # no sound card needed
# A screen larger than the largest view measured, as a desktop monitor would be.
xvfb-run -a -s "-screen 0 1920x1200x24" \
    bash "$0" --inner "$screen" "$view_width" "$view_height" "$windows" "$binary" "$out"
