#!/bin/sh
# Screenshots of the lighting page with 4 and 8 modules, and optionally the page's CPU
# use with the preview running:  make-lighting-screenshots.sh <build-dir> [out-dir] [--cpu 60]
set -eu
build=${1:?build folder}
out=${2:-$build/lighting-screenshots}
shift $(( $# >= 2 ? 2 : 1 ))
cmake --build "$build" -j2 --target lighting_screenshots
# A sanitizer build reports the X libraries' own leaks at exit; they are not ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
exec xvfb-run -a -s "-screen 0 1920x1080x24" "$build/bin/lighting_screenshots" "$out" "$@"
