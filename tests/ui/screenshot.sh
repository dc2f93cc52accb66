#!/usr/bin/env bash
# Saves a screenshot of the VELTRIMA RGB window as a PNG.
#   tests/ui/screenshot.sh <bin folder> <out.png> [seconds]
# Uses the virtual HAL and the scenario sensors when tools/run-product.sh has registered
# them; the control program it starts keeps running afterwards, as after a normal start.
set -euo pipefail
bin=${1:?usage: screenshot.sh <bin folder> <out.png> [seconds]}
out=${2:?usage: screenshot.sh <bin folder> <out.png> [seconds]}
seconds=${3:-5}
out=$(realpath -m "$out")
if [ -z "${DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
fi
exec "$bin/ui_screenshot" "$out" "$seconds"
