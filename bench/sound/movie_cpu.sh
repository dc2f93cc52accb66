#!/bin/bash
# Whole-process CPU cost of the control program following the sound: a private
# PulseAudio server with a null sink plays a tone, every virtual module is in Movie, and
# the CPU time the control program used over the measured interval is reported (user +
# system, from /proc/<pid>/stat), with the sound server's own for comparison and the
# last frame one module received.
#
#   bench/sound/movie_cpu.sh <build>/bin [seconds=60] [modules=4] [light mode=8]
set -u

bin=${1:?usage: movie_cpu.sh <bin folder> [seconds] [modules]}
seconds=${2:-60}
modules=${3:-4}
mode=${4:-8}
settle=5

. "$(dirname "$0")/../bench-lib.sh"
bin=$(cd "$bin" && pwd) || exit 1
bench_require "$bin" veltrima-rgb-control veltrima-channel veltrima-hal-register veltrima-hal-view
for program in pulseaudio pactl pacat; do
    command -v "$program" >/dev/null || { echo "missing $program (pulseaudio, pulseaudio-utils)" >&2; exit 1; }
done
bench_folders sound-cpu
unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_SINK PULSE_SOURCE

pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --log-target=stderr \
    -L module-native-protocol-unix -L "module-null-sink sink_name=bench" >"$root/pulse.log" 2>&1 &
server=$!
bench_own "$server"
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "pulseaudio did not start:" >&2; cat "$root/pulse.log" >&2; exit 1; }

bench_virtual_modules "$bin" "$modules" || exit 1

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!
bench_own "$pid"
for _ in $(seq 100); do "$bin/veltrima-channel" show >/dev/null 2>&1 && break; sleep 0.1; done
for m in $(seq 0 $((modules - 1))); do
    "$bin/veltrima-channel" set-rgb "$m" 0xFFFFFF,0xFFFFFF,0xFFFFFF,0xFFFFFF,0xFFFFFF --bright 1,1,1,1,1 >/dev/null
    "$bin/veltrima-channel" set-lighting "$m" "$mode" 0 2 on >/dev/null
done
# One second of a 250 Hz tone at half scale, 16-bit stereo, played over and over.
LC_ALL=C awk 'BEGIN {
    for (i = 0; i < 48000; ++i) {
        v = int(16383 * sin(2 * 3.141592653589793 * 250 * i / 48000)); if (v < 0) v += 65536
        printf "%c%c%c%c", v % 256, int(v / 256), v % 256, int(v / 256)
    }
}' >"$root/tone.raw"
mkfifo "$root/tone.fifo"
pacat --raw --format=s16le --rate=48000 --channels=2 --device=bench <"$root/tone.fifo" &
player=$!
bench_own "$player"
(while :; do cat "$root/tone.raw" || exit; done >"$root/tone.fifo") &
feeder=$!
bench_own "$feeder"

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

ticks0=$(bench_cpu_ticks "$pid"); server0=$(bench_cpu_ticks "$server"); t0=$(bench_now_ns)
sleep "$seconds"
ticks1=$(bench_cpu_ticks "$pid"); server1=$(bench_cpu_ticks "$server"); t1=$(bench_now_ns)
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended during the run" >&2; exit 1; }

hz=$(getconf CLK_TCK)
awk -v ticks=$((ticks1 - ticks0)) -v sticks=$((server1 - server0)) -v hz="$hz" \
    -v ms=$(( (t1 - t0) / 1000000 )) -v modules="$modules" -v mode="$mode" 'BEGIN {
    s = ms / 1000
    printf "veltrima-rgb-control in light mode %d with sound, %d virtual modules, %.1f s measured\n", mode, modules, s
    printf "CPU time %.2f s = %.2f %% of one core (tick %d ms)\n", ticks / hz, 100 * ticks / hz / s, 1000 / hz
    printf "pulseaudio meanwhile: %.2f %% of one core\n", 100 * sticks / hz / s
}'
echo "threads: $(ls /proc/$pid/task | wc -l)"
"$bin/veltrima-hal-view" | grep -m1 -A2 '^  device'
