"""Runs an end-to-end test script against a Wayland compositor nested in the X display.

    run-e2e.sh BINARY wayland_session.py TEST_SCRIPT [CASES...]

run-e2e.sh provides the Xvfb display, the session and accessibility buses and the
throw-away folders; this starts weston with its X11 backend as a full-screen window of
that display, waits until its socket answers, and runs TEST_SCRIPT with

    WAYLAND_DISPLAY     the compositor's socket
    QT_QPA_PLATFORM     wayland (the viewer never falls back to X11)
    VEDRA_E2E_WAYLAND=1

Weston's headless backend would do for reading the window over AT-SPI, but it has no
seat: no keyboard, no pointer and no clipboard. The X11 backend gives the compositor a
seat fed by the X display, so xdotool's keys and clicks reach the Wayland program through
the compositor and wl-copy/wl-paste reach its clipboard; the compositor's single output is
the whole X screen, so a screenshot of the X root is a screenshot of the output.

Exit status: the test script's; 77 when weston, wl-clipboard or Qt's Wayland plugin is
missing; 3 when the compositor does not start.
"""

import os
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

SOCKET = "vedra-e2e-wayland"
START_TIMEOUT = 60.0


def log(message):
    print(f"wayland-session: {message}", file=sys.stderr, flush=True)


def qt_wayland_plugin_present():
    """Qt's Wayland platform plugin, in Debian's plugin folder or on QT_PLUGIN_PATH."""
    folders = [str(p) for p in Path("/usr/lib").glob("*/qt6/plugins")]
    folders += ["/usr/lib/qt6/plugins", *os.environ.get("QT_PLUGIN_PATH", "").split(":")]
    return any(f and Path(f, "platforms", "libqwayland-generic.so").exists() for f in folders)


def socket_answers(env):
    """True once a Wayland client can connect and list the compositor's globals."""
    result = subprocess.run(["wl-paste", "--list-types"], env=env, capture_output=True,
                            timeout=30)
    # With an empty clipboard wl-paste says so and ends with 1; without a compositor
    # it cannot connect at all.
    return b"connect" not in result.stderr.lower() and result.returncode in (0, 1)


def x_window_of_compositor():
    """The compositor's output window once it fills the X screen (the window manager
    makes it full screen a moment after it is mapped)."""
    out = subprocess.run(["xdotool", "search", "--onlyvisible", "--class", "weston"],
                         capture_output=True, text=True, timeout=30).stdout.split()
    if not out:
        return None
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", out[0]],
                              capture_output=True, text=True, timeout=30).stdout.split()
    screen = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                            timeout=30).stdout.split()
    expected = ["X=0", "Y=0", f"WIDTH={screen[0]}", f"HEIGHT={screen[1]}"] if screen else None
    return out[0] if expected and all(e in geometry for e in expected) else None


def main():
    if len(sys.argv) < 2:
        log("usage: run-e2e.sh BINARY wayland_session.py TEST_SCRIPT [CASES...]")
        return 64
    for tool in ("weston", "wl-copy", "wl-paste"):
        if not shutil.which(tool):
            log(f"missing tool: {tool} (packages weston, wl-clipboard; skipping)")
            return 77
    if not qt_wayland_plugin_present():
        log("Qt's Wayland platform plugin is missing (package qt6-wayland; skipping)")
        return 77

    workdir = Path(os.environ["VEDRA_E2E_DIR"])
    runtime = os.environ["XDG_RUNTIME_DIR"]
    # Weston's own configuration: no screen blanking, no lock, nothing from the user's.
    ini = workdir / "weston.ini"
    ini.write_text("[core]\nidle-time=0\n\n[shell]\nlocking=false\nanimation=none\n"
                   "startup-animation=none\n")
    screen = subprocess.run(["xdotool", "getdisplaygeometry"], capture_output=True, text=True,
                            timeout=30).stdout.split()
    size = [f"--width={screen[0]}", f"--height={screen[1]}"] if len(screen) == 2 else []
    weston_log = workdir / "weston.log"
    with open(weston_log, "wb") as out:
        weston = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", "--fullscreen", *size,
             f"--socket={SOCKET}", f"--config={ini}", "--idle-time=0"],
            stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)

    env = dict(os.environ, WAYLAND_DISPLAY=SOCKET)
    status = 3
    try:
        deadline = time.monotonic() + START_TIMEOUT
        ready = False
        while time.monotonic() < deadline and weston.poll() is None:
            if Path(runtime, SOCKET).exists() and socket_answers(env) and x_window_of_compositor():
                ready = True
                break
            time.sleep(0.1)
        if not ready:
            log(f"weston did not start (its status: {weston.poll()})")
            sys.stderr.write(weston_log.read_text(errors="replace"))
            return 3
        # The compositor's seat follows the X focus: keys typed with xdotool reach it.
        subprocess.run(["xdotool", "windowactivate", "--sync", x_window_of_compositor()],
                       capture_output=True, timeout=30)

        env.update(QT_QPA_PLATFORM="wayland", VEDRA_E2E_WAYLAND="1")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        test = subprocess.Popen(["/usr/bin/python3", *sys.argv[1:]], env=env)
        try:
            status = test.wait()
        except BaseException:
            test.terminate()
            test.wait()
            raise
        return status
    finally:
        weston.terminate()
        try:
            weston.wait(timeout=10)
        except subprocess.TimeoutExpired:
            weston.kill()
            weston.wait()


if __name__ == "__main__":
    signal.signal(signal.SIGTERM, lambda signum, _frame: sys.exit(128 + signum))
    sys.exit(main())
