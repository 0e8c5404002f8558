"""The slide show in the full-screen view, stepping on the real timer and painted on the real
screen. (A double click opening the full-screen view is in test_information; stepping,
wrapping and the button's caption are the slide-show integration tests'.)"""

import subprocess

import vedra_e2e as e2e
from vedra_e2e import check


def screen_covering_windows():
    """Mapped top-level windows as large as the whole 1280 x 1024 screen."""
    out = subprocess.run(["xwininfo", "-root", "-children"], capture_output=True, text=True,
                         timeout=30).stdout
    ids = [line.split()[0] for line in out.splitlines() if line.strip().startswith("0x")]
    covering = []
    for wid in ids:
        info = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True,
                              timeout=30).stdout
        if "IsViewable" in info and "Width: 1280" in info and "Height: 1024" in info:
            covering.append(wid)
    return covering


def pixel(image, x, y):
    return image.convert("RGB").getpixel((x, y))


def test_a_show_in_full_screen_mode_started_from_the_main_window_keeps_stepping():
    import time

    from PIL import Image

    colours = {"a.jpg": "red", "b.jpg": "lime", "c.jpg": "blue", "d.jpg": "yellow"}
    expected_rgb = {"red": (255, 0, 0), "lime": (0, 255, 0), "blue": (0, 0, 255),
                    "yellow": (255, 255, 0)}
    folder = e2e.scratch_dir("fs-show-")
    for name, colour in colours.items():
        e2e.make_picture(folder / name, size="64x48", colour=colour)
    viewer, window, wid = e2e.start_in(folder)
    # Folder list, file list, filter box, size box: "Full Screen" is the size box's last
    # item. Nothing is selected yet, so nothing opens.
    e2e.key("Tab", "Tab", "Tab")
    e2e.key("Down", "Down", "Down", "Down")
    e2e.wait_for(lambda: "Full Screen" in [e2e.text_of(t) for t in e2e.find_all(window, "text")],
                 what="the size box to show Full Screen")
    check(not screen_covering_windows(), "nothing opens before a picture is selected")

    e2e.press_button(window, "Speed High")
    e2e.press_button(window, "Run Slide Show")
    shown = []  # (seconds, file name) of every new caption
    start = time.monotonic()
    while len(shown) < 4 and time.monotonic() - start < 15:
        name = e2e.window_name(wid).rpartition("/")[2]
        if name in colours and (not shown or shown[-1][1] != name):
            shown.append((time.monotonic() - start, name))
            if len(shown) in (1, 4):
                expected = expected_rgb[colours[name]]

                def painted():
                    shot = Image.open(e2e.screenshot(e2e.scratch_dir("shot-") / "fs.png"))
                    seen = pixel(shot, 640, 512)
                    return all(abs(a - b) < 16 for a, b in zip(seen, expected)) or None
                e2e.wait_for(painted, timeout=5, what=f"the full-screen window to show {name}")
        time.sleep(0.05)
    check([n for _, n in shown] == ["a.jpg", "b.jpg", "c.jpg", "d.jpg"],
          f"the show steps through the folder in full screen: {shown}")
    elapsed = shown[-1][0] - shown[0][0]
    # About a second a picture; the normal speed's two seconds would take six.
    check(2.7 <= elapsed <= 5.5, f"three more pictures in about three seconds, took {elapsed:.1f} s")
    print(f"  shown at {[(round(t, 2), n) for t, n in shown]}")
    check(len(screen_covering_windows()) == 1, "one full-screen window stays open")

    e2e.click(640, 512)
    e2e.wait_for(lambda: not screen_covering_windows(), what="the full-screen view to close")
    check(viewer.running(), "the viewer keeps running after the full-screen view closes")


if __name__ == "__main__":
    e2e.run_tests(globals())
