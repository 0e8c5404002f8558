"""Helpers for the end-to-end test scripts, which run under run-e2e.sh with VEDRA_BIN (the
viewer), VEDRA_E2E_SCRATCH (a folder removed after the run) and, optionally,
VEDRA_E2E_ARTIFACTS (screenshots of failed cases). A script defines test_* functions and
ends with `vedra_e2e.run_tests(globals())`; names on the command line run only those."""

import ctypes
import faulthandler
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback
from pathlib import Path

import pyatspi
from gi.repository import Atspi

TITLE = "Vedra Viewer"
TIMEOUT = 60.0

# ---------------------------------------------------------------------------
# Waiting and checking
# ---------------------------------------------------------------------------


class TimedOut(AssertionError):
    pass


def wait_for(condition, timeout=TIMEOUT, what=None, interval=0.1):
    """Calls condition() until it returns something true and returns that; an exception
    counts as "not yet" (the window may be half built) and is reported at the deadline."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
            last_error = None
        except Exception as e:
            last_error = e
        if time.monotonic() >= deadline:
            message = f"timed out after {timeout:g} s waiting for {what or condition.__name__}"
            raise TimedOut(message + (f" (last error: {last_error!r})" if last_error else ""))
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


def scratch_dir(prefix="case-"):
    return Path(tempfile.mkdtemp(prefix=prefix, dir=os.environ.get("VEDRA_E2E_SCRATCH")))


def make_picture(path, size="64x48", colour="red"):
    """Writes a plain picture with ImageMagick; the format follows the file name."""
    subprocess.run(["convert", "-size", size, f"xc:{colour}", str(path)], check=True,
                   timeout=TIMEOUT)
    return Path(path)


# ---------------------------------------------------------------------------
# Processes
# ---------------------------------------------------------------------------

_prctl = ctypes.CDLL("libc.so.6", use_errno=True).prctl  # loaded before any fork
_helpers = []  # helper programs started by the current case


def helper(args, **kwargs):
    """Starts a helper program (a clipboard owner, a tray) that is stopped after the case and
    dies with the test script (PR_SET_PDEATHSIG)."""
    kwargs.setdefault("stdout", subprocess.DEVNULL)
    kwargs.setdefault("stderr", subprocess.DEVNULL)
    process = subprocess.Popen(args, stdin=kwargs.pop("stdin", subprocess.DEVNULL),
                               preexec_fn=lambda: _prctl(1, signal.SIGKILL), **kwargs)
    _helpers.append(process)
    return process


def stop_helpers():
    while _helpers:
        p = _helpers.pop()
        if p.poll() is None:
            p.kill()
        p.wait()


class Viewer:
    def __init__(self, args=(), cwd=None, env=None):
        fd, log_path = tempfile.mkstemp(prefix="viewer-", suffix=".log",
                                        dir=os.environ.get("VEDRA_E2E_SCRATCH"))
        self.log_path = Path(log_path)
        self.process = helper([os.environ["VEDRA_BIN"], *map(str, args)], cwd=cwd,
                              env={**os.environ, **(env or {})}, stdout=fd,
                              stderr=subprocess.STDOUT)
        os.close(fd)
        self.pid = self.process.pid
        self._app = None

    def wait_exit(self, timeout=TIMEOUT):
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TimedOut(f"the viewer still runs {timeout:g} s later") from None

    def _check_alive(self):
        status = self.process.poll()
        check(status is None, f"the viewer ended ({status}); its output:\n"
                              + self.log_path.read_text(errors="replace"))

    def windows(self):
        """The program's top-level objects on the accessibility bus (hidden ones too)."""
        if self._app is None:
            def find_app():
                self._check_alive()
                return application_of(self.pid)
            self._app = wait_for(find_app, what="the viewer on the accessibility bus")
            self._app.set_cache_mask(Atspi.Cache.NONE)
        self._app.clear_cache()
        return children(self._app)

    def frames(self, title=None):
        return [w for w in self.windows()
                if role(w) == "frame" and (title is None or name(w) == title)]

    def wait_frame(self, title=TITLE, timeout=TIMEOUT):
        """Waits for a shown top-level window (role frame) with exactly this title."""
        def find_frame():
            self._check_alive()
            return next((w for w in self.frames(title) if is_showing(w)), None)
        return wait_for(find_frame, timeout, f"a window titled {title!r}")

    def message_boxes(self):
        return [w for w in self.windows() if role(w) in ("alert", "dialog") and is_showing(w)]

    def wait_message(self, text):
        """Waits for a shown message box (role alert or dialog) that shows this text."""
        def find_box():
            self._check_alive()
            return next((w for w in self.message_boxes()
                         if text in map(text_of, descendants(w))), None)
        return wait_for(find_box, what=f"a message box saying {text!r}")


def start_in(folder, env=None):
    """Starts the viewer in folder and makes its main window the active one:
    (viewer, main window accessible, X window id)."""
    viewer = Viewer(cwd=folder, env=env)
    window = viewer.wait_frame(TITLE)
    return viewer, window, focus_window(TITLE)


# ---------------------------------------------------------------------------
# The accessibility tree
# ---------------------------------------------------------------------------


def application_of(pid):
    for app in children(pyatspi.Registry.getDesktop(0)):
        try:
            if app.get_process_id() == pid:
                return app
        except Exception:  # an application that has just ended
            pass
    return None


def children(acc):
    try:
        return [c for c in (acc.getChildAtIndex(i) for i in range(acc.childCount)) if c]
    except Exception:  # the object went away meanwhile
        return []


def role(acc):
    """The role's name as AT-SPI spells it: "frame", "push button", "menu item" ..."""
    try:
        return acc.getRoleName()
    except Exception:
        return ""


def name(acc):
    try:
        return acc.name or ""
    except Exception:
        return ""


def plain(caption):
    """A caption without its access-key marks: "Do&wn" -> "Down"."""
    return re.sub(r"&(.)", r"\1", caption)


def states(acc):
    try:
        return set(acc.getState().getStates())
    except Exception:
        return set()


def is_showing(acc):
    return {pyatspi.STATE_SHOWING, pyatspi.STATE_VISIBLE} <= states(acc)


def descendants(acc, max_depth=30):
    """Every accessible below acc, depth first, in tree order."""
    stack = [(c, 1) for c in reversed(children(acc))]
    while stack:
        node, depth = stack.pop()
        yield node
        if depth < max_depth:
            stack.extend((c, depth + 1) for c in reversed(children(node)))


def find_all(acc, role_name=None, caption=None, max_depth=30):
    """Accessibles below acc with this role and accessible name ("&" marks optional)."""
    return [d for d in descendants(acc, max_depth)
            if (role_name is None or role(d) == role_name)
            and (caption is None or plain(name(d)) == plain(caption))]


def find(acc, role_name=None, caption=None):
    found = find_all(acc, role_name, caption)
    check(found, f"no {role_name or 'object'} named {caption!r} under {role(acc)} {name(acc)!r}")
    return found[0]


def text_of(acc):
    """The text an object shows: its Text interface where there is one, else its name."""
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return name(acc)


def label_texts(acc):
    return [text_of(d) for d in descendants(acc) if role(d) == "label"]


def wait_line(window, expected):
    """Waits until the main window's information line (the label that starts with a size or
    with "W") contains expected."""
    def line():
        window.clear_cache()
        return next((t for t in label_texts(window) if t.startswith("W") or " byte  " in t), "")
    wait_for(lambda: expected in line(),
             what=f"the information line {expected!r} (it is {line()!r})")


def popup(viewer, title):
    """The open popup menu with this title, among the program's top-level objects."""
    return next((w for w in viewer.windows() if role(w) in ("menu", "popup menu")
                 and name(w) == title and is_showing(w)), None)


def wait_popup(viewer, title):
    return wait_for(lambda: popup(viewer, title), what=f"the popup menu {title!r}")


def menu_entries(menu):
    """The plain captions of a menu's items, "-" for a separator."""
    return [plain(name(c)) if role(c) != "separator" else "-" for c in children(menu)]


def menu_item(window, *path):
    """The item of the window's menu bar at this path of captions ("&" marks optional)."""
    node = find(window, "menu bar")
    for caption in path:
        # An item's entries may sit under a popup menu of their own: they count as its own.
        items = [g for c in children(node)
                 for g in (children(c) if role(c) in ("popup menu", "menu") else [c])]
        found = [c for c in items if plain(name(c)) == plain(caption)]
        check(found, f"no menu item {caption!r} in {[name(c) for c in items]}")
        node = found[0]
    return node


def do_action(acc):
    """Runs the object's default action (a button's press) over AT-SPI."""
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    check(names, f"{role(acc)} {name(acc)!r} offers no action")
    action.doAction(next((names.index(n) for n in ("press", "click", "activate", "toggle")
                          if n in names), 0))


def press_button(container, caption):
    do_action(find(container, "push button", caption))


def extents(acc):
    """(x, y, width, height) of an object on the screen."""
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


# ---------------------------------------------------------------------------
# X: windows, keys, pointer, screenshots
# ---------------------------------------------------------------------------


def run(*args):
    """Runs a tool and returns its output (without checking its status)."""
    return subprocess.run(list(map(str, args)), capture_output=True, text=True,
                          timeout=TIMEOUT).stdout


def xdotool(*args):
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                            timeout=TIMEOUT)
    check(result.returncode == 0, f"xdotool {' '.join(map(str, args))}: {result.stderr.strip()}")
    return result.stdout


def window_ids(title=TITLE):
    """Mapped X windows whose title is exactly title."""
    return [int(w) for w in
            run("xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$").split()]


def wait_window_id(title=TITLE):
    return wait_for(lambda: window_ids(title), what=f"a shown X window titled {title!r}")[0]


def wait_gone(title):
    wait_for(lambda: not window_ids(title), what=f"{title!r} to close")


def window_name(wid):
    return run("xdotool", "getwindowname", wid).strip()


def activate(wid):
    """Makes a window the active one (through the window manager) and waits until it is."""
    xdotool("windowactivate", "--sync", wid)
    wait_for(lambda: run("xdotool", "getactivewindow").strip() == str(wid),
             what=f"window {wid} to become active")
    return wid


def focus_window(title=TITLE):
    return activate(wait_window_id(title))


def key(*keys):
    """Sends keys (xdotool names: "Down", "ctrl+c") to the focused window."""
    xdotool("key", "--delay", 40, *keys)


def click(x, y, button=1, double=False):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), button)


def show_first_entry(wid, folder, file_name):
    """From the folder list (where the keyboard starts), shows the file list's first entry and
    waits for the title to name it."""
    key("Tab", "Down")
    expected = f"{TITLE} - {os.path.join(folder, file_name)}"
    wait_for(lambda: window_name(wid) == expected,
             what=f"the title {expected!r} (it is {window_name(wid)!r})")


def wm_state(wid):
    """The _NET_WM_STATE atoms of a window, e.g. {"_NET_WM_STATE_HIDDEN"}."""
    return set(re.findall(r"_NET_WM_STATE_[A-Z_]+", run("xprop", "-id", wid, "_NET_WM_STATE")))


def is_maximised(wid):
    return {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"} <= wm_state(wid)


def is_minimised(wid):
    return "_NET_WM_STATE_HIDDEN" in wm_state(wid)


def maximise(wid, on=True):
    """Maximises (or restores) a window through the window manager and waits until it is."""
    run("wmctrl", "-i", "-r", wid, "-b",
        f"{'add' if on else 'remove'},maximized_vert,maximized_horz")
    wait_for(lambda: is_maximised(wid) == on, what=f"window {wid} maximised={on}")


def is_fixed_size(wid):
    """True when the window's size hints forbid resizing and maximising it."""
    hints = run("xprop", "-id", wid, "WM_NORMAL_HINTS")
    sizes = [re.search(label + r" size: (\d+) by (\d+)", hints) for label in ("minimum", "maximum")]
    return all(sizes) and sizes[0].groups() == sizes[1].groups()


def geometry(wid):
    """(x, y, width, height) of a window's client area on the screen."""
    v = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", wid).split())
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def screenshot(path=None):
    """The whole screen as an RGB picture (saved at path when given)."""
    from PIL import Image
    path = path or scratch_dir("shot-") / "screen.png"
    subprocess.run(["import", "-window", "root", str(path)], check=True, timeout=TIMEOUT,
                   capture_output=True)
    return Image.open(path).convert("RGB")


class ClientListSpy:
    """Records every window the window manager starts managing while the spy is active,
    however short its life (windows managed before are left out)."""

    def __enter__(self):
        self.windows = set()
        self._proc = helper(["xprop", "-root", "-spy", "_NET_CLIENT_LIST"],
                            stdout=subprocess.PIPE, text=True)
        # xprop prints the current value at once; from then on it is listening.
        before = self._ids(self._proc.stdout.readline())
        threading.Thread(target=self._read, args=(before,), daemon=True).start()
        return self

    @staticmethod
    def _ids(line):
        return {int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", line)}

    def _read(self, before):
        for line in self._proc.stdout:
            self.windows |= self._ids(line) - before

    def __exit__(self, *exc):
        self._proc.kill()
        return False


# ---------------------------------------------------------------------------
# The runner
# ---------------------------------------------------------------------------


def run_tests(namespace, tools=()):
    """Runs every test_* function of a script in order; exits non-zero on any failure, 77
    (skipped) when one of the tools it needs is missing."""
    missing = [t for t in tools if not shutil.which(t)]
    if missing:
        print(f"missing tools: {' '.join(missing)} (skipping)")
        sys.exit(77)
    faulthandler.enable()  # a crash in the accessibility library shows where it happened
    def stop(signum, frame):
        print(f"stopped by signal {signum} in:\n{''.join(traceback.format_stack(frame))}",
              flush=True)
        sys.exit(128 + signum)
    for signum in (signal.SIGTERM, signal.SIGHUP):
        signal.signal(signum, stop)
    selected = sys.argv[1:]
    tests = [(n, f) for n, f in namespace.items()
             if n.startswith("test_") and callable(f) and (not selected or n in selected)]
    failed = 0
    for test_name, func in tests:
        print(f"--- {test_name}", flush=True)
        started = time.monotonic()
        try:
            func()
            print(f"PASS {test_name} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception:
            failed += 1
            print(f"FAIL {test_name}", flush=True)
            traceback.print_exc(file=sys.stdout)
            folder = os.environ.get("VEDRA_E2E_ARTIFACTS")
            if folder:
                os.makedirs(folder, exist_ok=True)
                shot = Path(folder) / f"{Path(sys.argv[0]).stem}-{test_name}.png"
                subprocess.run(["import", "-window", "root", str(shot)], timeout=TIMEOUT)
                print(f"  screenshot: {shot}")
            for log in Path(os.environ.get("VEDRA_E2E_SCRATCH", ".")).glob("viewer-*.log"):
                print(f"  {log.name}:\n    " + log.read_text(errors="replace")[-4000:]
                      .strip().replace("\n", "\n    "))
        finally:
            stop_helpers()
            for log in Path(os.environ.get("VEDRA_E2E_SCRATCH", ".")).glob("viewer-*.log"):
                log.unlink()
    print(f"{len(tests) - failed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed or not tests else 0)
