"""Helpers for the end-to-end test scripts of Vedra Viewer.

The scripts run under run-e2e.sh, which provides an X display with a window
manager, a session bus with the accessibility bus, throw-away XDG folders and
these variables:

    VEDRA_BIN           the viewer program
    VEDRA_E2E_SCRATCH   a folder the scripts may fill; removed after the run
    VEDRA_E2E_ARTIFACTS screenshots of failed cases go here (optional)

A script defines functions named test_* and ends with

    if __name__ == "__main__":
        vedra_e2e.run_tests(globals())

Each case runs in order; the viewers it started are killed after it, whatever
happened; the last line printed is "N passed, N failed". Names given on the
command line (run-e2e.sh BINARY SCRIPT test_a test_b) run only those cases.
"""

import ctypes
import os
import re
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
DEFAULT_TIMEOUT = 20.0

# ---------------------------------------------------------------------------
# Waiting and checking
# ---------------------------------------------------------------------------


class TimedOut(AssertionError):
    pass


def wait_for(condition, timeout=DEFAULT_TIMEOUT, what=None, interval=0.1):
    """Calls condition() until it returns something true and returns that.

    Exceptions raised by condition() count as "not yet"; the last one is
    reported when the time is up.
    """
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
            last_error = None
        except Exception as e:  # the window may be half built, or gone
            last_error = e
        if time.monotonic() >= deadline:
            message = f"timed out after {timeout:g} s waiting for {what or condition.__name__}"
            if last_error is not None:
                message += f" (last error: {last_error!r})"
            raise TimedOut(message)
        time.sleep(interval)


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def check_equal(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


# ---------------------------------------------------------------------------
# Files
# ---------------------------------------------------------------------------


def scratch_dir(prefix="case-"):
    """A new empty folder inside the run's scratch area."""
    base = os.environ.get("VEDRA_E2E_SCRATCH") or tempfile.gettempdir()
    return Path(tempfile.mkdtemp(prefix=prefix, dir=base))


def make_picture(path, size="64x48", colour="red"):
    """Writes a plain picture with ImageMagick; the format follows the file name."""
    path = Path(path)
    subprocess.run(["convert", "-size", size, f"xc:{colour}", str(path)],
                   check=True, timeout=60)
    return path


# ---------------------------------------------------------------------------
# The viewer process
# ---------------------------------------------------------------------------

_started = []  # every Viewer started by the current case


_prctl = ctypes.CDLL("libc.so.6", use_errno=True).prctl  # loaded before any fork


def _die_with_parent():
    """Runs in the child before exec: if the test script dies, the child dies too."""
    PR_SET_PDEATHSIG = 1
    _prctl(PR_SET_PDEATHSIG, signal.SIGKILL)


class Viewer:
    """One run of the viewer program."""

    def __init__(self, args=(), cwd=None, env=None, binary=None):
        self.binary = binary or os.environ["VEDRA_BIN"]
        self.args = [str(a) for a in args]
        self.cwd = str(cwd) if cwd is not None else None
        full_env = dict(os.environ)
        if env:
            full_env.update(env)
        fd, log_path = tempfile.mkstemp(prefix="viewer-", suffix=".log",
                                        dir=os.environ.get("VEDRA_E2E_SCRATCH") or None)
        self.log_path = Path(log_path)
        self._log = os.fdopen(fd, "wb")
        self.process = subprocess.Popen(
            [self.binary, *self.args], cwd=self.cwd, env=full_env,
            stdin=subprocess.DEVNULL, stdout=self._log, stderr=subprocess.STDOUT,
            preexec_fn=_die_with_parent)
        self.pid = self.process.pid
        self._app = None
        _started.append(self)

    # -- process --------------------------------------------------------------

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """Waits for the program to end and returns its exit status."""
        try:
            return self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise TimedOut(f"the viewer still runs {timeout:g} s later") from None

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self._log.close()

    def output(self):
        """What the program wrote on stdout and stderr so far."""
        self._log.flush()
        return self.log_path.read_text(errors="replace")

    def _check_alive(self):
        status = self.process.poll()
        if status is not None:
            raise AssertionError(f"the viewer ended with status {status}; its output:\n{self.output()}")

    # -- accessibility tree ----------------------------------------------------

    def app(self, timeout=DEFAULT_TIMEOUT):
        """The program's application object on the accessibility bus."""
        if self._app is not None:
            return self._app

        def find():
            self._check_alive()
            return application_of(self.pid)
        self._app = wait_for(find, timeout, "the viewer to appear on the accessibility bus")
        try:
            self._app.set_cache_mask(Atspi.Cache.NONE)
        except Exception:
            pass
        return self._app

    def windows(self):
        """The program's top-level windows, as accessibles (possibly hidden ones too)."""
        app = self.app()
        clear_cache(app)
        return children(app)

    def frames(self, title=None):
        return [w for w in self.windows()
                if role(w) == "frame" and (title is None or name(w) == title)]

    def wait_frame(self, title=TITLE, timeout=DEFAULT_TIMEOUT):
        """Waits for a shown top-level window (role frame) with exactly this title."""
        def find():
            self._check_alive()
            for w in self.frames(title):
                if is_showing(w):
                    return w
            return None
        return wait_for(find, timeout, f"a window titled {title!r}")

    def message_boxes(self):
        return [w for w in self.windows() if role(w) in ("alert", "dialog")]

    def wait_message(self, text, timeout=DEFAULT_TIMEOUT):
        """Waits for a message box (role alert or dialog) that shows this text."""
        def find():
            self._check_alive()
            for w in self.message_boxes():
                if is_showing(w) and text in texts_of(w):
                    return w
            return None
        return wait_for(find, timeout, f"a message box saying {text!r}")


def start_viewer(args=(), cwd=None, env=None):
    return Viewer(args, cwd, env)


def kill_all_viewers():
    while _started:
        _started.pop().kill()


# ---------------------------------------------------------------------------
# Reading the accessibility tree
# ---------------------------------------------------------------------------


def desktop():
    return pyatspi.Registry.getDesktop(0)


def application_of(pid):
    for app in children(desktop()):
        try:
            if app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def clear_cache(acc):
    try:
        acc.clear_cache()
    except Exception:
        pass


def children(acc):
    result = []
    try:
        count = acc.childCount
    except Exception:
        return result
    for i in range(count):
        try:
            child = acc.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None:
            result.append(child)
    return result


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
    """A caption without its access-key marks: "Do&wn" -> "Down", "&&" -> "&"."""
    return re.sub(r"&(.)", r"\1", caption)


def same_caption(accessible_name, caption):
    """True when an accessible name matches a caption, with or without "&" marks."""
    return accessible_name in (caption, plain(caption)) or plain(accessible_name) == plain(caption)


def states(acc):
    try:
        return set(acc.getState().getStates())
    except Exception:
        return set()


def is_showing(acc):
    s = states(acc)
    return pyatspi.STATE_SHOWING in s and pyatspi.STATE_VISIBLE in s


def is_checked(acc):
    return pyatspi.STATE_CHECKED in states(acc)


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
            and (caption is None or same_caption(name(d), caption))]


def find(acc, role_name=None, caption=None, max_depth=30):
    """The first accessible below acc with this role and name; fails if there is none."""
    for d in descendants(acc, max_depth):
        if (role_name is None or role(d) == role_name) and \
                (caption is None or same_caption(name(d), caption)):
            return d
    raise AssertionError(f"no {role_name or 'object'} named {caption!r} under {role(acc)} {name(acc)!r}")


def text_of(acc):
    """The text an object shows: its Text interface where there is one, else its name."""
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return name(acc)


def texts_of(acc):
    """Every name and text shown inside acc (itself included)."""
    found = [name(acc)]
    for d in descendants(acc):
        found.append(name(d))
        if role(d) in ("label", "text", "static", "paragraph"):
            found.append(text_of(d))
    return [t for t in found if t]


def label_texts(acc):
    """The texts of the labels inside acc, in tree order."""
    return [text_of(d) for d in descendants(acc) if role(d) == "label"]


def list_entries(list_acc):
    """The entries of a list, list box or combo box, in order."""
    entries = []
    for d in descendants(list_acc, max_depth=3):
        if role(d) in ("list item", "menu item", "table cell"):
            entries.append(name(d))
    return entries


def information_line(window):
    """The main window's information line: the label that starts with a size or with "W"."""
    clear_cache(window)
    for t in label_texts(window):
        if t.startswith("W") or " byte  " in t:
            return t
    return ""


def popup(viewer, title):
    """The open popup menu with this title, among the program's top-level objects."""
    for w in viewer.windows():
        if role(w) in ("menu", "popup menu") and name(w) == title and is_showing(w):
            return w
    return None


def wait_popup(viewer, title):
    return wait_for(lambda: popup(viewer, title), what=f"the popup menu {title!r}")


def menu_entries(menu):
    """The plain captions of a menu's items, "-" for a separator."""
    clear_cache(menu)
    return [plain(name(c)) if role(c) != "separator" else "-" for c in children(menu)]


def push_buttons(acc):
    """The accessible names of every push button inside acc."""
    return [name(d) for d in descendants(acc) if role(d) in ("push button", "toggle button")]


# -- menus -------------------------------------------------------------------


def menu_bar(window):
    bars = find_all(window, "menu bar", max_depth=3)
    check(bars, f"the window {name(window)!r} has no menu bar")
    return bars[0]


def _menu_children(item):
    """The items of a menu, whether the bridge puts them under a popup menu or not."""
    result = []
    for c in children(item):
        if role(c) in ("popup menu", "menu"):
            result.extend(children(c))
        else:
            result.append(c)
    return result


def menu_titles(window):
    """The captions on the menu bar, as accessible names."""
    return [name(c) for c in children(menu_bar(window)) if role(c) in ("menu item", "menu")]


def checked_menu_items(window):
    """Every checked item of the menu bar, as paths of plain captions ("Image > Speed Slide Show > Normal")."""
    found = []

    def walk(node, path):
        for c in _menu_children(node):
            if role(c) == "separator":
                continue
            here = path + [plain(name(c))]
            if is_checked(c):
                found.append(" > ".join(here))
            walk(c, here)
    for top in children(menu_bar(window)):
        title = [plain(name(top))]
        walk(top, title)
    return found


# -- acting ------------------------------------------------------------------


def do_action(acc, preferred=("press", "click", "activate", "toggle")):
    """Runs the object's default action (a button's press) over AT-SPI."""
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    check(names, f"{role(acc)} {name(acc)!r} offers no action")
    index = 0
    for wanted in preferred:
        if wanted in names:
            index = names.index(wanted)
            break
    action.doAction(index)


def timed_action(acc, preferred=("press", "click", "activate", "toggle")):
    """Runs the object's default action and returns how long the program took to answer, in
    seconds. A screen reader gives up on a program that answers late."""
    started = time.monotonic()
    do_action(acc, preferred)
    return time.monotonic() - started


def menu_item(window, *path):
    """The item of the window's menu bar at this path of captions ("&" marks optional):
    menu_item(window, "Options", "Folder to Copy/Move")."""
    node = menu_bar(window)
    for caption in path:
        found = [c for c in _menu_children(node) if same_caption(name(c), caption)]
        check(found, f"no menu item {caption!r} in {[name(c) for c in _menu_children(node)]}")
        node = found[0]
    return node


def press_button(container, caption):
    """Presses the push button with this caption inside container (e.g. OK in a message box)."""
    do_action(find(container, "push button", caption))


def extents(acc):
    """(x, y, width, height) of an object on the screen."""
    e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def click_object(acc, button=1, double=False):
    """Clicks the middle of an object with the real pointer."""
    x, y, w, h = extents(acc)
    click(x + w // 2, y + h // 2, button, double)


# ---------------------------------------------------------------------------
# X: windows, keys, pointer, screenshots
# ---------------------------------------------------------------------------


def xdotool(*args, timeout=DEFAULT_TIMEOUT, check_status=True):
    """Runs xdotool and returns its output; fails on a non-zero status when check_status."""
    result = subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True,
                            timeout=timeout)
    if check_status and result.returncode != 0:
        raise AssertionError(f"xdotool {' '.join(map(str, args))} failed: {result.stderr.strip()}")
    return result.stdout


def title_pattern(title):
    return "^" + re.escape(title) + "$"


def window_ids(title=TITLE, visible=True):
    """X windows whose title is exactly title (only mapped ones when visible)."""
    args = ["search"] + (["--onlyvisible"] if visible else []) + ["--name", title_pattern(title)]
    out = xdotool(*args, check_status=False)
    return [int(w) for w in out.split()]


def wait_window_ids(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Waits until at least one window titled exactly title is mapped; returns all of them.

    A window reported as showing over AT-SPI may not be mapped yet: the window
    manager maps it a moment later.
    """
    return wait_for(lambda: window_ids(title), timeout, f"a shown X window titled {title!r}")


def wait_window_id(title=TITLE, timeout=DEFAULT_TIMEOUT):
    return wait_window_ids(title, timeout)[0]


def window_name(wid):
    return xdotool("getwindowname", wid, check_status=False).strip()


def focus_window(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Makes the window with this title the active one (through the window manager)."""
    wid = wait_window_id(title, timeout)
    xdotool("windowactivate", "--sync", wid, timeout=timeout)
    wait_for(lambda: active_window() == wid, timeout, f"{title!r} to become active")
    return wid


def active_window():
    out = xdotool("getactivewindow", check_status=False).strip()
    return int(out) if out else None


def key(*keys, delay_ms=40):
    """Sends keys (xdotool names: "Down", "ctrl+c", "alt+F4") to the focused window."""
    xdotool("key", "--delay", delay_ms, *keys)


def start_in(folder, env=None):
    """Starts the viewer in folder and makes its main window the active one:
    (viewer, main window accessible, X window id)."""
    viewer = start_viewer(cwd=folder, env=env)
    window = viewer.wait_frame(TITLE)
    return viewer, window, focus_window(TITLE)


def wait_title(wid, path):
    """Waits until the main window's title names the file at path."""
    expected = f"{TITLE} - {path}"
    wait_for(lambda: window_name(wid) == expected,
             what=f"the title {expected!r} (it is {window_name(wid)!r})")


def show_first_entry(wid, folder, name):
    """From the folder list (where the keyboard starts), shows the file list's first entry."""
    key("Tab", "Down")
    wait_title(wid, os.path.join(folder, name))


def type_text(text, delay_ms=20):
    xdotool("type", "--delay", delay_ms, "--", text)


def click(x, y, button=1, double=False):
    xdotool("mousemove", "--sync", x, y)
    xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), button)


def close_window(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Asks the window manager to close the window, as its close button does."""
    wid = wait_window_id(title, timeout)
    _X11().send_to_root(wid, "_NET_CLOSE_WINDOW", 0, _SOURCE_PAGER)
    return wid


def window_state(wid):
    """The _NET_WM_STATE atoms of a window, e.g. {"_NET_WM_STATE_MAXIMIZED_VERT", ...}."""
    out = subprocess.run(["xprop", "-id", str(wid), "_NET_WM_STATE"], capture_output=True,
                         text=True, timeout=DEFAULT_TIMEOUT).stdout
    return set(re.findall(r"_NET_WM_STATE_[A-Z_]+", out))


def is_maximised(wid):
    s = window_state(wid)
    return {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"} <= s


def is_minimised(wid):
    return "_NET_WM_STATE_HIDDEN" in window_state(wid)


def _change_state(wid, action, *states):
    x = _X11()
    atoms = [x.atom(s) for s in states] + [0] * (2 - len(states))
    x.send_to_root(wid, "_NET_WM_STATE", action, *atoms, _SOURCE_PAGER)


def maximise(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Maximises the window through the window manager and waits until it is."""
    wid = wait_window_id(title, timeout)
    _change_state(wid, 1, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ")
    wait_for(lambda: is_maximised(wid), timeout, f"{title!r} to be maximised")
    return wid


def restore(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Takes a maximised window back to its normal size."""
    wid = wait_window_id(title, timeout)
    _change_state(wid, 0, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ")
    wait_for(lambda: not is_maximised(wid), timeout, f"{title!r} to be restored")
    return wid


def minimise(title=TITLE, timeout=DEFAULT_TIMEOUT):
    """Minimises (iconifies) the window, as its title bar's button does."""
    wid = wait_window_id(title, timeout)
    _X11().send_to_root(wid, "WM_CHANGE_STATE", 3)  # IconicState
    wait_for(lambda: is_minimised(wid), timeout, f"{title!r} to be minimised")
    return wid


_SOURCE_PAGER = 2  # requests "from a pager" are obeyed without focus-stealing checks


class _XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessage), ("pad", ctypes.c_long * 24)]


class _X11:
    """Just enough Xlib, through ctypes, to send window-manager requests as wmctrl does."""

    _lib = None

    def __init__(self):
        if _X11._lib is None:
            lib = ctypes.CDLL("libX11.so.6")
            lib.XOpenDisplay.restype = ctypes.c_void_p
            lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
            lib.XDefaultRootWindow.restype = ctypes.c_ulong
            lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
            lib.XInternAtom.restype = ctypes.c_ulong
            lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
            lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                       ctypes.c_long, ctypes.POINTER(_XEvent)]
            lib.XFlush.argtypes = [ctypes.c_void_p]
            lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
            _X11._lib = lib
        self.lib = _X11._lib

    def atom(self, atom_name):
        display = self.lib.XOpenDisplay(None)
        check(display, "cannot open the X display")
        try:
            return self.lib.XInternAtom(display, atom_name.encode(), 0)
        finally:
            self.lib.XCloseDisplay(display)

    def send_to_root(self, wid, message, *data):
        display = self.lib.XOpenDisplay(None)
        check(display, "cannot open the X display")
        try:
            event = _XEvent()
            event.xclient.type = 33  # ClientMessage
            event.xclient.send_event = 1
            event.xclient.window = wid
            event.xclient.message_type = self.lib.XInternAtom(display, message.encode(), 0)
            event.xclient.format = 32
            for i, value in enumerate(data[:5]):
                event.xclient.data[i] = value
            mask = (1 << 20) | (1 << 19)  # SubstructureRedirect | SubstructureNotify
            root = self.lib.XDefaultRootWindow(display)
            check(self.lib.XSendEvent(display, root, 0, mask, ctypes.byref(event)),
                  f"could not send {message}")
            self.lib.XFlush(display)
        finally:
            self.lib.XCloseDisplay(display)


def size_hints(wid):
    """The smallest and largest sizes a window asks the window manager for (WM_NORMAL_HINTS),
    as ((width, height) or None, (width, height) or None)."""
    out = subprocess.run(["xprop", "-id", str(wid), "WM_NORMAL_HINTS"], capture_output=True,
                         text=True, timeout=DEFAULT_TIMEOUT).stdout

    def size(label):
        match = re.search(label + r" size: (\d+) by (\d+)", out)
        return (int(match.group(1)), int(match.group(2))) if match else None
    return size("minimum"), size("maximum")


def is_fixed_size(wid):
    """True when the window's size hints forbid resizing and maximising it."""
    smallest, largest = size_hints(wid)
    return smallest is not None and smallest == largest


def cpu_seconds(pid):
    """The processor time a process has used so far (user and system), in seconds."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def geometry(wid):
    """(x, y, width, height) of a window's client area on the screen."""
    out = xdotool("getwindowgeometry", "--shell", wid)
    v = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(v["X"]), int(v["Y"]), int(v["WIDTH"]), int(v["HEIGHT"])


def screenshot(path):
    """Saves the whole screen as a PNG file."""
    subprocess.run(["import", "-window", "root", str(path)], check=True, timeout=60,
                   capture_output=True)
    return Path(path)


class ClientListSpy:
    """Records every window the window manager starts managing while it is active.

    A window that is mapped even for an instant passes through the window
    manager, so this sees it however short its life:

        with ClientListSpy() as spy:
            ...
        spy.windows  # ids of the client windows that appeared meanwhile

    Windows already managed when the spy starts are left out.
    """

    def __init__(self):
        self.windows = set()
        self._before = None
        self._cond = threading.Condition()

    def __enter__(self):
        self._proc = subprocess.Popen(["xprop", "-root", "-spy", "_NET_CLIENT_LIST"],
                                      stdout=subprocess.PIPE, text=True,
                                      preexec_fn=_die_with_parent)
        self._thread = threading.Thread(target=self._read, daemon=True)
        self._thread.start()
        # xprop prints the current value first; only then is it listening.
        with self._cond:
            ready = self._cond.wait_for(lambda: self._before is not None, timeout=DEFAULT_TIMEOUT)
        check(ready, "xprop -spy printed nothing")
        return self

    def _read(self):
        for line in self._proc.stdout:
            ids = {int(w, 16) for w in re.findall(r"0x[0-9a-fA-F]+", line)}
            with self._cond:
                if self._before is None:
                    self._before = ids
                else:
                    self.windows |= ids - self._before
                self._cond.notify_all()

    def __exit__(self, *exc):
        self._proc.kill()
        self._proc.wait()
        self._thread.join(timeout=5)
        return False


# ---------------------------------------------------------------------------
# The runner
# ---------------------------------------------------------------------------


def _save_failure_screenshot(test_name):
    folder = os.environ.get("VEDRA_E2E_ARTIFACTS")
    if not folder:
        return None
    try:
        os.makedirs(folder, exist_ok=True)
        script = Path(sys.argv[0]).stem
        return screenshot(Path(folder) / f"{script}-{test_name}.png")
    except Exception:
        return None


def _on_signal(signum, _frame):
    raise SystemExit(128 + signum)


def run_tests(namespace):
    """Runs every test_* function of a script in order; exits non-zero on any failure."""
    signal.signal(signal.SIGTERM, _on_signal)
    signal.signal(signal.SIGHUP, _on_signal)
    selected = sys.argv[1:]
    tests = [(n, f) for n, f in namespace.items()
             if n.startswith("test_") and callable(f) and (not selected or n in selected)]
    passed = failed = 0
    for test_name, func in tests:
        print(f"--- {test_name}", flush=True)
        started = time.monotonic()
        viewers = []
        try:
            func()
        except Exception:
            failed += 1
            print(f"FAIL {test_name}", flush=True)
            traceback.print_exc(file=sys.stdout)
            viewers = list(_started)
            shot = _save_failure_screenshot(test_name)
            if shot:
                print(f"  screenshot: {shot}")
        else:
            passed += 1
            print(f"PASS {test_name} ({time.monotonic() - started:.1f} s)", flush=True)
        finally:
            for v in viewers:
                out = v.output().strip()
                if out:
                    print(f"  viewer output (pid {v.pid}):")
                    print("    " + out[-4000:].replace("\n", "\n    "))
            kill_all_viewers()
    if not tests:
        print("no test_* functions found", flush=True)
    print(f"{passed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed or not tests else 0)
