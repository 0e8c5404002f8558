#!/bin/bash
# Runs one end-to-end test script against the viewer as a native Wayland program.
#
#   run-e2e-wayland.sh BINARY TEST_SCRIPT [CASES...]
#
# run-e2e.sh provides the private X display, buses and folders; wayland_session.py
# starts weston nested in that display (its X11 backend, which gives it a seat for keys
# and the clipboard) and runs TEST_SCRIPT with WAYLAND_DISPLAY and QT_QPA_PLATFORM=wayland.
# Exit status as run-e2e.sh's; 77 also when weston, wl-clipboard or qt6-wayland is missing.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
if [ $# -lt 2 ]; then
    echo "usage: $0 BINARY TEST_SCRIPT [CASES...]" >&2
    exit 64
fi
binary=$1
script=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
shift 2
exec "$here/run-e2e.sh" "$binary" "$here/wayland_session.py" "$script" "$@"
