#!/usr/bin/env bash
# Writes the log-on entry that starts the window of a build folder with "open", the
# entry the package installs for the installed programs:
#   tools/write-autostart.sh <bin folder>
# An entry of the user's that holds Hidden=true (the way to switch it off) is left alone.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:?usage: write-autostart.sh <bin folder>}" && pwd)
program="$bin/veltrima-rgb"
entry="${XDG_CONFIG_HOME:-$HOME/.config}/autostart/veltrima-rgb.desktop"

if [ -e "$entry" ] && grep -qx 'Hidden=true' "$entry"; then
    echo "The log-on entry $entry is switched off (Hidden=true); left as it is."
    exit 0
fi

# The Exec value quotes the path: inside quotes ", `, $ and \ take a backslash, and the
# value itself doubles every backslash; % is doubled as a field code would be.
quoted=$(printf '%s' "$program" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g' -e 's/%/%%/g')
exec_line="Exec=\"$quoted\" open"
if [ -e "$entry" ] && grep -qxF "$exec_line" "$entry"; then
    exit 0
fi

mkdir -p "$(dirname "$entry")"
# The package's entry, naming this build's program; its TryExec looks on the PATH, where a
# build's program is not.
sed -e "s|^Exec=.*|$(printf '%s' "$exec_line" | sed -e 's/[\\|&]/\\&/g')|" -e '/^TryExec=/d' \
    "$here/packaging/veltrima-rgb-autostart.desktop" > "$entry.new"
mv "$entry.new" "$entry"
echo "Wrote the log-on entry $entry:"
echo "  it starts $program from this build folder each time you log on."
echo "  To switch it off, add the line Hidden=true to it."
