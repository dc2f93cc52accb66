#!/bin/bash
# Whole-process CPU cost of the control program: runs veltrima-rgb-control with the
# virtual DIMM HAL and the scenario sensors in throw-away XDG folders, lets it settle,
# then reports the CPU time it used over the measured interval (user + system, from
# /proc/<pid>/stat), the colour calls each virtual module received per second and the
# threads it had. With strace installed it then counts, for 10 s more, the threads the
# program creates while running (clone and clone3 calls; strace slows the program, so
# this comes after the CPU measurement).
#
#   bench/engine/control_cpu.sh <build>/bin [seconds=20] [modules=4]
set -u

bin=${1:?usage: control_cpu.sh <bin folder> [seconds] [modules]}
seconds=${2:-20}
modules=${3:-4}
settle=3

bin=$(cd "$bin" && pwd) || exit 1
for program in veltrima-rgb-control veltrima-hal-register veltrima-hal-view; do
    [ -x "$bin/$program" ] || { echo "missing $bin/$program" >&2; exit 1; }
done

root=$(mktemp -d "${TMPDIR:-/tmp}/veltrima-cpu.XXXXXX")
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
    fi
    rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root"/{runtime,config,data,home}
chmod 700 "$root/runtime"
export XDG_RUNTIME_DIR=$root/runtime XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
       XDG_DATA_DIRS=$root/data HOME=$root/home QT_QPA_PLATFORM=offscreen
unset DBUS_SESSION_BUS_ADDRESS

"$bin/veltrima-hal-register" --virtual "$XDG_DATA_HOME/veltrima/hal-servers" \
    --devices "$modules" --leds 5 >/dev/null || exit 1
mkdir -p "$XDG_DATA_HOME/veltrima"
printf '[Sensors]\nLibrary=veltrima-sensors-scenario.so\nConfig=sensor-scenarios/demo.json\n' \
    > "$XDG_DATA_HOME/veltrima/sensors"

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!

# utime + stime of the process (all its threads), in clock ticks. The fields after the
# command name, which may hold blanks, start with the state (field 3).
cpu_ticks() {
    local stat
    stat=$(cat "/proc/$pid/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- $stat
    echo $(( ${12} + ${13} ))
}
colour_calls() {
    "$bin/veltrima-hal-view" | awk '/^  device/ { for (i = 1; i <= NF; ++i) if ($i == "calls") printf "%s ", $(i + 1) }'
}
now_ns() { date +%s%N; }

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

ticks0=$(cpu_ticks); calls0=($(colour_calls)); t0=$(now_ns)
sleep "$seconds"
ticks1=$(cpu_ticks); calls1=($(colour_calls)); t1=$(now_ns)
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended during the run" >&2; exit 1; }

hz=$(getconf CLK_TCK)
elapsed_ms=$(( (t1 - t0) / 1000000 ))
awk -v ticks=$((ticks1 - ticks0)) -v hz="$hz" -v ms="$elapsed_ms" -v modules="$modules" 'BEGIN {
    cpu = ticks / hz
    printf "veltrima-rgb-control, %d virtual modules, %.1f s measured\n", modules, ms / 1000
    printf "CPU time %.2f s = %.2f %% of one core (tick %d ms)\n", cpu, 100 * cpu / (ms / 1000), 1000 / hz
}'
echo "threads: $(ls /proc/$pid/task | wc -l) at the end of the measured interval"
for i in "${!calls1[@]}"; do
    before=${calls0[$i]:-0}
    awk -v d="$i" -v n=$((calls1[i] - before)) -v ms="$elapsed_ms" \
        'BEGIN { printf "device %d: %d colour calls, %.1f per second\n", d, n, n / (ms / 1000) }'
done

if command -v strace >/dev/null; then
    timeout -s INT 10 strace -f -c -e trace=clone,clone3 -p "$pid" -o "$root/strace.txt" 2>/dev/null
    created=$(awk '$NF == "clone" || $NF == "clone3" { n += $4 } END { print n + 0 }' "$root/strace.txt")
    echo "threads created in 10 s while running: $created"
fi
