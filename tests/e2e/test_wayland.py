"""The viewer as a native Wayland program (Qt's Wayland platform under weston, started by
wayland_session.py): the main road over AT-SPI, the Wayland clipboard both ways (wl-copy,
wl-paste), the full-screen window covering the output, and the X11-only ways refusing.

Keys and clicks go through the X display that holds the compositor's output, so they
reach the viewer through the compositor's seat. Window positions are the compositor's
business on Wayland: nothing here reads or sets one."""

import os
import subprocess
from pathlib import Path

import pyatspi
import vedra_e2e as e2e
from vedra_e2e import TITLE, check, check_equal

FULL_SCREEN = "Vedra Viewer - Full Screen"
SCREEN = (1280, 1024)  # the X screen, which the compositor's one output fills


def start_native(folder, display=""):
    """Starts the viewer on the Wayland platform, by default with no X display to fall back
    on; waits until its main window is shown and has the keyboard."""
    check(os.environ.get("VEDRA_E2E_WAYLAND") == "1", "run this under wayland_session.py")
    viewer = e2e.Viewer(cwd=folder, env={"DISPLAY": display})
    window = viewer.wait_frame(TITLE)
    check("libQt6WaylandClient" in Path(f"/proc/{viewer.pid}/maps").read_text(),
          "the viewer runs on Qt's Wayland platform")
    wait_active(window)
    return viewer, window


def wait_active(window):
    e2e.wait_for(lambda: pyatspi.STATE_ACTIVE in e2e.states(window),
                 what=f"the window {e2e.name(window)!r} to get the keyboard")


def clipboard_types():
    return e2e.run("wl-paste", "--list-types").split()


def test_the_main_road_the_full_screen_window_covering_the_output_and_the_copy():
    from PIL import Image

    folder = e2e.scratch_dir("road-")
    # The output's shape (5:4), so that the picture fitted into it fills it.
    e2e.make_picture(folder / "a.jpg", size="80x64", colour="red")
    e2e.make_picture(folder / "b.bmp", size="30x20", colour="blue")
    viewer, window = start_native(folder)
    _, _, width, height = e2e.extents(window)
    check(0 < width < SCREEN[0] and 0 < height < SCREEN[1],
          f"the main window keeps its own size, not the output's: {width} x {height}")

    e2e.key("Tab", "Down")
    window = viewer.wait_frame(f"{TITLE} - {folder / 'a.jpg'}")
    size = (folder / "a.jpg").stat().st_size
    e2e.wait_line(window, f"{size} byte  W80 x H64  Date: ")
    e2e.key("Down")
    window = viewer.wait_frame(f"{TITLE} - {folder / 'b.bmp'}")
    e2e.wait_line(window, " byte  W30 x H20  Date: ")
    check_equal(e2e.extents(window)[2:], (width, height), "the window's size after two pictures")

    # Back to a.jpg, the output's shape; past the filter box, the size box's fourth item
    # is "Full Screen Maintain Aspect": choosing it opens the full-screen window.
    e2e.key("Up")
    viewer.wait_frame(f"{TITLE} - {folder / 'a.jpg'}")
    e2e.key("Tab", "Tab", "Down", "Down", "Down")
    full = viewer.wait_frame(FULL_SCREEN)
    e2e.wait_for(lambda: tuple(e2e.extents(full)[2:]) == SCREEN,
                 what=f"the full-screen window to take the output's size {SCREEN}")

    def covered():
        shot = e2e.screenshot()
        check_equal(shot.size, SCREEN, "size of the compositor's output")
        wrong = [(x, y) for x in range(0, SCREEN[0], 40) for y in range(0, SCREEN[1], 32)
                 if not (lambda r, g, b: r > 200 and g < 60 and b < 60)(*shot.getpixel((x, y)))]
        # The compositor draws its pointer into the output: a sprite smaller than 32 x 32
        # pixels may hide a sample or two. The shell's panel or a window left uncovered
        # would show along a whole edge.
        return all(abs(x - wrong[0][0]) < 32 and abs(y - wrong[0][1]) < 32 for x, y in wrong)
    e2e.wait_for(covered, what="the full-screen window to cover the output")

    # A click closes it (not at the middle, where the pointer starts: that is no move).
    e2e.click(SCREEN[0] // 3, SCREEN[1] // 3)
    e2e.wait_for(lambda: not [w for w in viewer.frames(FULL_SCREEN) if e2e.is_showing(w)],
                 what="the full-screen window to close")
    # The main window has the keyboard again (wl-paste takes it away, so it comes last).
    window = viewer.wait_frame(f"{TITLE} - {folder / 'a.jpg'}")
    wait_active(window)
    e2e.key("ctrl+c")
    e2e.wait_for(lambda: "image/png" in clipboard_types(), what="a picture on the clipboard")
    (folder / "out.png").write_bytes(subprocess.run(
        ["wl-paste", "--type", "image/png"], capture_output=True, timeout=e2e.TIMEOUT,
        check=True).stdout)
    image = Image.open(folder / "out.png").convert("RGB")
    check_equal(image.size, (80, 64), "size of the picture read back")
    r, g, b = image.getpixel((40, 32))
    check(r > 200 and g < 60 and b < 60, f"the picture read back is red, not {(r, g, b)}")



def test_a_picture_set_with_wl_copy_pastes_with_its_size():
    folder = e2e.scratch_dir("paste-")
    for name, mime, size in [("in.png", "image/png", "100x50"), ("in.bmp", "image/bmp", "30x20")]:
        path = e2e.make_picture(folder / name, size=size)
        e2e.stop_helpers()
        with open(path, "rb") as data:
            e2e.helper(["wl-copy", "--foreground", "--type", mime], stdin=data)
        e2e.wait_for(lambda: mime in clipboard_types(), what=f"wl-copy to offer {mime}")
        # A Wayland program sees the clipboard once it has the keyboard: the viewer
        # started after the offer gets it at once.
        _, window = start_native(folder)
        e2e.key("ctrl+v")
        width, height = size.split("x")
        e2e.wait_line(window, f"W{width} x H{height}")


def test_the_x11_only_ways_refuse_even_when_an_x_server_is_reachable():
    # DISPLAY names the test's X server, as it names XWayland in a Wayland session: its
    # root window is nobody's desktop, and no tray there is the session's.
    folder = e2e.scratch_dir("x11-only-")
    e2e.make_picture(folder / "a.bmp", size="64x48", colour="blue")
    viewer, window = start_native(folder, display=os.environ["DISPLAY"])
    e2e.key("Tab", "Down")
    viewer.wait_frame(f"{TITLE} - {folder / 'a.bmp'}")
    e2e.key("ctrl+w")
    box = viewer.wait_message("This desktop offers no way to set the wallpaper.")
    props = e2e.run("xprop", "-root", "_XROOTPMAP_ID")
    check("pixmap id" not in props, f"the X root window keeps no background: {props!r}")
    e2e.press_button(box, "OK")
    wait_active(window)
    # Minimize To SysTray with no StatusNotifierItem host: the window goes to the task bar
    # (it stays shown, and the compositor takes its keyboard away) rather than hiding
    # behind an icon nobody could see.
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: pyatspi.STATE_ACTIVE not in e2e.states(window),
                 what="the window to be put away")
    check(e2e.is_showing(window), "the window is minimised, not hidden")


if __name__ == "__main__":
    e2e.run_tests(globals())
