#!/usr/bin/env bash
# Starts the product from a build folder: registers the virtual HAL and the scenario
# sensors when no real ones are registered, then starts the programs on the display
# (under a virtual X server when there is none).
set -euo pipefail
bin=${1:?usage: run-product.sh <bin folder>}
here=$(cd "$(dirname "$0")/.." && pwd)
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
autostart="${XDG_CONFIG_HOME:-$HOME/.config}/autostart/veltrima-rgb.desktop"
if [ -x "$bin/veltrima-rgb" ] && [ ! -e "$autostart" ]; then
    mkdir -p "$(dirname "$autostart")"
    printf '[Desktop Entry]\nType=Application\nName=VELTRIMA RGB\nExec="%s" open\nX-GNOME-Autostart-enabled=true\n' "$bin/veltrima-rgb" > "$autostart"
fi

program="$bin/veltrima-rgb"
[ -x "$program" ] || program="$bin/veltrima-rgb-control"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1920x1080x24" "$program" "$@"
fi
exec "$program" "$@"
