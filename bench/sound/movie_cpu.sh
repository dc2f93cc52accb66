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

bin=$(cd "$bin" && pwd) || exit 1
for program in veltrima-rgb-control veltrima-channel veltrima-hal-register veltrima-hal-view; do
    [ -x "$bin/$program" ] || { echo "missing $bin/$program" >&2; exit 1; }
done
for program in pulseaudio pactl pacat; do
    command -v "$program" >/dev/null || { echo "missing $program (pulseaudio, pulseaudio-utils)" >&2; exit 1; }
done

root=$(mktemp -d "${TMPDIR:-/tmp}/veltrima-sound-cpu.XXXXXX")
pid= server= player= feeder=
end() { # <pid>
    [ -n "$1" ] && kill -0 "$1" 2>/dev/null || return
    kill -TERM "$1" 2>/dev/null
    for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}
cleanup() {
    end "$player"; end "$feeder"; end "$pid"; end "$server"
    rm -rf "$root"
}
trap cleanup EXIT

mkdir -p "$root"/{runtime,config,data,home}
chmod 700 "$root/runtime"
export XDG_RUNTIME_DIR=$root/runtime XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
       XDG_DATA_DIRS=$root/data HOME=$root/home QT_QPA_PLATFORM=offscreen
unset DBUS_SESSION_BUS_ADDRESS PULSE_SERVER PULSE_RUNTIME_PATH PULSE_SINK PULSE_SOURCE

pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --log-target=stderr \
    -L module-native-protocol-unix -L "module-null-sink sink_name=bench" >"$root/pulse.log" 2>&1 &
server=$!
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null 2>&1 || { echo "pulseaudio did not start:" >&2; cat "$root/pulse.log" >&2; exit 1; }

"$bin/veltrima-hal-register" --virtual "$XDG_DATA_HOME/veltrima/hal-servers" \
    --devices "$modules" --leds 5 >/dev/null || exit 1
mkdir -p "$XDG_DATA_HOME/veltrima"
printf '[Sensors]\nLibrary=veltrima-sensors-scenario.so\nConfig=sensor-scenarios/demo.json\n' \
    > "$XDG_DATA_HOME/veltrima/sensors"

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
pid=$!
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
(while :; do cat "$root/tone.raw" || exit; done >"$root/tone.fifo") &
feeder=$!

cpu_ticks() { # <pid>: utime + stime of all its threads, in clock ticks
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- $stat
    echo $(( ${12} + ${13} ))
}
now_ns() { date +%s%N; }

sleep "$settle"
kill -0 "$pid" 2>/dev/null || { echo "veltrima-rgb-control ended early:" >&2; cat "$root/control.log" >&2; exit 1; }

ticks0=$(cpu_ticks "$pid"); server0=$(cpu_ticks "$server"); t0=$(now_ns)
sleep "$seconds"
ticks1=$(cpu_ticks "$pid"); server1=$(cpu_ticks "$server"); t1=$(now_ns)
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
