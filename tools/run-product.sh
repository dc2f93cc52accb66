#!/usr/bin/env bash
# Starts the product from a build folder: registers the virtual HAL and the scenario
# sensors when no real ones are registered, then starts the programs on the display.
# Without a display the programs run on a virtual X server that nobody sees; the script
# says so and saves a screenshot of the window.
set -euo pipefail
bin=$(cd "${1:?usage: run-product.sh <bin folder>}" && pwd)
shift
data=${XDG_DATA_HOME:-$HOME/.local/share}

halDir="$data/veltrima/hal-servers"
if [ -z "$(ls -A "$halDir" 2>/dev/null)" ] && [ -x "$bin/veltrima-hal-register" ]; then
    "$bin/veltrima-hal-register" --virtual "$halDir"
fi

# Without registered sensors the product plays the demo machine.
sensors="$data/veltrima/sensors"
if [ ! -e "$sensors" ]; then
    mkdir -p "$(dirname "$sensors")"
    printf '[Sensors]\nLibrary=%s\nConfig=%s\n' "$bin/veltrima-sensors-scenario.so" "$bin/sensor-scenarios/demo.json" > "$sensors"
fi

# Start the window at log-on, minimised when the user asked for it.
if [ -x "$bin/veltrima-rgb" ]; then
    "$(dirname "$0")/write-autostart.sh" "$bin"
fi

program="$bin/veltrima-rgb"
[ -x "$program" ] || program="$bin/veltrima-rgb-control"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" "$@"
fi

shot="$(dirname "$bin")/veltrima-rgb-window.png"
grabber="$bin/ui_screenshot"
delay=15
echo "No display (DISPLAY and WAYLAND_DISPLAY are unset): the programs run on a virtual X server"
echo "that nobody can see. Stop them with Ctrl+C."
if [ -x "$grabber" ]; then
    echo "A screenshot of the window will be saved to $shot in about $delay seconds."
else
    echo "No screenshot: $grabber is not built (cmake --build <build folder> --target ui_screenshot)."
fi
# The screen is the window's size, so a picture of the screen is one of the window.
# The window program stays in the foreground, where Ctrl+C reaches it.
exec xvfb-run -a -s "-screen 0 1000x600x24" bash -c '
    if [ -x "$1" ]; then
        ( sleep "$3"
          if "$1" --screen "$2" >/dev/null; then echo "Saved a screenshot of the window: $2"
          else echo "Could not save a screenshot of the window to $2" >&2; fi ) &
    fi
    shift 3
    exec "$0" "$@"' "$program" "$grabber" "$shot" "$delay" "$@"
