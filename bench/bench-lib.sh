# Sourced by the measuring scripts: throw-away XDG folders, the processes a script
# started ended at exit, and what the kernel counts of a process.

# bench_require <bin folder> <program>...: ends the script naming the first one missing.
bench_require() {
    local bin=$1 program
    shift
    for program in "$@"; do
        [ -x "$bin/$program" ] || { echo "missing $bin/$program" >&2; exit 1; }
    done
}

bench_owned=()
# bench_own <pid>...: ended at exit, the last one owned first.
bench_own() { bench_owned+=("$@"); }

# bench_stop <pid>: asks it to end, then after 10 s insists.
bench_stop() {
    local pid=$1
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null
    for _ in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
}

bench_cleanup() {
    local i
    for ((i = ${#bench_owned[@]} - 1; i >= 0; --i)); do bench_stop "${bench_owned[$i]}"; done
    [ -n "${root:-}" ] && rm -rf "$root"
}

# bench_folders <name> [Qt platform=offscreen]: makes $root, removed at exit, and points
# HOME and the XDG folders into it, so that nothing of the user's is read or written.
bench_folders() {
    root=$(mktemp -d "${TMPDIR:-/tmp}/veltrima-$1.XXXXXX") || exit 1
    trap bench_cleanup EXIT
    trap 'exit 130' INT TERM
    mkdir -p "$root"/{runtime,config,data,home}
    chmod 700 "$root/runtime"
    export XDG_RUNTIME_DIR=$root/runtime XDG_CONFIG_HOME=$root/config XDG_DATA_HOME=$root/data \
           XDG_DATA_DIRS=$root/data HOME=$root/home QT_QPA_PLATFORM=${2:-offscreen}
    unset DBUS_SESSION_BUS_ADDRESS
}

# bench_scenario_sensors: the control program reads the demo scenario, not the machine.
bench_scenario_sensors() {
    mkdir -p "$XDG_DATA_HOME/veltrima"
    printf '[Sensors]\nLibrary=veltrima-sensors-scenario.so\nConfig=sensor-scenarios/demo.json\n' \
        > "$XDG_DATA_HOME/veltrima/sensors"
}

# bench_virtual_modules <bin folder> <modules>: registers the virtual HAL with that many
# modules of 5 LEDs, and the scenario sensors.
bench_virtual_modules() {
    "$1/veltrima-hal-register" --virtual "$XDG_DATA_HOME/veltrima/hal-servers" \
        --devices "$2" --leds 5 >/dev/null || return 1
    bench_scenario_sensors
}

# bench_cpu_ticks <pid>: utime + stime of the process (all its threads) in clock ticks.
# The fields after the command name, which may hold blanks, start with the state (field 3).
bench_cpu_ticks() {
    local stat
    stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
    stat=${stat##*) }
    set -- $stat
    echo $(( ${12} + ${13} ))
}

# bench_colour_calls <bin folder>: the colour calls each virtual module received so far.
bench_colour_calls() {
    timeout 10 "$1/veltrima-hal-view" 2>/dev/null |
        awk '/^  device/ { for (i = 1; i <= NF; ++i) if ($i == "calls") printf "%s ", $(i + 1) }'
}

bench_now_ns() { date +%s%N; }
