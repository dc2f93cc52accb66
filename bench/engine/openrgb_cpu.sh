#!/bin/bash
# The control program driving modules through the OpenRGB HAL: starts the test OpenRGB
# server (veltrima-fake-openrgb) with <controllers> memory controllers of 5 LEDs, registers
# the OpenRGB HAL against it in throw-away XDG folders, starts veltrima-rgb-control, lets
# it settle and reports
#   - the control program's CPU time over the measured interval (user + system, from
#     /proc/<pid>/stat; the server's own CPU is not counted),
#   - the LED updates each controller received per second,
#   - the delay from a frame handed to the HAL (right after the engine computed it) to
#     its packet leaving the socket (p50/p99/max, written by the HAL at exit).
#
#   bench/engine/openrgb_cpu.sh <build>/bin [seconds=60] [controllers=4]
set -u

bin=${1:?usage: openrgb_cpu.sh <bin folder> [seconds] [controllers]}
seconds=${2:-60}
controllers=${3:-4}
settle=3

. "$(dirname "$0")/../bench-lib.sh"
bin=$(cd "$bin" && pwd) || exit 1
bench_require "$bin" veltrima-rgb-control veltrima-hal-register veltrima-fake-openrgb
bench_folders openrgb

"$bin/veltrima-fake-openrgb" --dram "$controllers" --leds 5 >"$root/server.txt" 2>&1 &
server=$!
bench_own "$server"
for _ in $(seq 50); do grep -q '^port ' "$root/server.txt" && break; sleep 0.1; done
port=$(awk '/^port / { print $2 }' "$root/server.txt")
[ -n "$port" ] || { echo "the test server did not start" >&2; cat "$root/server.txt" >&2; exit 1; }

"$bin/veltrima-hal-register" --openrgb "127.0.0.1:$port" >/dev/null || exit 1
echo "latencyReport=$root/latency.txt" >> "$(ls "$XDG_DATA_HOME"/veltrima/hal-openrgb/*.ini)"
bench_scenario_sensors

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!
bench_own "$pid"

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

ticks0=$(bench_cpu_ticks "$pid"); t0=$(bench_now_ns)
sleep "$seconds"
ticks1=$(bench_cpu_ticks "$pid"); t1=$(bench_now_ns)
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended during the run" >&2; exit 1; }
# The HAL writes its latency report as the program ends.
bench_stop "$pid"
bench_stop "$server"

hz=$(getconf CLK_TCK)
elapsed_ms=$(( (t1 - t0) / 1000000 ))
total_s=$(awk -v ms="$elapsed_ms" -v s="$settle" 'BEGIN { print ms / 1000 + s }')
awk -v ticks=$((ticks1 - ticks0)) -v hz="$hz" -v ms="$elapsed_ms" -v n="$controllers" 'BEGIN {
    cpu = ticks / hz
    printf "veltrima-rgb-control, %d OpenRGB controllers, %.1f s measured\n", n, ms / 1000
    printf "CPU time %.2f s = %.2f %% of one core (tick %d ms)\n", cpu, 100 * cpu / (ms / 1000), 1000 / hz
}'
# Counted over the whole run (settling included), so a little under the rate.
awk -v s="$total_s" '/LED updates/ { printf "%s %s %d LED updates, about %.1f per second\n", $1, $2, $3, $3 / s }' \
    "$root/server.txt"
if [ -s "$root/latency.txt" ]; then
    echo "frame handed to the HAL -> packet sent: $(tail -n 1 "$root/latency.txt")"
else
    echo "no latency report (the control program did not end cleanly?)"
fi
