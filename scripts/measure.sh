#!/usr/bin/env bash
# Measures Quillmara against three peg-solitaire games from Debian's packages
# (peg-e, sgt-puzzles' pegs, pegsolitaire), all in one run on one Xvfb
# screen of 1024x768 with openbox, and prints one table:
#
#   scripts/measure.sh [RUN_FOLDER]      (default: build/run)
#
# Every game runs with one D-Bus session bus (dbus-daemon --session), as on
# any desktop.
#
# Per game: time from exec to a mapped, viewable window (median of $RUNS
# starts: scripts/window_maps.py logs the moment the window manager maps the
# window, against a timestamp the game's shell takes right before its exec;
# the script starts no process of its own during the first $START_QUIET s of
# a start, so that every game has the two cores to itself); for Quillmara
# also to its first presented frame, and a table of each stage of its
# start-up trace (QM_TRACE_FIRST_PRESENT) against the same timestamp;
# CPU share of one core on the first screen over $SPAN seconds, with the
# pointer moving over the window for $SPAN seconds, and (Quillmara only)
# minimised; peak resident memory (VmHWM). CPU is the scheduler's run time of
# all of the process's threads (/proc/PID/task/*/schedstat), not tick
# samples. Quillmara runs with SDL_AUDIODRIVER=dummy: a real mixer thread
# and no sound server. A game that is not installed is skipped with a note
# (apt-get install peg-e sgt-puzzles pegsolitaire; not part of the project's
# dependencies). Every process the script starts is ended by its id.
#
# GAMES="quillmara sgt-pegs" measures only the games it names.
#
#   scripts/measure.sh --desktops [RUN_FOLDER]
#
# measures Quillmara alone on two desktops back to back, $ROUNDS times in
# turn: X11 (the Xvfb above, with openbox) and Wayland (weston's X11 backend
# in a second 1024x768 Xvfb without a window manager, the game on SDL's
# wayland driver), there on both presenting paths: wl_shm, the game's own
# choice, and SDL's window surface (SDL_FRAMEBUFFER_ACCELERATION=1). Per
# desktop: the game's CPU idle and with the pointer moving, the display
# server's CPU (Xvfb; weston plus the Xvfb it draws into), and the game's
# peak resident memory.
set -u
cd "$(dirname "$0")/.."
mode=games
if [ "${1:-}" = --desktops ]; then
    mode=desktops
    shift
fi
run_dir=$(realpath "${1:-build/run}")
ROUNDS=${ROUNDS:-2}
RUNS=${RUNS:-5}
START_QUIET=${START_QUIET:-1}
SPAN=${SPAN:-20}
[ -x "$run_dir/quillmara" ] || { echo "no game in $run_dir (build it first)" >&2; exit 2; }
tools=(Xvfb openbox xdotool python3 dbus-daemon)
[ "$mode" = desktops ] && tools+=(weston)
for tool in "${tools[@]}"; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
done

work=$(mktemp -d /tmp/quillmara-measure-XXXXXX)
pids=()        # the X server and the window manager, for the whole run
game_pid=""    # the game running now, if any
mover=""       # the pointer mover running now, if any
cleanup() {
    for p in $game_pid $mover "${pids[@]}"; do kill "$p" 2>/dev/null; done
    for p in $game_pid $mover "${pids[@]}"; do wait "$p" 2>/dev/null; done
    rm -rf "$work"
}
trap cleanup EXIT

# ------------------------------------------------------------ the X server
fdfile=$work/display
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$fdfile" 2>/dev/null &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do [ -s "$fdfile" ] && break; sleep 0.05; done
[ -s "$fdfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(head -1 "$fdfile")
openbox >/dev/null 2>&1 &
pids+=($!)
# One session bus for every game, as every desktop has one.
dbus-daemon --session --nofork --print-address=6 6>"$work/bus.address" >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus.address" ] && break; sleep 0.05; done
[ -s "$work/bus.address" ] || { echo "dbus-daemon did not start" >&2; exit 1; }
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus.address")
sleep 1
maps=$work/maps.log
python3 scripts/window_maps.py "$maps" >"$work/maps.ready" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do grep -q ready "$work/maps.ready" && break; sleep 0.05; done
grep -q ready "$work/maps.ready" || { echo "scripts/window_maps.py did not start" >&2; exit 1; }

# -------------------------------------------------------------- helpers
# Run time in nanoseconds of every thread of a process so far.
runtime_ns() {
    local sum=0 t
    for t in /proc/"$1"/task/*/schedstat; do
        read -r ns _ <"$t" 2>/dev/null && sum=$((sum + ns))
    done
    echo "$sum"
}

# CPU share (percent of one core) of process $1 over $2 seconds.
cpu_over() {
    local a b
    a=$(runtime_ns "$1")
    sleep "$2"
    b=$(runtime_ns "$1")
    awk -v a="$a" -v b="$b" -v s="$2" 'BEGIN { printf "%.2f", 100 * (b - a) / 1e9 / s }'
}

# A pause without starting a process. `sleep` is a program: starting one
# (or xdotool, or grep) while a game starts takes CPU from it on these two
# cores, so nothing is started until the game has had $START_QUIET seconds.
mkfifo "$work/nap"
exec {nap_fd}<>"$work/nap"
nap() { read -r -t "$1" -u "$nap_fd" _ || true; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) print "-"; else if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Starts game $1 in the background with a fresh HOME; sets $game_pid. The
# subshell writes the time, in microseconds, to $work/exec_at right before
# it becomes the game: the start-up figures count from there, so the
# script's own work (the fork, the folder) is in no game's figure.
start_game() {
    local home=$work/home-$1
    mkdir -p "$home"
    case $1 in
        quillmara)
            (cd "$run_dir" && echo "${EPOCHREALTIME/./}" >"$work/exec_at" &&
                HOME=$home SDL_AUDIODRIVER=dummy QM_TRACE_FIRST_PRESENT=1 exec ./quillmara) 2>"$work/quillmara.err" &
            ;;
        *)
            (cd "$home" && echo "${EPOCHREALTIME/./}" >"$work/exec_at" &&
                HOME=$home NO_AT_BRIDGE=1 exec "${commands[$1]}") >/dev/null 2>&1 &
            ;;
    esac
    game_pid=$!
}

stop_game() {
    kill -TERM "$1" 2>/dev/null
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.05; done
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
    game_pid=""
}

# The first visible window of process $1 (empty when none within 10 s).
# Polled gently: the start-up time comes from the map log, and a busy poll
# would take the two cores from the program starting.
wait_visible() {
    local deadline=$((SECONDS + 10)) wid
    while [ $SECONDS -lt $deadline ]; do
        sleep 0.05
        wid=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1)
        [ -n "$wid" ] && { echo "$wid"; return; }
    done
}

# When window $1 (decimal id) became viewable, in microseconds since the
# epoch: the map of the top-level window that holds it.
mapped_at() {
    awk -v w="$1" '{ for (i = 2; i <= NF; i++) if ($i == w) { print $1; exit } }' "$maps"
}

# One xdotool process moving the pointer over the window every 50 ms for
# $SPAN seconds, in a loop across its middle; on X display $5 if given.
pointer_moves() {
    local x=$1 y=$2 w=$3 h=$4 display=${5:-$DISPLAY} args=() i
    for ((i = 0; i < SPAN * 20; i++)); do
        args+=(mousemove $((x + w / 4 + (i % 40) * w / 80)) $((y + h / 3 + (i % 20) * h / 60)) sleep 0.05)
    done
    DISPLAY=$display xdotool "${args[@]}" &
    mover=$!
}

# Run time in nanoseconds of several processes together.
runtime_all_ns() {
    local sum=0 p
    for p in "$@"; do sum=$((sum + $(runtime_ns "$p"))); done
    echo "$sum"
}

percent() { awk -v a="$1" -v b="$2" -v s="$3" 'BEGIN { printf "%.2f", 100 * (b - a) / 1e9 / s }'; }

# ------------------------------------------------- X11 against Wayland
measure_desktops() {
    local wfd=$work/wayland-display runtime=$work/runtime socket=quillmara-measure
    mkdir -m 700 "$runtime"
    Xvfb -displayfd 6 -screen 0 1024x768x24 -nolisten tcp 6>"$wfd" 2>/dev/null &
    local wxvfb=$!
    pids+=("$wxvfb")
    for _ in $(seq 100); do [ -s "$wfd" ] && break; sleep 0.05; done
    [ -s "$wfd" ] || { echo "the second Xvfb did not start" >&2; exit 1; }
    local wdisplay=:$(head -1 "$wfd")
    DISPLAY=$wdisplay XDG_RUNTIME_DIR=$runtime weston --backend=x11-backend.so --socket=$socket --width=1024 \
        --height=768 --use-pixman --idle-time=0 >/dev/null 2>&1 &
    local weston=$!
    pids+=("$weston")
    for _ in $(seq 200); do [ -S "$runtime/$socket" ] && break; sleep 0.05; done
    [ -S "$runtime/$socket" ] || { echo "weston did not start" >&2; exit 1; }
    mkdir -p "$work/home-desktops"

    declare -A idle_runs pointer_runs server_idle_runs server_pointer_runs peak
    local round desktop servers display a b
    for ((round = 0; round < ROUNDS; round++)); do
        for desktop in x11 weston weston_sdl; do
            echo "measuring quillmara on $desktop (round $((round + 1)) of $ROUNDS) ..." >&2
            if [ "$desktop" = x11 ]; then
                (cd "$run_dir" && HOME=$work/home-desktops SDL_AUDIODRIVER=dummy exec ./quillmara) 2>/dev/null &
                servers=("$xvfb")
                display=$DISPLAY
            else
                local surface=()
                [ "$desktop" = weston_sdl ] && surface=(SDL_FRAMEBUFFER_ACCELERATION=1)
                (cd "$run_dir" && exec env -u DISPLAY HOME="$work/home-desktops" SDL_AUDIODRIVER=dummy \
                    SDL_VIDEODRIVER=wayland WAYLAND_DISPLAY=$socket XDG_RUNTIME_DIR="$runtime" "${surface[@]}" \
                    ./quillmara) 2>/dev/null &
                servers=("$weston" "$wxvfb")
                display=$wdisplay
            fi
            game_pid=$!
            sleep 3
            DISPLAY=$display xdotool mousemove 512 384
            sleep 2
            a=$(runtime_ns "$game_pid") b=$(runtime_all_ns "${servers[@]}")
            sleep "$SPAN"
            idle_runs[$desktop]+="$(percent "$a" "$(runtime_ns "$game_pid")" "$SPAN") "
            server_idle_runs[$desktop]+="$(percent "$b" "$(runtime_all_ns "${servers[@]}")" "$SPAN") "
            pointer_moves 0 0 1024 768 "$display"
            a=$(runtime_ns "$game_pid") b=$(runtime_all_ns "${servers[@]}")
            sleep "$SPAN"
            pointer_runs[$desktop]+="$(percent "$a" "$(runtime_ns "$game_pid")" "$SPAN") "
            server_pointer_runs[$desktop]+="$(percent "$b" "$(runtime_all_ns "${servers[@]}")" "$SPAN") "
            wait "$mover" 2>/dev/null
            mover=""
            peak[$desktop]=$(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' /proc/"$game_pid"/status)
            stop_game "$game_pid"
        done
    done

    echo
    echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
         "1024x768x24, no GPU; $ROUNDS rounds of X11 then weston (wl_shm, then SDL's surface), CPU over ${SPAN} s each" \
         "(rounds in order)"
    echo
    echo "| desktop | game CPU idle (%) | game CPU pointer moving (%) | display server CPU idle (%) | display server CPU pointer moving (%) | game peak RSS (MB) |"
    echo "|---|---|---|---|---|---|"
    echo "| X11 (Xvfb, openbox) | ${idle_runs[x11]% } | ${pointer_runs[x11]% } | ${server_idle_runs[x11]% } |" \
         "${server_pointer_runs[x11]% } | ${peak[x11]} |"
    echo "| Wayland (weston, pixman, in Xvfb), wl_shm | ${idle_runs[weston]% } | ${pointer_runs[weston]% } |" \
         "${server_idle_runs[weston]% } | ${server_pointer_runs[weston]% } | ${peak[weston]} |"
    echo "| Wayland, SDL's window surface | ${idle_runs[weston_sdl]% } | ${pointer_runs[weston_sdl]% } |" \
         "${server_idle_runs[weston_sdl]% } | ${server_pointer_runs[weston_sdl]% } | ${peak[weston_sdl]} |"
}

if [ "$mode" = desktops ]; then
    measure_desktops
    exit 0
fi

# --------------------------------------------------------------- the games
declare -A commands=([quillmara]="" [peg-e]=/usr/games/peg-e [sgt-pegs]=/usr/games/sgt-pegs
                     [pegsolitaire]=/usr/games/pegsolitaire)
declare -A packages=([peg-e]=peg-e [sgt-pegs]=sgt-puzzles [pegsolitaire]=pegsolitaire)
order=(${GAMES:-quillmara peg-e sgt-pegs pegsolitaire})
declare -A window_ms frame_ms idle pointer suspended hwm notes

for game in "${order[@]}"; do
    if [ "$game" != quillmara ] && [ ! -x "${commands[$game]}" ]; then
        notes[$game]="not installed (apt-get install ${packages[$game]}): skipped"
        continue
    fi
    echo "measuring $game ..." >&2

    # Start-up, $RUNS times.
    starts=() frames=()
    for ((run = 0; run < RUNS; run++)); do
        : >"$maps"
        : >"$work/exec_at"
        start_game "$game"
        nap "$START_QUIET"
        t0=""
        read -r t0 <"$work/exec_at"
        wid=$(wait_visible "$game_pid")
        t1=$(mapped_at "$wid")
        if [ -z "$wid" ] || [ -z "$t1" ] || [ -z "$t0" ]; then
            notes[$game]="no visible window within 10 s"
            stop_game "$game_pid"
            break
        fi
        starts+=($(((t1 - t0) / 1000)))
        if [ "$game" = quillmara ]; then
            for _ in $(seq 100); do grep -q 'first frame presented' "$work/quillmara.err" && break; sleep 0.02; done
            ns=$(sed -n 's/.*first frame presented at \([0-9]*\) ns.*/\1/p' "$work/quillmara.err" | head -1)
            [ -n "$ns" ] && frames+=($(((ns / 1000 - t0) / 1000)))
            # Each stage of the trace against the same stamp: run, ms, stage.
            sed -n 's/^quillmara: start-up: \(.*\) at \([0-9]*\) ns$/\2\t\1/p
                    s/^quillmara: \(first frame presented\) at \([0-9]*\) ns$/\2\t\1/p' "$work/quillmara.err" |
                awk -F'\t' -v t0="$t0" -v run="$run" '{ printf "%d\t%.1f\t%s\n", run, ($1 / 1000 - t0) / 1000, $2 }' \
                    >>"$work/trace.tsv"
        fi
        sleep 0.5
        stop_game "$game_pid"
    done
    [ ${#starts[@]} -eq 0 ] && continue
    window_ms[$game]=$(printf '%s\n' "${starts[@]}" | median)
    frame_ms[$game]=$(printf '%s\n' "${frames[@]}" | median)
    [ "$game" = quillmara ] || frame_ms[$game]="-"

    # Idle, pointer moving, suspended: one instance.
    start_game "$game"
    wid=$(wait_visible "$game_pid")
    sleep 2
    eval "$(xdotool getwindowgeometry --shell "$wid")"  # X, Y, WIDTH, HEIGHT
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2))
    sleep 2
    idle[$game]=$(cpu_over "$game_pid" "$SPAN")
    xvfb_idle=$(cpu_over "$xvfb" 5)
    pointer_moves "$X" "$Y" "$WIDTH" "$HEIGHT"
    xvfb_before=$(runtime_ns "$xvfb")
    pointer[$game]=$(cpu_over "$game_pid" "$SPAN")
    xvfb_after=$(runtime_ns "$xvfb")
    wait "$mover" 2>/dev/null
    mover=""
    notes[$game]="Xvfb ${xvfb_idle}% idle, $(awk -v a="$xvfb_before" -v b="$xvfb_after" -v s="$SPAN" \
        'BEGIN { printf "%.2f", 100 * (b - a) / 1e9 / s }')% with the pointer moving"
    if [ "$game" = quillmara ]; then
        xdotool windowminimize --sync "$wid"
        sleep 1
        suspended[$game]=$(cpu_over "$game_pid" "$SPAN")
        notes[$game]="${notes[$game]}; SDL_AUDIODRIVER=dummy"
    else
        suspended[$game]="-"
    fi
    hwm[$game]=$(awk '/VmHWM/ { printf "%.1f", $2 / 1024 }' /proc/"$game_pid"/status)
    stop_game "$game_pid"
done

# ------------------------------------------------------------------ table
echo
echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, $(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)," \
     "Xvfb 1024x768x24, openbox, a session bus, no GPU; medians of $RUNS starts; CPU over ${SPAN} s"
echo
echo "| game | exec to visible window (ms) | exec to first frame (ms) | CPU idle (%) | CPU pointer moving (%) | CPU minimised (%) | peak RSS (MB) | notes |"
echo "|---|---|---|---|---|---|---|---|"
for game in "${order[@]}"; do
    if [ -z "${window_ms[$game]:-}" ]; then
        echo "| $game | - | - | - | - | - | - | ${notes[$game]:-} |"
        continue
    fi
    echo "| $game | ${window_ms[$game]} | ${frame_ms[$game]} | ${idle[$game]} | ${pointer[$game]} | ${suspended[$game]} |" \
         "${hwm[$game]} | ${notes[$game]} |"
done

# Ratios from this one run: Quillmara against each other game.
if [ -n "${window_ms[quillmara]:-}" ]; then
    echo
    for game in peg-e sgt-pegs pegsolitaire; do
        [ -n "${window_ms[$game]:-}" ] || continue
        awk -v g="$game" -v w1="${window_ms[quillmara]}" -v w2="${window_ms[$game]}" -v m1="${hwm[quillmara]}" \
            -v m2="${hwm[$game]}" 'BEGIN { printf "quillmara / %s: start-up %.2f x, peak memory %.2f x\n", g, w1 / w2, m1 / m2 }'
    done
    # Against the peer whose window came first: Quillmara's window, and its
    # first picture, each over that peer's exec to window.
    fastest=""
    for game in peg-e sgt-pegs pegsolitaire; do
        [ -n "${window_ms[$game]:-}" ] || continue
        if [ -z "$fastest" ] || awk -v a="${window_ms[$game]}" -v b="${window_ms[$fastest]}" 'BEGIN { exit !(a < b) }'; then
            fastest=$game
        fi
    done
    [ -n "$fastest" ] && awk -v g="$fastest" -v p="${window_ms[$fastest]}" -v w="${window_ms[quillmara]}" \
        -v f="${frame_ms[quillmara]}" 'BEGIN { printf "against the fastest window (%s, %s ms): window %.2f x, first picture %.2f x\n", g, p, w / p, f / p }'
fi

# Where Quillmara's start-up goes: each stage of its trace, as the median of
# its runs, in milliseconds from the stamp taken right before exec.
if [ -s "$work/trace.tsv" ]; then
    echo
    echo "Quillmara's start-up (QM_TRACE_FIRST_PRESENT), ms from exec, medians of $RUNS starts:"
    echo
    echo "| stage | from exec (ms) | since the stage before (ms) |"
    echo "|---|---|---|"
    awk -F'\t' '
        !($3 in count) { order[++stages] = $3 }
        { count[$3]++; value[$3, count[$3]] = $2 }
        END {
            before = 0
            for (s = 1; s <= stages; s++) {
                name = order[s]; n = count[name]
                for (i = 1; i <= n; i++) v[i] = value[name, i]
                for (i = 2; i <= n; i++) for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
                m = n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
                printf "| %s | %.1f | %.1f |\n", name, m, m - before
                before = m
            }
        }' "$work/trace.tsv"
fi
