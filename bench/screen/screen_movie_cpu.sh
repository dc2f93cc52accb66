#!/bin/bash
# CPU use of the control program in Screen Movie, where every frame (25 a second) asks
# for the screen's colour: runs veltrima-rgb-control on the X server of DISPLAY with the
# virtual DIMM HAL in throw-away XDG folders, puts every module in Screen Movie, checks
# that the modules show the screen's colour, then reports over the measured interval the
# program's CPU (user + system), that of its screen sampler thread and how often that
# thread ran, and the X server's CPU. For comparison the same follows with the modules
# in Static, where nothing samples the screen.
#
#   xvfb-run -a -s "-screen 0 1920x1080x24" bench/screen/screen_movie_cpu.sh <build>/bin [seconds=60] [modules=4]
set -u

bin=${1:?usage: screen_movie_cpu.sh <bin folder> [seconds] [modules]}
seconds=${2:-60}
modules=${3:-4}
settle=3

[ -n "${DISPLAY:-}" ] || { echo "needs an X server (DISPLAY), e.g. under xvfb-run" >&2; exit 1; }
. "$(dirname "$0")/../bench-lib.sh"
bin=$(cd "$bin" && pwd) || exit 1
bench_require "$bin" veltrima-rgb-control veltrima-hal-register veltrima-hal-view veltrima-channel
command -v xsetroot >/dev/null || { echo "missing xsetroot (x11-xserver-utils)" >&2; exit 1; }
bench_folders screen-cpu xcb
bench_virtual_modules "$bin" "$modules" || exit 1

# The X server of DISPLAY: the Xvfb or Xorg whose command line names the display.
display=${DISPLAY%%.*}
server=
for dir in /proc/[0-9]*; do
    cmd=$({ tr '\0' ' ' < "$dir/cmdline"; } 2>/dev/null) || continue
    case "$cmd" in
    *Xvfb\ *"$display "* | *Xorg\ *"$display "*) server=${dir#/proc/}; break ;;
    esac
done

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!
bench_own "$pid"

# Run time in nanoseconds of all threads of a process, or of its threads named $2.
run_ns() {
    local total=0 task
    for task in /proc/"$1"/task/*; do
        [ -z "${2:-}" ] || [ "$(cat "$task/comm" 2>/dev/null)" = "$2" ] || continue
        set -- "$1" "${2:-}" $(cat "$task/schedstat" 2>/dev/null)
        total=$(( total + ${3:-0} ))
    done
    echo "$total"
}
# The thread ids of a process's threads named $2.
threads_named() {
    local task
    for task in /proc/"$1"/task/*; do
        [ "$(cat "$task/comm" 2>/dev/null)" = "$2" ] && echo "${task##*/}"
    done
}

set_all() { # <mode>
    local m
    for m in $(seq 0 $((modules - 1))); do
        "$bin/veltrima-channel" set-lighting "$m" "$1" 0 2 on >/dev/null || return 1
    done
}

measure() { # <label>
    local own0 screen0 x0 t0 own1 screen1 x1 t1
    own0=$(run_ns "$pid"); screen0=$(run_ns "$pid" screen)
    x0=$([ -n "$server" ] && run_ns "$server" || echo 0); t0=$(bench_now_ns)
    sleep "$seconds"
    own1=$(run_ns "$pid"); screen1=$(run_ns "$pid" screen)
    x1=$([ -n "$server" ] && run_ns "$server" || echo 0); t1=$(bench_now_ns)
    kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended during the run" >&2; exit 1; }
    awk -v label="$1" -v own=$((own1 - own0)) -v screen=$((screen1 - screen0)) \
        -v x=$((x1 - x0)) -v ns=$((t1 - t0)) -v server="$server" 'BEGIN {
        s = ns / 1e9
        printf "%s, %.1f s measured\n", label, s
        printf "  veltrima-rgb-control: %.3f s CPU = %.2f %% of one core\n", own / 1e9, 100 * own / ns
        printf "  its screen thread:    %.3f s CPU = %.3f %% of one core\n", screen / 1e9, 100 * screen / ns
        if (server != "") printf "  X server:             %.3f s CPU = %.2f %% of one core\n", x / 1e9, 100 * x / ns
    }'
}

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

# Only now: an X server without clients resets its root window to black.
xsetroot -solid '#c86432' # 200, 100, 50: at half brightness #643219
set_all 30 || exit 1
shown=
for _ in $(seq 100); do
    shown=$("$bin/veltrima-hal-view" | grep -c '#643219') && break
    sleep 0.1
done
[ "${shown:-0}" -ge 1 ] || {
    echo "the modules never showed the screen's colour:" >&2; "$bin/veltrima-hal-view" >&2; cat "$root/control.log" >&2; exit 1; }
measure "Screen Movie on $modules modules, screen $(xdpyinfo 2>/dev/null | awk '/dimensions/ { print $2 }')"

# Samplings a second: each sends its strip requests to the X server in one write. strace
# slows the program, so this comes after the CPU measurement.
if command -v strace >/dev/null; then
    tid=$(threads_named "$pid" screen | head -n 1)
    timeout -s INT 10 strace -c -e trace=writev -p "$tid" -o "$root/strace.txt" 2>/dev/null
    awk '$NF == "writev" { n += $4 }
         END { printf "  samplings: %.1f a second (X requests written by the screen thread over 10 s)\n", n / 10 }' \
        "$root/strace.txt"
fi

set_all 6 || exit 1
sleep "$settle"
measure "Static on $modules modules (no screen sampling)"
