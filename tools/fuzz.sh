#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer (AddressSanitizer and
# UndefinedBehaviorSanitizer on) and runs each for the given seconds (default 60), one
# target per core at a time; name targets after the seconds to run only those. Each target starts from its seeds in tests/fuzz/corpus and
# keeps what it learns in build-fuzz/corpus; an input that fails is saved in
# build-fuzz/crashes/<target>/ — copy it into tests/fuzz/corpus/<target>/ once mended, so
# that the normal suite replays it.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$here/build-fuzz"
packages=(clang libfuzzer-14-dev cmake ninja-build qtbase5-dev qttools5-dev qttools5-dev-tools libtinyxml-dev
          libudev-dev libpulse-dev)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

targets=$(cd "$here/tests/fuzz" && ls -d corpus/fuzz_* | sed 's|corpus/||')
if [ $# -gt 1 ]; then
    shift
    for target in "$@"; do
        grep -qx "$target" <<<"$targets" || { echo "no fuzz target $target; there are:" $targets >&2; exit 2; }
    done
    targets="$*"
fi
CC=clang CXX=clang++ cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIMA_FUZZ=ON >/dev/null
# shellcheck disable=SC2086 # one word per target
cmake --build "$build" --target $targets

run_target() { # <target>
    local target=$1 corpus="$build/corpus/$1" crashes="$build/crashes/$1/" log="$build/logs/$1.log"
    mkdir -p "$corpus" "$crashes" "$build/logs"
    # The targets log every refusal; their own handlers keep Qt quiet, the sanitizers report.
    (cd "$build" && ASAN_OPTIONS=detect_leaks=1:detect_odr_violation=0 \
        LSAN_OPTIONS=suppressions=$here/tests/lsan.supp:fast_unwind_on_malloc=0 UBSAN_OPTIONS=print_stacktrace=1 \
        QT_QPA_PLATFORM=offscreen "$build/bin/$target" "$corpus" "$here/tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$crashes" -rss_limit_mb=4096 \
        >"$log" 2>&1) && status=ok || status=FAILED
    local runs
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    printf '%-22s %-7s %12s executions  (log: %s)\n' "$target" "$status" "$runs" "$log"
}

jobs=$(nproc)
failed=0
for target in $targets; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
    run_target "$target" &
done
wait
grep -l "ERROR: libFuzzer\|SUMMARY: .*Sanitizer" "$build"/logs/*.log 2>/dev/null && failed=1
exit $failed
