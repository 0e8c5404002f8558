"""Runs an end-to-end test script against weston nested in run-e2e.sh's X display.

    run-e2e.sh BINARY wayland_session.py TEST_SCRIPT [CASES...]

Weston's headless backend has no seat; its X11 backend, a full-screen window of the display,
gets one fed by the X display, so xdotool's keys and clicks and wl-copy/wl-paste reach the
Wayland program, and a screenshot of the X root is one of the output. Exit status: the
script's; 77 when weston, wl-clipboard or Qt's Wayland plugin is missing; 3 when the
compositor does not start.
"""

import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

import vedra_e2e as e2e

SOCKET = "vedra-e2e-wayland"


def log(message):
    print(f"wayland-session: {message}", file=sys.stderr, flush=True)


def qt_wayland_plugin_present():
    """Qt's Wayland platform plugin, in Debian's plugin folder or on QT_PLUGIN_PATH."""
    folders = [*Path("/usr/lib").glob("*/qt6/plugins"),
               *os.environ.get("QT_PLUGIN_PATH", "").split(":")]
    return any(f and Path(f, "platforms", "libqwayland-generic.so").exists() for f in folders)


def compositor_ready(env, screen):
    """The compositor's X window once a Wayland client can connect (wl-paste ends with 0 or,
    on an empty clipboard, 1) and the window manager has made the window fill the screen."""
    paste = subprocess.run(["wl-paste", "--list-types"], env=env, capture_output=True,
                           timeout=60)
    if b"connect" in paste.stderr.lower() or paste.returncode not in (0, 1):
        return None
    wids = e2e.run("xdotool", "search", "--onlyvisible", "--class", "weston").split()
    return wids[0] if wids and e2e.geometry(wids[0]) == (0, 0, *screen) else None


def main():
    for tool in ("weston", "wl-copy", "wl-paste"):
        if not shutil.which(tool):
            log(f"missing tool: {tool} (packages weston, wl-clipboard; skipping)")
            return 77
    if not qt_wayland_plugin_present():
        log("Qt's Wayland platform plugin is missing (package qt6-wayland; skipping)")
        return 77
    workdir = Path(os.environ["VEDRA_E2E_DIR"])
    # Weston's own configuration: no screen blanking, no lock, nothing from the user's.
    ini = workdir / "weston.ini"
    ini.write_text("[core]\nidle-time=0\n\n[shell]\nlocking=false\nanimation=none\n"
                   "startup-animation=none\n")
    screen = [int(n) for n in e2e.run("xdotool", "getdisplaygeometry").split()]
    weston_log = workdir / "weston.log"
    # Weston belongs to run-e2e.sh's process group, which is stopped at the end.
    weston = subprocess.Popen(
        ["weston", "--backend=x11-backend.so", "--use-pixman", "--fullscreen",
         f"--width={screen[0]}", f"--height={screen[1]}", f"--socket={SOCKET}",
         f"--config={ini}", "--idle-time=0"],
        stdin=subprocess.DEVNULL, stdout=open(weston_log, "wb"), stderr=subprocess.STDOUT)
    env = dict(os.environ, WAYLAND_DISPLAY=SOCKET)
    deadline = time.monotonic() + 120
    while not (wid := compositor_ready(env, screen)):
        if weston.poll() is not None or time.monotonic() > deadline:
            log(f"weston did not start (its status: {weston.poll()})")
            sys.stderr.write(weston_log.read_text(errors="replace"))
            return 3
        time.sleep(0.1)
    # The compositor's seat follows the X focus: keys typed with xdotool reach it.
    e2e.xdotool("windowactivate", "--sync", wid)
    env.update(QT_QPA_PLATFORM="wayland", VEDRA_E2E_WAYLAND="1")
    return subprocess.call(["/usr/bin/python3", *sys.argv[1:]], env=env)


if __name__ == "__main__":
    sys.exit(main())
