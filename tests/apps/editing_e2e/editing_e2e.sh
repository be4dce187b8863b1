#!/usr/bin/env bash
# The editing road as a person takes it: the real server and client run in a
# scratch copy of the assets, the client window under Xvfb is driven with real
# X mouse and keyboard events, and the ship file is read back from disk.
#   1. Admin menu -> Ship editor; Top speed of Frigate One := 512.5; Save.
#      Both copies hold 512.5, every other line of the file is unchanged.
#   2. Top speed := "nan", Save; then "12abc", Save. Both are refused by name
#      and neither copy changes.
#   3. Battleship Two (eight slots) gets three more; the rows scroll so that
#      the eleventh shows where the eighth was; its x := 42.5; Save. Both
#      copies hold eleven slots, the last at x 42.5.
# Usage: editing_e2e.sh <build dir> <source dir>
# Logs (and a screenshot when ImageMagick is present) are left in
# <build dir>/tests/editing_e2e/ for a look after a failure.
set -euo pipefail

build_dir=$(realpath "$1")
source_dir=$(realpath "$2")

# Window-relative positions on the fixed 1280x720 window.
readonly ship_editor_button=(640 218)
readonly top_speed_field=(691 162)
readonly save_button=(1194 38)
readonly battleship_two_entry=(95 441)
readonly add_slot_button=(1109 212)
readonly last_row_x_field=(727 676)

readonly ship_file=assets/ships/frigate_one/frigate_one.json
readonly deadline=$((SECONDS + 100))  # ctest's own timeout is 120 s

say() { echo "editing_e2e: $*"; }
fail() {
    echo "editing_e2e: FAIL: $*" >&2
    exit 1
}

for tool in Xvfb xdotool setpriv; do
    command -v "$tool" >/dev/null || fail "$tool is missing; run scripts/setup"
done

scratch=$(mktemp -d /tmp/voidlance_editing_e2e.XXXXXX)
artifacts="$build_dir/tests/editing_e2e"
xvfb_pid="" server_pid="" client_pid=""

# Stops one process: the given signal, then SIGKILL after 5 s.
stop() { # <pid> <signal>
    local pid=$1 signal=$2
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
    kill -s "$signal" "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -s KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    stop "$client_pid" INT
    stop "$server_pid" INT
    stop "$xvfb_pid" TERM
    rm -rf "$artifacts"
    mkdir -p "$artifacts"
    cp "$scratch"/*.log "$scratch"/*.png "$artifacts"/ 2>/dev/null || true
    rm -rf "$scratch"
    say "took $SECONDS s; logs in $artifacts"
    exit "$status"
}
trap cleanup EXIT
trap 'fail "interrupted"' INT TERM

# Every child gets SIGTERM when this script dies, even by SIGKILL (ctest's
# timeout), so nothing outlives it. Run with `&`, the exec makes the program
# itself this script's child and $! its process id.
orphan_proof() { exec setpriv --pdeathsig TERM -- "$@"; }

# Waits until `condition` succeeds; fails with `what` after `limit` seconds
# or at the overall deadline.
wait_until() { # <limit seconds> <what> <condition...>
    local limit=$1 what=$2
    shift 2
    local end=$((SECONDS + limit))
    [ "$end" -le "$deadline" ] || end=$deadline
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || fail "timed out waiting for $what"
        sleep 0.1
    done
}

# Log lines since a byte offset, so each step only sees what it caused.
# grep reads the whole rest of the log (-c, never -q): under pipefail, a grep
# that stops at its first match lets tail die of SIGPIPE and fails the check
# although the line is there.
log_size() { stat -c %s "$1"; }
logged_times_since() { # <log> <offset> <fixed text> <count>
    [ "$(tail -c +"$(($2 + 1))" "$1" | grep -cF -- "$3")" -ge "$4" ]
}
logged_since() { logged_times_since "$1" "$2" "$3" 1; } # <log> <offset> <fixed text>

# The client writes a line for each loop pass and many per tick; keep only
# the lines this test reads or a person would need after a failure.
client_log_filter() {
    LC_ALL=C awk '/\] \[info\] / && !/admin_menu:|editor|wrote|save|Save|number|Calling on_tick callbacks|Starting app loop$|App loop ended|exited|Mode:|created|connected/ { next }
                  { print; fflush() }'
}
# The server logs every pass; keep the first line of each client count.
server_log_filter() {
    LC_ALL=C awk '/Connected clients: / { if ($NF in seen) next; seen[$NF] = 1 }
                  /\] \[info\] / && !/Connected clients|Mode:|listen|client/ { next }
                  { print; fflush() }'
}

# --- A scratch copy laid out like the checkout: build/voidlance, build/assets, src/assets.
mkdir -p "$scratch/build" "$scratch/src"
cp "$build_dir/voidlance" "$scratch/build/"
cp -r "$build_dir/assets" "$scratch/build/"
cp -r "$source_dir/src/assets" "$scratch/src/"
cd "$scratch"
readonly src_copy="src/$ship_file" build_copy="build/$ship_file"
[ -f "$src_copy" ] && [ -f "$build_copy" ] || fail "no $ship_file in the checkout or the build"
cp "$src_copy" original.json
checkout_sum=$(sha256sum <"$source_dir/src/$ship_file")

# --- Xvfb on a display it finds free itself.
exec {display_fd}>display.txt
orphan_proof Xvfb -displayfd "$display_fd" -screen 0 1280x720x24 -nolisten tcp >xvfb.log 2>&1 &
xvfb_pid=$!
exec {display_fd}>&-
wait_until 10 "Xvfb to report its display" grep -q '^[0-9]' display.txt
export DISPLAY=":$(head -n 1 display.txt)"
unset WAYLAND_DISPLAY
export SDL_VIDEO_DRIVER=x11
say "Xvfb on $DISPLAY"

# --- The server on the game's port. Another run's test may hold the port for
# a few seconds. The client joins whatever listens there, so without a server
# of its own the road is skipped (77) rather than join someone else's.
server_ready=false
for attempt in 1 2 3 4; do
    : >server.log
    MODE=SERVER orphan_proof ./build/voidlance > >(server_log_filter >server.log) 2>&1 &
    server_pid=$!
    wait_until 15 "the server to listen or give up" \
        grep -qE 'Connected clients: 0|Failed to listen' server.log
    if grep -q 'Connected clients: 0' server.log; then
        server_ready=true
        break
    fi
    stop "$server_pid" INT
    server_pid=""
    say "port 1234 is held elsewhere (attempt $attempt)"
    sleep 5
done
if ! $server_ready; then
    say "SKIPPED: port 1234 stayed held elsewhere; the client would join that server"
    exit 77
fi

# --- The client, its window and its first frames.
MODE=CLIENT orphan_proof ./build/voidlance > >(client_log_filter >client.log) 2>&1 &
client_pid=$!
wait_until 20 "the client's loop" grep -q 'Starting app loop$' client.log
# Only now: making the renderer may destroy the first X window and make
# another with the same title, so a window found earlier can be gone.
window=""
find_window() {
    window=$(xdotool search --onlyvisible --name '^voidlance$' 2>/dev/null | tail -n 1) &&
        [ -n "$window" ] && xdotool getwindowgeometry "$window" >/dev/null 2>&1
}
wait_until 20 "the voidlance window" find_window

# Rendering a tick lays out the pages shown in it, so a page shown at one tick
# takes clicks from the tick after next.
wait_ticks() { # <count>
    local from
    from=$(log_size client.log)
    wait_until 10 "$1 client ticks" logged_times_since client.log "$from" 'Calling on_tick callbacks' "$1"
}
click() { # <x> <y>, window-relative
    xdotool mousemove --window "$window" "$1" "$2" click 1
}
screenshot() { # <name>
    if command -v import >/dev/null; then
        timeout 10 import -window "$window" "$1.png" || true
    fi
}

wait_ticks 3
from=$(log_size client.log)
for attempt in 1 2 3; do
    click "${ship_editor_button[@]}"
    wait_ticks 3
    logged_since client.log "$from" 'admin_menu: on_open_ship_editor' && break
done
logged_since client.log "$from" 'admin_menu: on_open_ship_editor' ||
    fail "the Ship editor button of the admin menu did not answer"
wait_ticks 3

# Empties the Top speed field, types `text` and presses Save.
enter_top_speed_and_save() { # <text>
    click "${top_speed_field[@]}"
    wait_ticks 2
    xdotool key --delay 20 End $(printf 'BackSpace %.0s' $(seq 24))
    xdotool type --delay 40 -- "$1"
    wait_ticks 2
    screenshot "typed_$1"
    click "${save_button[@]}"
}

# --- 1. A new Top speed reaches both copies; nothing else in them changes.
enter_top_speed_and_save 512.5
readonly speed_line='    "max_speed": 512.5,'
both_copies_saved() { grep -qxF -- "$speed_line" "$src_copy" && grep -qxF -- "$speed_line" "$build_copy"; }
wait_until 10 "Top speed 512.5 in both copies of $ship_file" both_copies_saved
for copy in "$src_copy" "$build_copy"; do
    diff <(grep -vF '"max_speed"' original.json) <(grep -vF '"max_speed"' "$copy") >/dev/null ||
        fail "saving Top speed alone changed other lines of $copy:
$(diff <(grep -vF '"max_speed"' original.json) <(grep -vF '"max_speed"' "$copy") | head -n 20)"
done
wait_ticks 2
screenshot saved
say "Top speed 512.5 saved to both copies"
cp "$src_copy" saved_src.json
cp "$build_copy" saved_build.json

# --- 2. Text that is not wholly a number is refused by the field's label.
refused_or_written() { # <log offset>
    logged_since client.log "$1" 'is not a number' || ! cmp -s saved_src.json "$src_copy"
}
for text in nan 12abc; do
    from=$(log_size client.log)
    enter_top_speed_and_save "$text"
    wait_until 10 "the save of Top speed '$text' to be refused or written" refused_or_written "$from"
    wait_ticks 2
    screenshot "refused_$text"
    cmp -s saved_src.json "$src_copy" || fail "Top speed '$text' was saved: $(grep -F '"max_speed"' "$src_copy")"
    cmp -s saved_build.json "$build_copy" || fail "Top speed '$text' changed $build_copy"
    logged_since client.log "$from" 'Top speed is not a number' ||
        fail "the refusal of '$text' does not name the Top speed field:
$(tail -c +"$((from + 1))" client.log | grep -F 'not a number')"
    say "Top speed '$text' refused; both copies unchanged"
done

# --- 3. An added slot past the eighth comes into view and takes a typed x.
readonly battleship_file=assets/ships/battleship_two/battleship_two.json
click "${battleship_two_entry[@]}"
wait_ticks 2
for _ in 1 2 3; do
    click "${add_slot_button[@]}"
    wait_ticks 2
done
click "${last_row_x_field[@]}"
wait_ticks 2
xdotool key --delay 20 ctrl+a
xdotool type --delay 40 -- 42.5
wait_ticks 2
screenshot slot_11_typed
click "${save_button[@]}"
eleven_slots_saved() { # <copy>
    [ "$(grep -c '"mount_type"' "$1")" -eq 11 ] && [ "$(grep -cF '"pos_x": 42.5,' "$1")" -eq 1 ]
}
wait_until 10 "eleven slots in src/$battleship_file" eleven_slots_saved "src/$battleship_file"
eleven_slots_saved "build/$battleship_file" || fail "build/$battleship_file does not hold the eleven slots"
[ "$(grep -A1 -F '"pos_x": 42.5,' "build/$battleship_file" | tail -n 1)" = '            "pos_y": 0.0,' ] ||
    fail "x 42.5 went to another slot than the added one"
wait_ticks 2
screenshot slot_11_saved
say "slot 11 of Battleship Two came into view and saved x 42.5 to both copies"

[ "$(sha256sum <"$source_dir/src/$ship_file")" = "$checkout_sum" ] || fail "the checkout's own $ship_file changed"
say "passed"
