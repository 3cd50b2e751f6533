#!/bin/bash
# Runs the real game in Xvfb + openbox, takes screenshots of the whole screen
# and measures the game's CPU use and peak memory on the main menu and while
# suspended (another window has the focus). Run by hand, not by ctest:
#
#   measure_under_xvfb.sh GAME_BINARY DATA_FOLDER OUT_FOLDER [WIDTHxHEIGHT] [SECONDS]
#
# Every process it starts is ended by its id.
set -u
game=$(realpath "$1"); data=$(realpath "$2"); out=$(mkdir -p "$3" && realpath "$3")
size=${4:-1024x768}; seconds=${5:-20}
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null; done; wait 2>/dev/null; }
trap cleanup EXIT

fdfile=$(mktemp)
Xvfb -displayfd 5 -screen 0 "${size}x24" -nolisten tcp 5>"$fdfile" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$fdfile" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$fdfile"); rm -f "$fdfile"
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

cd "$data" || exit 1
SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy} "$game" 2>"$out/game-stderr.txt" &
gamepid=$!
pids+=($gamepid)
sleep 3

# CPU share (of one core) and peak resident memory over $seconds.
measure() {
    local t0 t1
    t0=$(awk '{print $14 + $15}' /proc/$gamepid/stat)
    sleep "$seconds"
    t1=$(awk '{print $14 + $15}' /proc/$gamepid/stat)
    local hz; hz=$(getconf CLK_TCK)
    echo "$1: cpu $(awk -v a="$t0" -v b="$t1" -v hz="$hz" -v s="$seconds" 'BEGIN{printf "%.2f%%", 100*(b-a)/hz/s}')," \
         "$(grep VmHWM /proc/$gamepid/status | tr -s ' ')"
}

xdotool mousemove 500 400
sleep 0.5
import -window root "$out/menu.png"
measure "menu"

# Minimising the game takes the focus away: the game suspends.
wid=$(xdotool search --name '^Tavrin$' | head -1)
xdotool windowminimize --sync "$wid"
sleep 1
import -window root "$out/suspended.png"
measure "suspended"

xdotool windowactivate --sync "$wid" 2>/dev/null
sleep 1
import -window root "$out/resumed.png"

kill -TERM "$gamepid"
wait "$gamepid"
echo "game exit code $?"
