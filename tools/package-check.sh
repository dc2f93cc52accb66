#!/bin/bash
# Checks the Debian package in a fresh Debian 12 root: apt installs it with every
# dependency; the installed control program starts offscreen, as a plain user, on the
# installed virtual HAL registered by veltrima-hal-register (first in the user's registry,
# then in the system's), drives its eight modules at 25 frames a second, and
# veltrima-channel reads and changes its state; the window starts too; removing the
# package leaves only its configuration file (the log-on entry), purging it leaves no file
# behind outside the user's folders.
#
#   tools/package-check.sh [veltrima-rgb_*.deb] [root folder=/tmp/deb-root]
# Run as root (chroot); the first run makes the root with debootstrap (network to the
# Debian mirror), later runs reuse a pristine copy of it. Not part of the test suite.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
deb=${1:-$(ls -t "$here"/build-pkg/veltrima-rgb_*.deb 2>/dev/null | head -n 1)}
pristine=${2:-/tmp/deb-root}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
[ -f "$deb" ] || { echo "usage: package-check.sh <veltrima-rgb_*.deb> [root folder]" >&2; exit 2; }
[ "$(id -u)" -eq 0 ] || { echo "package-check.sh needs root (debootstrap, chroot)" >&2; exit 2; }
deb=$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")

if [ ! -x "$pristine/usr/bin/apt-get" ]; then
    command -v debootstrap >/dev/null || apt-get install -y --no-install-recommends debootstrap
    debootstrap --variant=minbase bookworm "$pristine" "$mirror"
fi

# Each run works on a copy, so every run starts from the same fresh system.
root=$(mktemp -d "${TMPDIR:-/tmp}/veltrima-pkg-root.XXXXXX")
mounted=()
# Every process whose root is our copy was started by this script.
end_root_processes() {
    local link pid
    for link in /proc/[0-9]*/root; do
        [ "$(readlink "$link" 2>/dev/null)" = "$root" ] || continue
        pid=${link#/proc/}; pid=${pid%/root}
        kill "-$1" "$pid" 2>/dev/null || true
    done
}
cleanup() {
    local i
    end_root_processes KILL
    for ((i = ${#mounted[@]} - 1; i >= 0; --i)); do umount -l "${mounted[$i]}" 2>/dev/null || true; done
    # Only once nothing is mounted inside may the copy go.
    if ! grep -q " $root/" /proc/mounts; then rm -rf "$root"; fi
}
trap cleanup EXIT
cp -a "$pristine/." "$root/"
for fs in proc sys dev dev/pts; do
    mkdir -p "$root/$fs"
    case $fs in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sysfs "$root/sys" ;;
    *) mount --bind "/$fs" "$root/$fs" ;;
    esac
    mounted+=("$root/$fs")
done
cp /etc/resolv.conf "$root/etc/resolv.conf"
cp "$deb" "$root/tmp/"
debname=$(basename "$deb")

in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"; }
# The files of the system, without the kernel's folders, the package manager's records
# and caches, logs, and the users' own folders.
file_list() {
    in_root find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /run -o -path /tmp \
        -o -path /home -o -path /root -o -path /var/lib/dpkg -o -path /var/lib/apt \
        -o -path /var/cache -o -path /var/log \) -prune -o -print | sort
}

failures=0
pass() { echo "PASS: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

echo "== apt-get install ./$debname"
in_root apt-get update -qq
in_root apt-get install -y -q "/tmp/$debname" > "$root/tmp/apt.log" 2>&1 || { cat "$root/tmp/apt.log"; exit 1; }
grep -E '^(The following NEW|  )' "$root/tmp/apt.log" | head -n 40
# The list after removal is compared with one taken with every dependency in place (and
# the test user, whose making touches /etc).
in_root useradd -m tester
in_root dpkg --purge veltrima-rgb >/dev/null
file_list > "$root/tmp/files-without.txt"
in_root dpkg -i "/tmp/$debname" >/dev/null
in_root apt-get check -q >/dev/null && pass "apt-get installed the package with all its dependencies" \
    || fail "dependencies are broken"

echo "== installed files"
in_root dpkg -L veltrima-rgb | grep -E '/(bin|lib/veltrima-rgb|autostart|applications|metainfo|man1|hal-servers)/' | head -n 40
for f in /usr/bin/veltrima-rgb /usr/bin/veltrima-rgb-control /usr/bin/veltrima-channel \
         /usr/bin/veltrima-hal-register /usr/lib/veltrima-rgb/libVELTRIMA_Lighting.so \
         /usr/lib/veltrima-rgb/veltrima-hal-virtual.so /usr/lib/veltrima-rgb/veltrima-sensors-linux.so \
         /etc/xdg/autostart/veltrima-rgb.desktop /usr/share/applications/veltrima-rgb.desktop \
         /usr/share/icons/hicolor/256x256/apps/veltrima-rgb.png /usr/share/metainfo/io.veltrima.rgb.metainfo.xml \
         /usr/share/man/man1/veltrima-channel.1.gz /usr/share/veltrima/hal-servers; do
    [ -e "$root$f" ] && pass "installed $f" || fail "missing $f"
done
grep -qx 'Exec=veltrima-rgb open' "$root/etc/xdg/autostart/veltrima-rgb.desktop" \
    && pass "the log-on entry runs 'veltrima-rgb open'" || fail "the log-on entry's Exec"

# A plain user with nothing set: no LD_LIBRARY_PATH, no XDG_DATA_DIRS, the default folders.
run_as_tester() {
    chroot "$root" /usr/bin/env -i PATH=/usr/bin:/bin HOME=/home/tester LANG=C.UTF-8 \
        XDG_RUNTIME_DIR=/tmp/tester-runtime QT_QPA_PLATFORM=offscreen \
        /usr/sbin/runuser -u tester -- "$@"
}
in_root install -d -o tester -g tester -m 700 /tmp/tester-runtime

calls_of() { # <hal-view output> -> one count per device
    awk '/^  device/ { for (i = 1; i <= NF; ++i) if ($i == "calls") printf "%s ", $(i + 1) }' <<<"$1"
}

# Starts the control program, checks that it drives 8 modules at about 25 fps and that the
# channel reads and changes its state, then ends it.
drive_check() {
    local where=$1
    run_as_tester /usr/bin/veltrima-rgb-control > "$root/tmp/control-$where.log" 2>&1 &
    local pid=$! view="" i
    for i in $(seq 60); do
        view=$(run_as_tester /usr/bin/veltrima-hal-view 2>/dev/null || true)
        [ "$(calls_of "$view" | wc -w)" -eq 8 ] && break
        sleep 0.5
    done
    local before after t0 t1
    before=($(calls_of "$view")); t0=$(date +%s%N)
    sleep 5
    view=$(run_as_tester /usr/bin/veltrima-hal-view 2>/dev/null || true)
    after=($(calls_of "$view")); t1=$(date +%s%N)
    if [ ${#after[@]} -eq 8 ] && [ ${#before[@]} -eq 8 ]; then
        local rates
        rates=$(for i in "${!after[@]}"; do
            awk -v n=$(( after[i] - before[i] )) -v ns=$(( t1 - t0 )) 'BEGIN { printf "%.1f ", n / (ns / 1e9) }'
        done)
        echo "colour calls per second per module: $rates"
        if awk -v r="$rates" 'BEGIN { n = split(r, a, " "); for (i = 1; i <= n; ++i) if (a[i] < 20 || a[i] > 30) exit 1 }'; then
            pass "$where registry: the control program drives 8 modules at 25 fps"
        else
            fail "$where registry: frame rate out of 20..30"
        fi
    else
        fail "$where registry: the control program does not drive 8 modules"
        echo "$view"; tail -n 20 "$root/tmp/control-$where.log"
    fi

    local shown
    if shown=$(run_as_tester /usr/bin/veltrima-channel show --json) && grep -q '"' <<<"$shown"; then
        pass "$where registry: veltrima-channel show reads the state"
    else
        fail "$where registry: veltrima-channel show"
    fi
    local first second
    if run_as_tester /usr/bin/veltrima-channel set-lighting 0 1 0 2 on >/dev/null \
        && first=$(run_as_tester /usr/bin/veltrima-channel show --json) \
        && run_as_tester /usr/bin/veltrima-channel set-lighting 0 2 0 2 on >/dev/null \
        && second=$(run_as_tester /usr/bin/veltrima-channel show --json) && [ "$first" != "$second" ]; then
        pass "$where registry: veltrima-channel set-lighting changes the state it shows"
    else
        fail "$where registry: veltrima-channel set-lighting"
    fi
    kill -TERM "$pid" 2>/dev/null || true
    for i in $(seq 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$pid" 2>/dev/null && { fail "$where registry: the control program ignored SIGTERM"; kill -KILL "$pid"; }
    wait "$pid" 2>/dev/null || true
}

echo "== the user's registry"
run_as_tester /usr/bin/veltrima-hal-register --virtual /home/tester/.local/share/veltrima/hal-servers --devices 8
drive_check user
run_as_tester rm -rf /home/tester/.local/share/veltrima

echo "== the system's registry"
in_root veltrima-hal-register --virtual /usr/share/veltrima/hal-servers --devices 8
drive_check system
# The administrator's registration is the administrator's to remove.
in_root sh -c 'rm -f /usr/share/veltrima/hal-servers/* && rm -rf /usr/share/veltrima/hal-virtual'

echo "== the window"
run_as_tester /usr/bin/veltrima-rgb > "$root/tmp/window.log" 2>&1 &
window=$!
sleep 8
if kill -0 "$window" 2>/dev/null; then
    pass "the window starts (offscreen)"
    kill -TERM "$window"; wait "$window" 2>/dev/null || true
else
    fail "the window ended:"; tail -n 20 "$root/tmp/window.log"
fi
# The window starts the control program when it is not running; end that one too.
end_root_processes TERM
sleep 3
end_root_processes KILL

echo "== apt-get remove, then purge"
in_root apt-get remove -y -q veltrima-rgb >/dev/null
file_list > "$root/tmp/files-removed.txt"
# Debian keeps a removed package's files in /etc (the log-on entry) until it is purged.
kept=$(diff "$root/tmp/files-without.txt" "$root/tmp/files-removed.txt" | sed -n 's/^> //p' \
    | grep -v -x -e /etc/xdg -e /etc/xdg/autostart -e /etc/xdg/autostart/veltrima-rgb.desktop || true)
if [ -z "$kept" ] && ! diff "$root/tmp/files-without.txt" "$root/tmp/files-removed.txt" | grep -q '^<'; then
    pass "removing keeps only the log-on entry in /etc/xdg/autostart (a configuration file)"
else
    fail "removing left: $kept"
fi
in_root apt-get purge -y -q veltrima-rgb >/dev/null
file_list > "$root/tmp/files-after.txt"
if diff "$root/tmp/files-without.txt" "$root/tmp/files-after.txt" > "$root/tmp/files.diff"; then
    pass "purging leaves the system's files as they were before the package"
else
    fail "purging left a difference:"; cat "$root/tmp/files.diff"
fi
echo "files in the user's own folder afterwards (kept, as a user's are):"
in_root find /home/tester -mindepth 1 -maxdepth 3 | sed 's/^/  /' | head -n 20

echo
[ "$failures" -eq 0 ] && echo "package check: all passed" || echo "package check: $failures failed"
[ "$failures" -eq 0 ]
