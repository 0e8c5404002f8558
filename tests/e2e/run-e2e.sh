#!/bin/bash
# Runs one end-to-end test script against the real viewer on a private X display.
#
#   run-e2e.sh BINARY TEST_SCRIPT [ARGS...]
#
# Starts Xvfb on a free display, then, in a private D-Bus session of its own process
# group, the accessibility bus and openbox, with a throw-away HOME and XDG folders; runs
# the script under /usr/bin/python3 (which has pyatspi) with VEDRA_BIN=BINARY. Exit
# status: the script's; 77 (skipped) when a tool is missing; 3 when the desktop did not
# start. Everything started here is stopped on the way out, and only the temporary folder
# made here is removed (VEDRA_E2E_KEEP=1 keeps it). Several copies can run at once.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
log() { printf 'run-e2e: %s\n' "$*" >&2; }

# wait_until TRIES COMMAND...: polls a state every 0.1 s.
wait_until() {
    local tries=$1
    shift
    for _ in $(seq "$tries"); do
        "$@" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    return 1
}

if [ "${_VEDRA_E2E_INNER:-}" = 1 ]; then
    # Inside the session. The outer part stops this whole process group at the end.
    unset _VEDRA_E2E_INNER
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$VEDRA_E2E_DIR/at-spi.log" 2>&1 &
    wait_until 600 sh -c 'xprop -root AT_SPI_BUS | grep -q unix:' ||
        { log "the accessibility bus did not start" && exit 3; }
    openbox >"$VEDRA_E2E_DIR/openbox.log" 2>&1 &
    wait_until 600 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        { log "openbox did not start" && exit 3; }
    exec /usr/bin/python3 "$@"
fi

if [ $# -lt 2 ] || [ ! -x "$1" ] || [ ! -r "$2" ]; then
    echo "usage: $0 BINARY TEST_SCRIPT [ARGS...]" >&2
    exit 64
fi
binary=$(realpath "$1")
script=$(realpath "$2")
shift 2
for tool in Xvfb xdpyinfo xprop xauth openbox dbus-run-session setsid xdotool wmctrl import \
    convert /usr/libexec/at-spi-bus-launcher; do
    command -v "$tool" >/dev/null || { log "missing tool: $tool (skipping)" && exit 77; }
done
/usr/bin/python3 -c 'import pyatspi, Xlib, PIL' 2>/dev/null ||
    { log "/usr/bin/python3 lacks pyatspi, Xlib or PIL (skipping)" && exit 77; }

workdir=$(mktemp -d "${TMPDIR:-/tmp}/vedra-e2e.XXXXXXXX") || exit 3
xvfb_pid=
session_pid=
# shellcheck disable=SC2317  # called by the trap
cleanup() {
    # The session's process group holds the buses, the window manager, the script and
    # the viewers it started.
    if [ -n "$session_pid" ]; then
        kill -TERM -- "-$session_pid" 2>/dev/null
        wait_until 50 sh -c \
            "! ps -eo pgid=,stat= | awk '\$1 == $session_pid && \$2 !~ /^Z/' | grep -q ."
        kill -KILL -- "-$session_pid" 2>/dev/null
    fi
    [ -n "$xvfb_pid" ] && kill -TERM "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ "${VEDRA_E2E_KEEP:-}" = 1 ]; then log "kept $workdir"; else rm -rf -- "$workdir"; fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP
mkdir -m 0700 "$workdir"/{home,config,data,cache,runtime,scratch}

# A display is free when neither its lock file nor its socket (a file or an abstract one,
# which other servers may hold without a lock file) exists.
display_free() {
    [ ! -e "/tmp/.X$1-lock" ] && [ ! -e "/tmp/.X11-unix/X$1" ] &&
        ! grep -q "[@ ]/tmp/.X11-unix/X$1\$" /proc/net/unix
}
export XAUTHORITY=$workdir/Xauthority
: >"$XAUTHORITY"
display=
for ((i = 0, n = 100 + RANDOM % 800; i < 200 && !${#display}; i++, n = 100 + (n - 99) % 800)); do
    display_free "$n" || continue
    xauth -q -f "$XAUTHORITY" add ":$n" . "$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')"
    Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp -auth "$XAUTHORITY" \
        >"$workdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    # Lost a race for the display with another server, or it never answered: try the next.
    if wait_until 600 sh -c "kill -0 $xvfb_pid && xdpyinfo -display :$n"; then
        display=:$n
    else
        kill -KILL "$xvfb_pid" 2>/dev/null
        xvfb_pid=
    fi
done
[ -n "$display" ] || { log "could not start Xvfb" && cat "$workdir/xvfb.log" >&2 && exit 3; }

export DISPLAY=$display HOME=$workdir/home XDG_CONFIG_HOME=$workdir/config \
    XDG_DATA_HOME=$workdir/data XDG_CACHE_HOME=$workdir/cache XDG_RUNTIME_DIR=$workdir/runtime \
    XDG_DATA_DIRS=/usr/share XDG_CONFIG_DIRS=/etc/xdg QT_QPA_PLATFORM=xcb QT_ACCESSIBILITY=1 \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 LANG=C.UTF-8 LC_ALL=C.UTF-8 VEDRA_BIN=$binary \
    VEDRA_E2E_DIR=$workdir VEDRA_E2E_SCRATCH=$workdir/scratch PYTHONDONTWRITEBYTECODE=1 \
    PYTHONPATH=$here${PYTHONPATH:+:$PYTHONPATH}
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_SESSION_TYPE XDG_SESSION_DESKTOP WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE \
    QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

# setsid makes the session a process group whose id is its pid (a background job of a
# script is never a group leader, so setsid does not fork).
_VEDRA_E2E_INNER=1 setsid dbus-run-session -- "$here/run-e2e.sh" "$script" "$@" &
session_pid=$!
wait "$session_pid"
status=$?
[ "$status" -gt 128 ] && log "the session ended by signal $((status - 128))"
exit "$status"
