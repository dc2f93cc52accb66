#!/usr/bin/env bash
# Set-up, build and run on Debian 12. "run" starts the product, "test" runs every test
# (built with AddressSanitizer and UndefinedBehaviorSanitizer), "tsan" runs every test
# built with ThreadSanitizer, "package" builds the Debian package in build-pkg. Installs
# what is missing.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
packages=(build-essential cmake ninja-build pkg-config qtbase5-dev qttools5-dev qttools5-dev-tools
          libtinyxml-dev libudev-dev libpulse-dev libbenchmark-dev libfontconfig-dev
          libxcb1-dev libxcb-shm0-dev
          xvfb xauth x11-xserver-utils pulseaudio pulseaudio-utils dbus fonts-dejavu-core fonts-noto-cjk
          fonts-noto-ui-core procps file dpkg-dev)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

build() { # <folder> "<targets...>" <cmake options...>
    local dir=$1 targets=$2; shift 2
    cmake -S "$here" -B "$dir" -G Ninja "$@"
    # shellcheck disable=SC2086 # one word per target
    cmake --build "$dir" --target $targets
}

case "${1:-}" in
run)
    install_missing
    # Without a display the window can only be seen in a screenshot: build the grabber too.
    targets=product
    [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && targets="product ui_screenshot"
    build "$here/build" "$targets" -DCMAKE_BUILD_TYPE=RelWithDebInfo
    exec "$here/tools/run-product.sh" "$here/build/bin"
    ;;
test)
    install_missing
    build "$here/build-test" all -DCMAKE_BUILD_TYPE=Debug -DVELTRIMA_SANITIZE=ON
    cd "$here/build-test"
    ctest --output-on-failure -j "$(nproc)" --timeout 300
    ;;
tsan)
    install_missing
    build "$here/build-tsan" all -DCMAKE_BUILD_TYPE=Debug -DVELTRIMA_TSAN=ON
    cd "$here/build-tsan"
    ctest --output-on-failure -j "$(nproc)" --timeout 300
    ;;
package)
    install_missing
    build "$here/build-pkg" all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr -DVELTRIMA_TESTS=OFF
    cd "$here/build-pkg"
    cpack -G DEB
    ;;
*)
    echo "usage: $0 run|test|tsan|package" >&2
    exit 2
    ;;
esac
