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

. "$(dirname "$0")/../bench-lib.sh"
bin=$(cd "$bin" && pwd) || exit 1
bench_require "$bin" veltrima-rgb-control veltrima-hal-register veltrima-hal-view
bench_folders cpu
bench_virtual_modules "$bin" "$modules" || exit 1

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!
bench_own "$pid"

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

ticks0=$(bench_cpu_ticks "$pid"); calls0=($(bench_colour_calls "$bin")); t0=$(bench_now_ns)
sleep "$seconds"
ticks1=$(bench_cpu_ticks "$pid"); calls1=($(bench_colour_calls "$bin")); t1=$(bench_now_ns)
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
