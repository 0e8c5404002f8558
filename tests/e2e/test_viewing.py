"""The slide show and the full-screen view, seen on a real desktop."""

import os
import subprocess

import vedra_e2e as e2e
from vedra_e2e import TITLE, check

PICTURES = ["a.jpg", "b.jpg", "c.jpg"]


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


def test_a_running_slide_show_steps_through_the_folder():
    folder = e2e.scratch_dir("show-")
    for name in PICTURES:
        e2e.make_picture(folder / name, size="64x48", colour="orange")
    viewer = e2e.start_viewer(cwd=folder)
    window = viewer.wait_frame(TITLE)
    wid = e2e.focus_window(TITLE)
    e2e.key("Tab")
    e2e.key("Down")
    first = f"{TITLE} - {os.path.join(folder, 'a.jpg')}"
    e2e.wait_for(lambda: e2e.window_name(wid) == first, what="the first picture")

    e2e.press_button(window, "Speed High")
    e2e.press_button(window, "Run Slide Show")
    for name in ["b.jpg", "c.jpg", "a.jpg"]:
        expected = f"{TITLE} - {os.path.join(folder, name)}"
        e2e.wait_for(lambda: e2e.window_name(wid) == expected, timeout=15,
                     what=f"the slide show to reach {name} (title {e2e.window_name(wid)!r})")
    e2e.clear_cache(window)
    check("Pause Slide Show" in e2e.push_buttons(window),
          "the slide-show button offers to pause while the show runs")


def test_a_double_click_shows_the_picture_alone_on_black_until_a_click():
    from PIL import Image

    folder = e2e.scratch_dir("full-")
    e2e.make_picture(folder / "wide.jpg", size="400x200", colour="red")
    viewer = e2e.start_viewer(cwd=folder)
    window = viewer.wait_frame(TITLE)
    e2e.focus_window(TITLE)
    file_list = [e for e in e2e.find_all(window, "list")
                 if "wide.jpg" in e2e.list_entries(e)][0]
    entry = e2e.find(file_list, "list item", "wide.jpg")
    e2e.click_object(entry, double=True)

    covering = e2e.wait_for(screen_covering_windows, what="a window covering the whole screen")
    check(len(covering) == 1, f"one full-screen window, found {covering}")
    shot = Image.open(e2e.screenshot(e2e.scratch_dir("shot-") / "full.png"))
    # A wide picture takes the screen's width and is centred top to bottom: 1280 x 640.
    check(pixel(shot, 5, 5) == (0, 0, 0), f"top-left corner {pixel(shot, 5, 5)} is black")
    check(pixel(shot, 640, 1015) == (0, 0, 0), "bottom edge is black")
    r, g, b = pixel(shot, 640, 512)
    check(r > 200 and g < 60 and b < 60, f"the centre shows the red picture, not {(r, g, b)}")
    r, g, b = pixel(shot, 20, 512)
    check(r > 200 and g < 60, f"the picture reaches the left edge, not {(r, g, b)}")

    e2e.click(640, 512)
    e2e.wait_for(lambda: not screen_covering_windows(), what="the full-screen view to close")
    check(viewer.running(), "the viewer keeps running after the full-screen view closes")


def test_a_show_in_full_screen_mode_started_from_the_main_window_keeps_stepping():
    import time

    from PIL import Image

    colours = {"a.jpg": "red", "b.jpg": "lime", "c.jpg": "blue", "d.jpg": "yellow"}
    expected_rgb = {"red": (255, 0, 0), "lime": (0, 255, 0), "blue": (0, 0, 255),
                    "yellow": (255, 255, 0)}
    folder = e2e.scratch_dir("fs-show-")
    for name, colour in colours.items():
        e2e.make_picture(folder / name, size="64x48", colour=colour)
    viewer = e2e.start_viewer(cwd=folder)
    window = viewer.wait_frame(TITLE)
    wid = e2e.focus_window(TITLE)
    # Folder list, file list, filter box, size box: "Full Screen" is the size box's last
    # item. Nothing is selected yet, so nothing opens.
    e2e.key("Tab", "Tab", "Tab")
    e2e.key("Down", "Down", "Down", "Down")
    time.sleep(0.5)
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
                time.sleep(0.3)
                shot = Image.open(e2e.screenshot(e2e.scratch_dir("shot-") / "fs.png"))
                seen = pixel(shot, 640, 512)
                check(all(abs(a - b) < 16 for a, b in zip(seen, expected_rgb[colours[name]])),
                      f"the full-screen window shows {name}, not {seen}")
        time.sleep(0.05)
    check([n for _, n in shown] == ["a.jpg", "b.jpg", "c.jpg", "d.jpg"],
          f"the show steps through the folder in full screen: {shown}")
    elapsed = shown[-1][0] - shown[0][0]
    check(2.7 <= elapsed <= 4.2, f"three more pictures in about three seconds, took {elapsed:.1f} s")
    print(f"  shown at {[(round(t, 2), n) for t, n in shown]}")
    check(len(screen_covering_windows()) == 1, "one full-screen window stays open")

    e2e.click(640, 512)
    e2e.wait_for(lambda: not screen_covering_windows(), what="the full-screen view to close")
    check(viewer.running(), "the viewer keeps running after the full-screen view closes")


if __name__ == "__main__":
    e2e.run_tests(globals())
