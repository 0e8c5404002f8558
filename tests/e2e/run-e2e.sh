#!/bin/bash
# Runs one end-to-end test script against the real viewer on a private X display.
#
#   run-e2e.sh BINARY TEST_SCRIPT [ARGS...]
#
# Starts Xvfb on a free display, then, inside a private D-Bus session, the
# accessibility bus and openbox, with a throw-away HOME and XDG folders. The test
# script runs under /usr/bin/python3 (which has pyatspi) with VEDRA_BIN=BINARY;
# its exit status is ours. Every process started here is stopped on the way out
# and only the temporary folder made here is removed. Several copies can run at
# once (ctest -j): each finds its own display.
#
# Environment read:
#   VEDRA_E2E_ARTIFACTS  folder for screenshots of failed cases (optional)
#   VEDRA_E2E_KEEP=1     keep the temporary folder, for a post-mortem
#
# Exit status: the test script's; 77 when a needed tool is not installed (ctest
# counts that as skipped); 3 when the display or the desktop did not start.

set -u

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

log() { printf 'run-e2e: %s\n' "$*" >&2; }

# ---------------------------------------------------------------------------
# Inner part: runs under dbus-run-session with DISPLAY already set.
# ---------------------------------------------------------------------------
if [ "${_VEDRA_E2E_INNER:-}" = 1 ]; then
    unset _VEDRA_E2E_INNER
    inner_pids=()
    test_pid=

    # shellcheck disable=SC2317  # called by the trap
    stop_inner() {
        local pid
        if [ -n "$test_pid" ]; then
            kill -TERM "$test_pid" 2>/dev/null
        fi
        for pid in "${inner_pids[@]}"; do
            kill -TERM "$pid" 2>/dev/null
        done
        for pid in "$test_pid" "${inner_pids[@]}"; do
            [ -n "$pid" ] && wait "$pid" 2>/dev/null
        done
    }
    trap 'stop_inner' EXIT
    trap 'exit 143' TERM
    trap 'exit 130' INT
    trap 'exit 129' HUP

    /usr/libexec/at-spi-bus-launcher --launch-immediately \
        >"$VEDRA_E2E_DIR/at-spi.log" 2>&1 &
    inner_pids+=($!)

    # The accessibility bus announces itself on the root window.
    for _ in $(seq 200); do
        xprop -root AT_SPI_BUS 2>/dev/null | grep -q 'unix:' && break
        sleep 0.1
    done
    if ! xprop -root AT_SPI_BUS 2>/dev/null | grep -q 'unix:'; then
        log "the accessibility bus did not start"
        cat "$VEDRA_E2E_DIR/at-spi.log" >&2
        exit 3
    fi

    openbox >"$VEDRA_E2E_DIR/openbox.log" 2>&1 &
    inner_pids+=($!)
    wm_ready=
    for _ in $(seq 200); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            wm_ready=1
            break
        fi
        sleep 0.1
    done
    if [ -z "$wm_ready" ]; then
        log "openbox did not start"
        cat "$VEDRA_E2E_DIR/openbox.log" >&2
        exit 3
    fi

    /usr/bin/python3 "$@" &
    test_pid=$!
    wait "$test_pid"
    status=$?
    test_pid=
    exit "$status"
fi

# ---------------------------------------------------------------------------
# Outer part: temporary folders, X server, then the inner part.
# ---------------------------------------------------------------------------
if [ $# -lt 2 ]; then
    echo "usage: $0 BINARY TEST_SCRIPT [ARGS...]" >&2
    exit 64
fi
binary=$1
script=$2
shift 2
if [ ! -x "$binary" ]; then
    log "not an executable program: $binary"
    exit 64
fi
if [ ! -r "$script" ]; then
    log "no such test script: $script"
    exit 64
fi
binary=$(cd "$(dirname "$binary")" && pwd)/$(basename "$binary")
script=$(cd "$(dirname "$script")" && pwd)/$(basename "$script")

for tool in Xvfb xdpyinfo xprop xauth openbox dbus-run-session setsid xdotool import convert; do
    if ! command -v "$tool" >/dev/null; then
        log "missing tool: $tool (skipping)"
        exit 77
    fi
done
if ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    log "/usr/bin/python3 cannot import pyatspi (package python3-pyatspi; skipping)"
    exit 77
fi
if [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
    log "missing /usr/libexec/at-spi-bus-launcher (package at-spi2-core; skipping)"
    exit 77
fi

workdir=$(mktemp -d "${TMPDIR:-/tmp}/vedra-e2e.XXXXXXXX") || exit 3
chmod 0700 "$workdir"
xvfb_pid=
session_pid=

# shellcheck disable=SC2317  # called by cleanup, from the trap
# True while the process group has a member that is not a zombie.
group_alive() {
    ps -eo pgid=,stat= | awk -v g="$1" '$1 == g && $2 !~ /^Z/ { found = 1 } END { exit !found }'
}

# shellcheck disable=SC2317  # called by the trap
cleanup() {
    # The session runs in a process group of its own (see below): stopping the
    # group stops the buses, the window manager, the test script and the viewer.
    if [ -n "$session_pid" ]; then
        kill -TERM -- "-$session_pid" 2>/dev/null
        for _ in $(seq 50); do
            group_alive "$session_pid" || break
            sleep 0.1
        done
        kill -KILL -- "-$session_pid" 2>/dev/null
        wait "$session_pid" 2>/dev/null
    fi
    if [ -n "$xvfb_pid" ]; then
        kill -TERM "$xvfb_pid" 2>/dev/null
        for _ in $(seq 50); do
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    if [ "${VEDRA_E2E_KEEP:-}" = 1 ]; then
        log "kept $workdir"
    else
        rm -rf -- "$workdir"
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

for d in home config data cache runtime scratch; do
    mkdir -m 0700 "$workdir/$d"
done

# A display is free when neither its lock file nor its socket (a file or an
# abstract one, which other servers may hold without a lock file here) exists.
display_free() {
    local n=$1
    [ ! -e "/tmp/.X$n-lock" ] || return 1
    [ ! -e "/tmp/.X11-unix/X$n" ] || return 1
    ! grep -q "[@ ]/tmp/.X11-unix/X$n\$" /proc/net/unix
}

export XAUTHORITY=$workdir/Xauthority
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
start=$((100 + RANDOM % 800))
display=
for ((i = 0; i < 200; i++)); do
    n=$((100 + (start - 100 + i) % 800))
    display_free "$n" || continue
    : >"$XAUTHORITY"
    xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie" || exit 3
    Xvfb ":$n" -screen 0 1280x1024x24 -noreset -nolisten tcp \
        -auth "$XAUTHORITY" >"$workdir/xvfb.log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 300); do
        kill -0 "$xvfb_pid" 2>/dev/null || break
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
            display=:$n
            break
        fi
        sleep 0.1
    done
    [ -n "$display" ] && break
    # Lost a race for this display with another server, or it never answered.
    kill -KILL "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=
done
if [ -z "$display" ]; then
    log "could not start Xvfb on any display"
    cat "$workdir/xvfb.log" >&2 2>/dev/null
    exit 3
fi

export DISPLAY=$display
export HOME=$workdir/home
export XDG_CONFIG_HOME=$workdir/config
export XDG_DATA_HOME=$workdir/data
export XDG_CACHE_HOME=$workdir/cache
export XDG_RUNTIME_DIR=$workdir/runtime
export XDG_DATA_DIRS=/usr/share
export XDG_CONFIG_DIRS=/etc/xdg
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION XDG_SESSION_TYPE XDG_SESSION_DESKTOP
unset WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS
unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS
export QT_QPA_PLATFORM=xcb
export QT_ACCESSIBILITY=1
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export VEDRA_BIN=$binary
export VEDRA_E2E_DIR=$workdir
export VEDRA_E2E_SCRATCH=$workdir/scratch
export PYTHONPATH=$here${PYTHONPATH:+:$PYTHONPATH}
export PYTHONDONTWRITEBYTECODE=1

# setsid puts the session in a new process group whose id is its pid (a
# background job of a script is never a group leader, so setsid does not fork).
_VEDRA_E2E_INNER=1 setsid dbus-run-session -- "$here/run-e2e.sh" "$script" "$@" &
session_pid=$!
wait "$session_pid"
status=$?
exit "$status"
