"""Black-box benchmark: from process start until a 24 MP JPEG's pixels are on the screen.

    build/bench/blackbox/blackbox_bench [--runs N] [--keep]

The real viewer, feh, nsxiv and qimgv open the same picture from the command line on one
private Xvfb display with openbox, in interleaved rounds; the time runs from just before the
program is started until the picture's final pixels are read back from the X server. The
floor is `djpeg` decoding the shown part of the same file plus the start of a minimal Qt
Widgets program until its window is on the screen. A centred crop lets djpeg stop reading
the data below it; the viewer reads every block to find broken data anywhere, so for
Original Size a second floor takes the same part from the picture's bottom rows, which
makes djpeg read all of the data too. Every figure is the median of the rounds.

Pictures: one photo-like picture (make_pictures.py) as a baseline and as a progressive JPEG
of the same coefficients, each alone in its folder and named from the current folder.

Modes:
- Original Size: the viewer's start-up mode (the centre of the picture at natural size);
  feh without zoom options, nsxiv -z 100, qimgv with its fit mode set to original size.
- Resize Maintain Aspect: the viewer always starts in Original Size and keeps no size mode
  between runs, so it is timed in two parts that are added: (a) from start, without a
  picture in a folder holding only the picture, until its main window is on the screen, and
  (b) with Resize Maintain Aspect picked in the size box, from the key press that selects the
  file in the file list until the fitted picture is on the screen. The keys that pick the
  mode are sent between the parts and are not timed. The peers fit by default: feh
  --scale-down, nsxiv -s f, qimgv with its fit mode set to fit the window.
feh, nsxiv and the floor window get the viewer's window size (566 x 405); qimgv opens its
own default window.

How the picture is recognised: a first, untimed start of each program in each case waits
until the screen has been still for a while, finds the area covered by picture colours (the
picture's hues are far from any window grey), checks that it is whole (filled, and for a
fitted picture of the picture's aspect and content), and keeps nine small patches spread over
it. A timed run counts when all nine patches read back equal to those; a blank window, a
partly painted picture or a coarse preview of a progressive file does not match. Resident
memory (VmRSS) is read in that first start, once the screen is still.

A missing tool stops the benchmark with the Debian package to install. Every process started
here runs in a process group of its own and is stopped on the way out, failures included.
"""

import argparse
import hashlib
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

SCREEN_W, SCREEN_H = 1280, 1024
WINDOW_GEOMETRY = "566x405"  # the viewer's main window: 8490 x 6075 twips
SHOWN_CROP = (369, 353)  # the viewer's viewing frame, which shows the centre at natural size
START_TIMEOUT = 90.0  # seconds; generous for a busy machine
STILL_FOR = 1.5  # seconds without a change before a first start's screen counts as final
POLL_SLEEP = 0.003

TOOLS = {
    "Xvfb": "xvfb",
    "xauth": "xauth",
    "openbox": "openbox",
    "dbus-daemon": "dbus",
    "feh": "feh",
    "nsxiv": "nsxiv",
    "qimgv": "qimgv",
    "djpeg": "libjpeg-turbo-progs",
    "cjpeg": "libjpeg-turbo-progs",
    "jpegtran": "libjpeg-turbo-progs",
}


class Stop(Exception):
    """Ends the benchmark with a message and no figures."""


def find_tools():
    found = {}
    for tool, package in TOOLS.items():
        path = shutil.which(tool)
        if path is None:
            raise Stop(f"{tool} is not installed: install the Debian package {package} "
                       "(scripts/install-deps.sh does)")
        found[tool] = path
    return found


try:
    import numpy as np
    from Xlib import X, XK
    from Xlib import display as xdisplay
    from Xlib import error as xerror
    from Xlib.ext import xtest
except ImportError as missing:
    sys.exit(f"blackbox_bench: {missing}: install python3-numpy and python3-xlib "
             "(scripts/install-deps.sh does)")

import make_pictures  # noqa: E402  (after the path set-up above)


# ---------------------------------------------------------------------------------------
# Processes
# ---------------------------------------------------------------------------------------
class Processes:
    """Every process the benchmark starts, each the leader of its own process group."""

    def __init__(self):
        self.running = []

    def start(self, argv, **kwargs):
        process = subprocess.Popen(argv, start_new_session=True, close_fds=True, **kwargs)
        self.running.append(process)
        return process

    def stop(self, process):
        if process.poll() is None:
            try:
                os.killpg(process.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                pass
        # The group may hold children that outlive their leader.
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait()
        if process in self.running:
            self.running.remove(process)

    def stop_all(self):
        for process in reversed(list(self.running)):
            self.stop(process)


def resident_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


# ---------------------------------------------------------------------------------------
# The X session: Xvfb, a session bus and openbox
# ---------------------------------------------------------------------------------------
def display_free(n):
    if os.path.exists(f"/tmp/.X{n}-lock") or os.path.exists(f"/tmp/.X11-unix/X{n}"):
        return False
    with open("/proc/net/unix") as sockets:
        return not any(line.rstrip().endswith(f"/tmp/.X11-unix/X{n}") for line in sockets)


def start_session(processes, tools, workdir):
    env = dict(os.environ)
    env["XAUTHORITY"] = os.path.join(workdir, "Xauthority")
    os.environ["XAUTHORITY"] = env["XAUTHORITY"]  # for this script's own connection
    cookie = os.urandom(16).hex()
    first = 100 + int.from_bytes(os.urandom(2), "little") % 800
    for i in range(200):
        n = 100 + (first - 100 + i) % 800
        if not display_free(n):
            continue
        open(env["XAUTHORITY"], "w").close()
        subprocess.run([tools["xauth"], "-q", "-f", env["XAUTHORITY"], "add", f":{n}", ".",
                        cookie], check=True)
        log = open(os.path.join(workdir, "xvfb.log"), "w")
        xvfb = processes.start([tools["Xvfb"], f":{n}", "-screen", "0",
                                f"{SCREEN_W}x{SCREEN_H}x24", "-noreset", "-nolisten", "tcp",
                                "-auth", env["XAUTHORITY"]], stdout=log, stderr=log, env=env)
        deadline = time.monotonic() + 30
        connection = None
        while time.monotonic() < deadline and xvfb.poll() is None:
            try:
                connection = xdisplay.Display(f":{n}")
                break
            except Exception:
                time.sleep(0.1)
        if connection is not None:
            env["DISPLAY"] = f":{n}"
            break
        processes.stop(xvfb)  # lost a race for this display, or it never answered
    else:
        raise Stop("could not start Xvfb on any display")

    bus = processes.start([tools["dbus-daemon"], "--session", "--nofork", "--print-address=1"],
                          stdout=subprocess.PIPE, env=env, text=True)
    address = bus.stdout.readline().strip()
    if not address:
        raise Stop("the session bus did not start")
    env["DBUS_SESSION_BUS_ADDRESS"] = address

    log = open(os.path.join(workdir, "openbox.log"), "w")
    processes.start([tools["openbox"]], stdout=log, stderr=log, env=env)
    screen = Screen(connection)
    wait_for(lambda: screen.root_property("_NET_SUPPORTING_WM_CHECK") is not None, 30,
             "openbox did not start")
    return env, screen


def wait_for(condition, timeout, failure):
    deadline = time.monotonic() + timeout
    while not condition():
        if time.monotonic() > deadline:
            raise Stop(failure)
        time.sleep(0.02)


class Screen:
    """Reads the root window back and sends keys through the XTEST extension."""

    def __init__(self, connection):
        self.d = connection
        self.root = connection.screen().root
        if not self.d.has_extension("XTEST"):
            raise Stop("the X server has no XTEST extension")

    def grab(self, x, y, w, h):
        raw = self.root.get_image(x, y, w, h, X.ZPixmap, 0xFFFFFFFF).data
        pixels = np.frombuffer(raw, dtype=np.uint8).reshape(h, w, 4)
        return pixels[:, :, 2::-1]  # BGRX to RGB

    def whole(self):
        return self.grab(0, 0, SCREEN_W, SCREEN_H)

    def root_property(self, name):
        prop = self.root.get_full_property(self.d.intern_atom(name), X.AnyPropertyType)
        return None if prop is None else prop.value

    def client_windows(self):
        value = self.root_property("_NET_CLIENT_LIST")
        return [] if value is None else list(value)

    def active_pid(self):
        value = self.root_property("_NET_ACTIVE_WINDOW")
        if value is None or not value[0]:
            return None
        try:
            window = self.d.create_resource_object("window", value[0])
            pid = window.get_full_property(self.d.intern_atom("_NET_WM_PID"), X.AnyPropertyType)
        except xerror.XError:
            return None
        return None if pid is None else pid.value[0]

    def key(self, name, shift=False):
        shift_code = self.d.keysym_to_keycode(XK.string_to_keysym("Shift_L"))
        code = self.d.keysym_to_keycode(XK.string_to_keysym(name))
        if shift:
            xtest.fake_input(self.d, X.KeyPress, shift_code)
        xtest.fake_input(self.d, X.KeyPress, code)
        xtest.fake_input(self.d, X.KeyRelease, code)
        if shift:
            xtest.fake_input(self.d, X.KeyRelease, shift_code)
        self.d.sync()


class Probe:
    """Small patches of the screen and the pixels they must show."""

    def __init__(self, screen, rects):
        self.rects = rects
        self.expected = [screen.grab(*r).astype(np.int16) for r in rects]

    def matches(self, screen):
        for rect, expected in zip(self.rects, self.expected):
            if np.abs(screen.grab(*rect).astype(np.int16) - expected).max() > 6:
                return False
        return True


def grid_patches(box, size=8):
    x0, y0, x1, y1 = box
    rects = []
    for fy in (0.2, 0.5, 0.8):
        for fx in (0.2, 0.5, 0.8):
            x = int(x0 + fx * (x1 - x0 - size))
            y = int(y0 + fy * (y1 - y0 - size))
            rects.append((x, y, size, size))
    return rects


def wait_until_still(screen, since, process):
    """The whole screen once it has not changed for STILL_FOR seconds."""
    deadline = since + START_TIMEOUT
    last = screen.whole().copy()
    last_change = time.monotonic()
    while True:
        time.sleep(0.1)
        if process.poll() is not None:
            raise Stop(f"{process.args[0]} ended with status {process.returncode}")
        now = time.monotonic()
        current = screen.whole()
        if not np.array_equal(current, last):
            last = current.copy()
            last_change = now
        elif now - last_change >= STILL_FOR and now - since >= 1.0:
            return last
        if now > deadline:
            raise Stop(f"{process.args[0]}: the screen never came to rest")


def changed_box(before, after):
    rows = np.nonzero((before != after).any(axis=2).any(axis=1))[0]
    cols = np.nonzero((before != after).any(axis=2).any(axis=0))[0]
    if rows.size == 0:
        return None
    return int(cols[0]), int(rows[0]), int(cols[-1]) + 1, int(rows[-1]) + 1


def longest_run(flags):
    best, start = (0, 0), None
    for i, flag in enumerate(list(flags) + [False]):
        if flag and start is None:
            start = i
        elif not flag and start is not None:
            if i - start > best[1] - best[0]:
                best = (start, i)
            start = None
    return best


def picture_area(shot):
    """The box of the screen covered by picture colours, or None."""
    rgb = shot.astype(np.int16)
    mask = (rgb.max(axis=2) - rgb.min(axis=2)) >= 45
    per_row = mask.sum(axis=1)
    if per_row.max() < 60:
        return None
    y0, y1 = longest_run(per_row >= 0.5 * per_row.max())
    per_col = mask[y0:y1].sum(axis=0)
    x0, x1 = longest_run(per_col >= 0.5 * (y1 - y0))
    if x1 - x0 < 60 or y1 - y0 < 40 or mask[y0:y1, x0:x1].mean() < 0.97:
        return None
    return x0, y0, x1, y1


def cell_means(image, cols=12, rows=8):
    h, w = image.shape[:2]
    cells = np.empty((rows, cols, 3))
    for j in range(rows):
        for i in range(cols):
            cells[j, i] = image[j * h // rows:(j + 1) * h // rows,
                                i * w // cols:(i + 1) * w // cols].reshape(-1, 3).mean(axis=0)
    return cells


# ---------------------------------------------------------------------------------------
# The programs and the cases
# ---------------------------------------------------------------------------------------
class Bench:
    def __init__(self, args, tools, processes, env, screen, workdir, pictures):
        self.args = args
        self.tools = tools
        self.processes = processes
        self.env = env
        self.screen = screen
        self.workdir = workdir
        self.pictures = pictures  # kind -> (folder, file name)
        self.thumbnail = None
        self.qimgv_settings = ""
        self.parts = (0.0, 0.0)  # the fit viewer's two parts in the last timed run
        self.background = screen.whole().copy()

    # A fresh home and XDG folders for every start, so no start sees what an earlier one
    # wrote (qimgv stores its settings and window state there).
    def fresh_env(self, qimgv_fit_mode=None):
        home = os.path.join(self.workdir, "home")
        shutil.rmtree(home, ignore_errors=True)
        env = dict(self.env)
        for var, sub in (("HOME", ""), ("XDG_CONFIG_HOME", ".config"),
                         ("XDG_DATA_HOME", ".local/share"), ("XDG_CACHE_HOME", ".cache"),
                         ("XDG_RUNTIME_DIR", "runtime")):
            env[var] = os.path.join(home, sub) if sub else home
            os.makedirs(env[var], mode=0o700, exist_ok=True)
        if qimgv_fit_mode is not None:
            os.makedirs(os.path.join(env["XDG_CONFIG_HOME"], "qimgv"), exist_ok=True)
            lines = [line for line in self.qimgv_settings.splitlines()
                     if not line.startswith("defaultFitMode=")]
            if "[General]" not in lines:
                lines.insert(0, "[General]")
            lines.insert(lines.index("[General]") + 1, f"defaultFitMode={qimgv_fit_mode}")
            with open(os.path.join(env["XDG_CONFIG_HOME"], "qimgv", "qimgv.conf"), "w") as conf:
                conf.write("\n".join(lines) + "\n")
        return env

    def learn_qimgv_settings(self):
        """The settings qimgv writes on its first start. Started with them, it skips the
        welcome message that a first start floats over the picture."""
        env = self.fresh_env()
        conf = os.path.join(env["XDG_CONFIG_HOME"], "qimgv", "qimgv.conf")
        log = open(os.path.join(self.workdir, "qimgv.log"), "a")
        folder, name = self.pictures["baseline"]
        process = self.processes.start([self.tools["qimgv"], name], cwd=folder, env=env,
                                       stdout=log, stderr=log)
        log.close()

        def written():
            try:
                with open(conf) as f:
                    return "firstRun=false" in f.read()
            except OSError:
                return False

        try:
            wait_for(written, START_TIMEOUT, "qimgv did not write its settings")
        finally:
            self.finish(process)
        with open(conf) as f:
            self.qimgv_settings = f.read()

    def command(self, program, mode, kind):
        folder, name = self.pictures[kind]
        fit = mode == "fit"
        if program == "viewer":
            return [self.args.viewer] + ([] if fit else [name]), None
        if program == "feh":
            return [self.tools["feh"], "-g", WINDOW_GEOMETRY] + (["--scale-down"] if fit else []) + [name], None
        if program == "nsxiv":
            return [self.tools["nsxiv"], "-g", WINDOW_GEOMETRY] + (["-s", "f"] if fit else ["-z", "100"]) + [name], None
        if program == "qimgv":
            return [self.tools["qimgv"], name], (0 if fit else 2)
        if program == "floor":
            return [self.args.floor_window], None
        raise ValueError(program)

    def launch(self, program, mode, kind):
        argv, qimgv_mode = self.command(program, mode, kind)
        env = self.fresh_env(qimgv_mode)
        log = open(os.path.join(self.workdir, f"{program}.log"), "a")
        started = time.monotonic()
        process = self.processes.start(argv, cwd=self.pictures[kind][0], env=env,
                                       stdout=log, stderr=log)
        log.close()
        return process, started

    def finish(self, process):
        self.processes.stop(process)
        wait_for(lambda: not self.screen.client_windows(), 30,
                 "a window stayed on the screen after its program was stopped")

    def wait_match(self, probe, process, what, timeout=START_TIMEOUT, stop=True):
        """The time the probe matched; None (or Stop) when it did not within `timeout`."""
        deadline = time.monotonic() + timeout
        while not probe.matches(self.screen):
            if process.poll() is not None:
                raise Stop(f"{what}: the program ended with status {process.returncode}")
            if time.monotonic() > deadline:
                if stop:
                    raise Stop(f"{what}: the expected pixels never appeared")
                return None
            time.sleep(POLL_SLEEP)
        return time.monotonic()

    def check_picture(self, shot, mode, what):
        box = picture_area(shot)
        if box is None:
            raise Stop(f"{what}: no picture on the screen (see {self.save_shot(shot, what)})")
        x0, y0, x1, y1 = box
        if mode == "fit":
            if abs((x1 - x0) / (y1 - y0) - 1.5) > 0.06:
                raise Stop(f"{what}: the fitted picture is {x1 - x0} x {y1 - y0}, not 3:2 "
                           f"(see {self.save_shot(shot, what)})")
            difference = np.abs(cell_means(shot[y0:y1, x0:x1]) - self.thumbnail).mean()
            if difference > 20:
                raise Stop(f"{what}: the fitted picture does not look like the test picture "
                           f"(see {self.save_shot(shot, what)})")
        return box

    def save_shot(self, shot, what):
        path = os.path.join(self.workdir, what.replace(" ", "_") + ".ppm")
        with open(path, "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (shot.shape[1], shot.shape[0]))
            out.write(np.ascontiguousarray(shot).tobytes())
        self.args.keep = True
        return path

    def ensure_clear(self, probe, what):
        if probe.matches(self.screen):
            raise Stop(f"{what}: the screen shows the expected pixels before the start")

    # The viewer in Resize Maintain Aspect: the steps between its two timed parts.
    def pick_fit_mode(self, process):
        wait_for(lambda: self.screen.active_pid() == process.pid, START_TIMEOUT,
                 "the viewer's window never got the focus")
        # The folder list has the focus; Tab order: file list, type box, size box.
        for _ in range(3):
            self.screen.key("Tab")
        self.screen.key("Down")  # "Resize Maintain Aspect"
        for _ in range(2):
            self.screen.key("Tab", shift=True)  # back to the file list

    def calibrate(self, program, mode, kind):
        """An untimed start that learns what the screen shows; returns (probes, KiB)."""
        what = f"{program} {mode} {kind}"
        process, started = self.launch(program, mode, kind)
        try:
            if program == "floor":
                shot = wait_until_still(self.screen, started, process)
                box = changed_box(self.background, shot)
                if box is None:
                    raise Stop(f"{what}: no window appeared")
                return [Probe(self.screen, grid_patches(box))], resident_kib(process.pid)
            if program == "viewer" and mode == "fit":
                shot = wait_until_still(self.screen, started, process)
                box = changed_box(self.background, shot)
                if box is None:
                    raise Stop(f"{what}: no window appeared")
                window = Probe(self.screen, grid_patches(box))
                self.pick_fit_mode(process)
                picked = wait_until_still(self.screen, time.monotonic(), process)
                changes = changed_box(shot, picked)
                if changes is None:
                    raise Stop(f"{what}: picking the size mode changed nothing on the screen")
                mode_picked = Probe(self.screen, [(changes[0], changes[1],
                                                   changes[2] - changes[0],
                                                   changes[3] - changes[1])])
                self.screen.key("Down")  # selects the picture in the file list
                shot = wait_until_still(self.screen, time.monotonic(), process)
                box = self.check_picture(shot, mode, what)
                probes = [window, mode_picked, Probe(self.screen, grid_patches(box))]
                return probes, resident_kib(process.pid)
            shot = wait_until_still(self.screen, started, process)
            box = self.check_picture(shot, mode, what)
            return [Probe(self.screen, grid_patches(box))], resident_kib(process.pid)
        finally:
            self.finish(process)

    def timed(self, program, mode, kind, probes):
        """Milliseconds from start to the picture (the fit viewer's two parts added)."""
        what = f"{program} {mode} {kind}"
        for _ in range(3):
            self.ensure_clear(probes[0], what)
            process, started = self.launch(program, mode, kind)
            try:
                elapsed = self.wait_match(probes[0], process, what) - started
                if program != "viewer" or mode != "fit":
                    return elapsed * 1000.0
                # Keys that reach the window before it has taken the focus are lost; such a
                # start is repeated.
                self.pick_fit_mode(process)
                if not self.wait_match(probes[1], process, what, timeout=10.0, stop=False):
                    continue
                selected = time.monotonic()
                self.screen.key("Down")
                loading = self.wait_match(probes[2], process, what) - selected
                self.parts = (elapsed * 1000.0, loading * 1000.0)
                return (elapsed + loading) * 1000.0
            finally:
                self.finish(process)
        raise Stop(f"{what}: the keys that pick the size mode were lost three times")

    def djpeg_ms(self, mode, kind, whole=False, bottom=False):
        """djpeg's time for the part of the picture that is shown (or the whole picture).
        With `bottom`, the same part is taken from the picture's bottom rows: djpeg then reads
        every block of the data, as the viewer must to find broken data anywhere (a centred
        crop stops reading the entropy-coded data below the crop)."""
        folder, name = self.pictures[kind]
        if mode == "fit":
            options = ["-scale", "1/8"]  # the smallest libjpeg scale at or above the fitted size
        elif whole:
            options = []
        else:
            w, h = SHOWN_CROP
            top = make_pictures.HEIGHT - h if bottom else (make_pictures.HEIGHT - h) // 2
            options = ["-crop", f"{w}x{h}+{(make_pictures.WIDTH - w) // 2}+{top}"]
        argv = [self.tools["djpeg"]] + options + ["-outfile", os.devnull, os.path.join(folder, name)]
        started = time.monotonic()
        result = subprocess.run(argv, stderr=subprocess.PIPE)
        elapsed = time.monotonic() - started
        if result.returncode != 0:
            raise Stop(f"{' '.join(argv)} failed: {result.stderr.decode(errors='replace')}")
        return elapsed * 1000.0


PROGRAMS = ["viewer", "feh", "nsxiv", "qimgv"]
CASES = [(kind, mode) for kind in ("baseline", "progressive") for mode in ("original", "fit")]
MODE_NAMES = {"original": "Original Size", "fit": "Resize Maintain Aspect"}


def prepare_pictures(tools, folder):
    """The two JPEGs, made once per generator version and kept in `folder`."""
    with open(os.path.join(HERE, "make_pictures.py"), "rb") as source:
        stamp = hashlib.sha256(source.read()).hexdigest()
    stamp_file = os.path.join(folder, "stamp")
    pictures = {kind: (os.path.join(folder, kind), "picture.jpg")
                for kind in ("baseline", "progressive")}
    try:
        with open(stamp_file) as f:
            if f.read() == stamp:
                return pictures
    except OSError:
        pass
    print("Making the test pictures (once) ...", flush=True)
    shutil.rmtree(folder, ignore_errors=True)
    for kind in pictures:
        os.makedirs(pictures[kind][0])
    ppm = os.path.join(folder, "picture.ppm")
    make_pictures.write_ppm(ppm)
    make_pictures.make_jpegs(tools, ppm, os.path.join(*pictures["baseline"]),
                             os.path.join(*pictures["progressive"]))
    os.remove(ppm)
    with open(stamp_file, "w") as f:
        f.write(stamp)
    return pictures


def thumbnail(tools, pictures):
    """12 x 8 cell means of the picture, to recognise it when fitted."""
    folder, name = pictures["baseline"]
    raw = subprocess.run([tools["djpeg"], "-scale", "1/8", "-ppm", os.path.join(folder, name)],
                         check=True, stdout=subprocess.PIPE).stdout
    header_end = 0
    for _ in range(3):  # magic, size, maximum
        header_end = raw.index(b"\n", header_end) + 1
    w, h = (int(v) for v in raw.split(b"\n")[1].split())
    image = np.frombuffer(raw[header_end:], dtype=np.uint8).reshape(h, w, 3)
    return cell_means(image)


def report(results, floors, memory, runs):
    med = {key: statistics.median(values) for key, values in results.items()}
    print(f"\nMilliseconds from process start to the picture on the screen, median of {runs} "
          "interleaved runs\n")
    header = ["picture", "mode", "viewer", "feh", "nsxiv", "qimgv", "floor",
              "viewer/best peer", "viewer/floor"]
    rows = []
    for kind, mode in CASES:
        viewer = med[("viewer", kind, mode)]
        best = min(med[(p, kind, mode)] for p in PROGRAMS[1:])
        floor = statistics.median(floors[(kind, mode)])
        rows.append([kind, MODE_NAMES[mode], f"{viewer:.0f}"]
                    + [f"{med[(p, kind, mode)]:.0f}" for p in PROGRAMS[1:]]
                    + [f"{floor:.0f}", f"{viewer / best:.2f}", f"{viewer / floor:.2f}"])
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    for r in [header] + rows:
        print("  ".join(str(c).ljust(w) if i < 2 else str(c).rjust(w)
                        for i, (c, w) in enumerate(zip(r, widths))))
    print("\nfloor: djpeg decoding the shown part (Original Size: -crop of the viewing frame's "
          f"{SHOWN_CROP[0]} x {SHOWN_CROP[1]} centre; Resize Maintain Aspect: -scale 1/8) plus "
          "the minimal Qt program's start, added per round")
    print("viewer in Resize Maintain Aspect: start to the empty main window + file selected "
          "to fitted picture; the parts' medians: " + ", ".join(
              f"{kind} {statistics.median(results[('viewer-start', kind, 'fit')]):.0f} + "
              f"{statistics.median(results[('viewer-load', kind, 'fit')]):.0f}"
              for kind in ("baseline", "progressive")))
    windows = [v for (name, _, _), values in results.items() if name == "floor-window"
               for v in values]
    starts = [v for (name, _, _), values in results.items() if name == "viewer-start"
              for v in values]
    print(f"start-up, median of every run: the viewer's empty main window "
          f"{statistics.median(starts):.0f} ms, the minimal Qt window "
          f"{statistics.median(windows):.0f} ms, ratio "
          f"{statistics.median(starts) / statistics.median(windows):.2f}")
    print("djpeg alone: " + ", ".join(
        f"{kind} {MODE_NAMES[mode]} {statistics.median(results[('djpeg', kind, mode)]):.0f}"
        + (f" (whole picture at 1/1: "
           f"{statistics.median(results[('djpeg-whole', kind, mode)]):.0f})"
           if mode == "original" else "")
        for kind, mode in CASES))
    print("floor reading every block (Original Size: djpeg decoding the same part taken from "
          "the bottom rows, so that it reads all the data, as the viewer must to find broken "
          "data, plus the minimal Qt program's start): " + ", ".join(
              f"{kind} {statistics.median(results[('floor-all-data', kind, 'original')]):.0f}"
              f" (djpeg {statistics.median(results[('djpeg-all-data', kind, 'original')]):.0f};"
              f" viewer/floor "
              f"{med[('viewer', kind, 'original')] / statistics.median(results[('floor-all-data', kind, 'original')]):.2f})"
              for kind in ("baseline", "progressive")))
    print("\nResident memory (VmRSS, MiB) once the picture is on the screen and the screen is "
          "still\n")
    print("picture      mode                    " + "".join(p.rjust(8) for p in PROGRAMS))
    for kind, mode in CASES:
        print(f"{kind:<12} {MODE_NAMES[mode]:<23} " + "".join(
            f"{memory[(p, kind, mode)] / 1024:8.1f}" for p in PROGRAMS))
    print(f"floor window: {memory['floor'] / 1024:.1f} MiB")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--viewer", required=True, help="the viewer's binary")
    parser.add_argument("--floor-window", required=True, help="the minimal Qt program")
    parser.add_argument("--pictures", required=True, help="folder that keeps the test pictures")
    parser.add_argument("--runs", type=int, default=5, help="timed rounds (at least 5)")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    args = parser.parse_args()
    if args.runs < 5:
        parser.error("--runs must be at least 5")
    for path in (args.viewer, args.floor_window):
        if not os.access(path, os.X_OK):
            parser.error(f"not an executable program: {path}")

    processes = Processes()
    workdir = tempfile.mkdtemp(prefix="vedra-blackbox-")
    os.chmod(workdir, 0o700)

    def terminate(signum, _frame):
        raise SystemExit(128 + signum)

    for signum in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(signum, terminate)
    try:
        tools = find_tools()
        pictures = prepare_pictures(tools, os.path.abspath(args.pictures))
        env, screen = start_session(processes, tools, workdir)
        for var in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORMTHEME", "QT_STYLE_OVERRIDE",
                    "QT_SCALE_FACTOR", "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION",
                    "QT_ACCESSIBILITY", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON"):
            env.pop(var, None)
        env.update({"QT_QPA_PLATFORM": "xcb", "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8"})
        bench = Bench(args, tools, processes, env, screen, workdir, pictures)
        bench.thumbnail = thumbnail(tools, pictures)
        bench.learn_qimgv_settings()

        print("Learning what each program shows (one untimed start each) ...", flush=True)
        probes, memory = {}, {}
        for kind, mode in CASES:
            for program in PROGRAMS:
                probes[(program, kind, mode)], memory[(program, kind, mode)] = bench.calibrate(
                    program, mode, kind)
        probes["floor"], memory["floor"] = bench.calibrate("floor", "original", "baseline")

        results = {}
        floors = {case: [] for case in CASES}
        for run in range(args.runs):
            print(f"Round {run + 1} of {args.runs} ...", flush=True)
            for kind, mode in CASES:
                order = PROGRAMS[run % len(PROGRAMS):] + PROGRAMS[:run % len(PROGRAMS)]
                for program in order + ["floor"]:
                    key = "floor" if program == "floor" else (program, kind, mode)
                    ms = bench.timed(program, mode, kind, probes[key])
                    if program == "viewer" and mode == "fit":
                        for part, part_ms in zip(("viewer-start", "viewer-load"), bench.parts):
                            results.setdefault((part, kind, mode), []).append(part_ms)
                    if program == "floor":
                        djpeg = bench.djpeg_ms(mode, kind)
                        floors[(kind, mode)].append(ms + djpeg)
                        results.setdefault(("floor-window", kind, mode), []).append(ms)
                        results.setdefault(("djpeg", kind, mode), []).append(djpeg)
                        if mode == "original":
                            results.setdefault(("djpeg-whole", kind, mode), []).append(
                                bench.djpeg_ms(mode, kind, whole=True))
                            all_data = bench.djpeg_ms(mode, kind, bottom=True)
                            results.setdefault(("djpeg-all-data", kind, mode), []).append(all_data)
                            results.setdefault(("floor-all-data", kind, mode), []).append(
                                ms + all_data)
                    else:
                        results.setdefault(key, []).append(ms)
        report(results, floors, memory, args.runs)
        return 0
    except Stop as stop:
        print(f"blackbox_bench: {stop}", file=sys.stderr)
        return 2
    finally:
        processes.stop_all()
        if args.keep:
            print(f"kept {workdir}", file=sys.stderr)
        else:
            shutil.rmtree(workdir, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
