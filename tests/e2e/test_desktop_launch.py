"""The installed program as the desktop sees it: its menu entry, the file types it offers
to open, and a launch from the entry with a picture. VEDRA_STAGE is the installation prefix
(scripts/check-package.sh stages one), whose share/applications holds the MIME cache of
update-desktop-database; the desktop finds the entry through XDG_DATA_DIRS and the program
through PATH, both pointed at the prefix here, as a file manager's "Open With" would."""

import os
import re
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import vedra_e2e as e2e
from vedra_e2e import TITLE, check

APP_ID = "org.vedra_viewer.VedraViewer"
OPENED_TYPES = ["image/jpeg", "image/gif", "image/bmp", "image/vnd.microsoft.icon",
                "image/x-icon", "image/wmf", "image/x-wmf", "image/emf", "image/x-emf"]


def stage():
    prefix = Path(os.environ["VEDRA_STAGE"])
    check((prefix / "bin" / "vedra-viewer").is_file(), f"no program installed under {prefix}")
    return prefix


def desktop_env():
    prefix = stage()
    env = dict(os.environ)
    env["XDG_DATA_DIRS"] = f"{prefix / 'share'}:/usr/share"
    env["PATH"] = f"{prefix / 'bin'}:{env.get('PATH', '/usr/bin:/bin')}"
    return env


def dot_free_folder():
    """A new folder whose path has no ".": the program takes the text after the first "."
    of its command line as the picture type, so a dotted folder would refuse the file."""
    for base in (os.environ.get("VEDRA_E2E_SCRATCH"), tempfile.gettempdir(), "/tmp"):
        if base and "." not in base:
            folder = Path(tempfile.mkdtemp(prefix="vedra-launch-", dir=base))
            if "." not in str(folder):
                return folder
            folder.rmdir()
    raise AssertionError("no temporary folder without a '.' in its path")


def launched_viewer_pids():
    """Process ids of the running programs that are the staged binary."""
    binary = (stage() / "bin" / "vedra-viewer").resolve()
    pids = []
    for entry in Path("/proc").iterdir():
        if entry.name.isdigit():
            try:
                if Path(os.readlink(entry / "exe")) == binary:
                    pids.append(int(entry.name))
            except OSError:
                continue
    return pids


def test_open_with_offers_the_program_for_every_picture_type_it_decodes():
    env = desktop_env()
    def offered(mime):
        out = subprocess.run(["gio", "mime", mime], env=env, capture_output=True, text=True,
                             timeout=e2e.TIMEOUT).stdout
        return f"{APP_ID}.desktop" in out.split("Registered applications:", 1)[-1] \
            .split("Recommended", 1)[0]
    missing = [mime for mime in OPENED_TYPES if not offered(mime)]
    check(not missing, f"'gio mime' does not offer {APP_ID}.desktop for {missing}")


def test_launch_from_the_menu_entry_opens_the_picture():
    env = desktop_env()
    entry = stage() / "share" / "applications" / f"{APP_ID}.desktop"
    check(entry.is_file(), f"no desktop entry {entry}")
    folder = dot_free_folder()
    started = []
    try:
        picture = e2e.make_picture(folder / "Beach.JPG", size="120x80", colour="orange")
        size = picture.stat().st_size
        # The program outlives gio and keeps its standard streams: no pipes here.
        subprocess.run(["gio", "launch", str(entry), str(picture)], env=env, check=True,
                       timeout=30, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)

        wid = e2e.wait_window_id(TITLE)  # exactly this title: no file named in it
        pid = int(e2e.xdotool("getwindowpid", wid).strip())
        started = launched_viewer_pids()
        check(pid in started, f"the window belongs to pid {pid}, not to the installed program "
                              f"(running copies: {started})")
        wm_class = e2e.run("xprop", "-id", wid, "WM_CLASS")
        check('"vedra-viewer"' in wm_class,
              f"WM_CLASS {wm_class.strip()!r} does not match the entry's StartupWMClass")

        app = e2e.wait_for(lambda: e2e.application_of(pid), what="the program on the bus")

        line = e2e.wait_for(lambda: next((t for w in e2e.children(app) for t in e2e.label_texts(w)
                                          if re.search(r"\bbyte\b", t)), None),
                            what="the information line of the picture")
        check(re.match(rf"\s*{size} byte\s+W120 x H80\s+Date: ", line) is not None,
              f"information line {line!r} does not describe the 120 x 80 picture of {size} bytes")
    finally:
        for pid in started or launched_viewer_pids():
            os.kill(pid, signal.SIGKILL)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    e2e.run_tests(globals())
