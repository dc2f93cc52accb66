#!/bin/bash
# Soak: runs the control program and the window (offscreen) on the virtual DIMM HAL with
# eight modules for a while, changing light modes, colours and the profile through
# veltrima-channel every few seconds, and prints the resident memory, open file
# descriptors and threads of both processes at the start, every SOAK_EVERY minutes
# (default 10) and at the end, with the colour calls each module received per second.
# Everything runs in throw-away XDG folders; the processes it started are ended on exit.
#
#   bench/soak.sh [minutes=60] [bin folder]
# The bin folder defaults to build-bench/bin, else build/bin. Use a Release build: the
# sanitizers' own memory would drown the figures.
# Exit status: 0 both programs ran to the end; 1 a program ended or stopped driving the
# modules; 2 bad arguments or missing programs.
set -u

here=$(cd "$(dirname "$0")/.." && pwd)
. "$here/bench/bench-lib.sh"
minutes=${1:-60}
bin=${2:-}
every=${SOAK_EVERY:-10}
step=3          # seconds between two changes
modules=8
settle=20       # seconds before the first figures: start-up allocations are not growth

case "$minutes$every" in *[!0-9]*) echo "usage: soak.sh [minutes] [bin folder]" >&2; exit 2 ;; esac
[ "$minutes" -gt 0 ] && [ "$every" -gt 0 ] || { echo "minutes and SOAK_EVERY must be above 0" >&2; exit 2; }
if [ -z "$bin" ]; then
    for candidate in "$here/build-bench/bin" "$here/build/bin"; do
        [ -x "$candidate/veltrima-rgb-control" ] && { bin=$candidate; break; }
    done
fi
[ -n "$bin" ] && bin=$(cd "$bin" 2>/dev/null && pwd)
for program in veltrima-rgb-control veltrima-rgb veltrima-channel veltrima-hal-register veltrima-hal-view; do
    [ -n "$bin" ] && [ -x "$bin/$program" ] || { echo "missing ${bin:-<bin folder>}/$program" >&2; exit 2; }
done

bench_folders soak
unset DISPLAY WAYLAND_DISPLAY
bench_virtual_modules "$bin" "$modules" || exit 2

"$bin/veltrima-rgb-control" >"$root/control.log" 2>&1 &
control=$!
bench_own "$control"
"$bin/veltrima-rgb" >"$root/window.log" 2>&1 &
window=$!
bench_own "$window"

alive() {
    local name
    for name in control window; do
        local pid=${!name}
        if ! kill -0 "$pid" 2>/dev/null; then
            echo "the $name program (pid $pid) ended; its last lines:" >&2
            tail -n 20 "$root/$name.log" >&2
            return 1
        fi
    done
}

# RSS in kB, open descriptors and threads of one process.
figures() {
    local pid=$1 rss threads fds
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    threads=$(awk '/^Threads:/ { print $2 }' "/proc/$pid/status" 2>/dev/null)
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    printf 'RSS %7s kB  fds %4s  threads %3s' "${rss:-?}" "$fds" "${threads:-?}"
}

last_calls=()
last_time=0
report() {
    local label=$1 now calls rates=""
    now=$(bench_now_ns)
    calls=($(bench_colour_calls "$bin"))
    if [ ${#last_calls[@]} -gt 0 ] && [ ${#calls[@]} -gt 0 ]; then
        local i
        for i in "${!calls[@]}"; do
            rates+=$(awk -v n=$(( calls[i] - ${last_calls[$i]:-0} )) -v ns=$(( now - last_time )) \
                'BEGIN { printf " %.1f", n / (ns / 1e9) }')
        done
    fi
    printf '%-9s control: %s | window: %s\n' "$label" "$(figures "$control")" "$(figures "$window")"
    [ -n "$rates" ] && printf '%-9s colour calls per second per module:%s\n' "" "$rates"
    if [ ${#calls[@]} -ne "$modules" ]; then
        echo "the virtual HAL reports ${#calls[@]} modules driven, not $modules" >&2
        return 1
    fi
    last_calls=("${calls[@]}")
    last_time=$now
}

changes=0
refused=0
channel() {
    if timeout 10 "$bin/veltrima-channel" "$@" >/dev/null 2>>"$root/channel.log"; then
        changes=$((changes + 1))
    else
        refused=$((refused + 1))
    fi
}
random_colours() {
    local n=$1 out="" i
    for ((i = 0; i < n; ++i)); do out+=$(printf '%s0x%06X' "${out:+,}" $(( (RANDOM << 9 ^ RANDOM) & 0xFFFFFF ))); done
    echo "$out"
}

sleep "$settle"
alive || exit 1
echo "soak: $minutes min, $modules virtual modules, a change every $step s; programs from $bin"
report "start" || exit 1

start=$(date +%s)
end=$(( start + minutes * 60 ))
next_report=$(( start + every * 60 ))
tick=0
while [ "$(date +%s)" -lt "$end" ]; do
    module=$(( tick % modules ))
    # Light modes 0..35, colour modes 0..3, speeds 0..3; now and then the lighting goes off.
    state=on
    [ $(( tick % 17 )) -eq 16 ] && state=off
    channel set-lighting "$module" $(( RANDOM % 36 )) $(( RANDOM % 4 )) $(( RANDOM % 4 )) "$state"
    channel set-rgb "$module" "$(random_colours 5)"
    [ $(( tick % 10 )) -eq 9 ] && channel set-profile $(( (tick / 10) % 5 ))
    tick=$((tick + 1))
    sleep "$step"
    alive || exit 1
    now=$(date +%s)
    if [ "$now" -ge "$next_report" ] && [ "$now" -lt "$end" ]; then
        report "$(( (now - start) / 60 )) min" || exit 1
        next_report=$(( next_report + every * 60 ))
    fi
done
report "end" || exit 1
echo "changes stored: $changes, refused or timed out: $refused"
[ "$refused" -eq 0 ] || { echo "veltrima-channel's complaints:" >&2; sort "$root/channel.log" | uniq -c | head >&2; }
exit 0
