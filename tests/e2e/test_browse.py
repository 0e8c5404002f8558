"""Walking a folder of pictures with the keyboard, read back over the accessibility bus."""

import os

import vedra_e2e as e2e
from vedra_e2e import TITLE, check

PICTURES = [("a.jpg", "64x48", "red"), ("b.gif", "30x20", "blue"), ("c.bmp", "100x50", "green")]


def information_line(window):
    lines = [t for t in e2e.label_texts(window) if " byte  " in t]
    return lines[0] if lines else ""


def counter(window):
    counters = [t for t in e2e.label_texts(window) if "/" in t and " " not in t]
    return counters[0] if counters else ""


def test_walking_the_file_list_with_down_shows_each_picture():
    folder = e2e.scratch_dir("walk-")
    for name, size, colour in PICTURES:
        e2e.make_picture(folder / name, size=size, colour=colour)
    viewer = e2e.start_viewer(cwd=folder)
    window = viewer.wait_frame(TITLE)
    wid = e2e.focus_window(TITLE)
    e2e.key("Tab")  # from the folder list to the file list

    for index, (name, size, _) in enumerate(PICTURES):
        e2e.key("Down")
        expected_title = f"{TITLE} - {os.path.join(folder, name)}"
        e2e.wait_for(lambda: e2e.window_name(wid) == expected_title,
                     what=f"the title {expected_title!r} (it is {e2e.window_name(wid)!r})")
        width, height = size.split("x")
        length = (folder / name).stat().st_size
        e2e.clear_cache(window)
        expected_start = f" {length} byte  W{width} x H{height}  Date: "
        e2e.wait_for(lambda: information_line(window).startswith(expected_start),
                     what=f"an information line starting {expected_start!r} "
                          f"(it is {information_line(window)!r})")
        check(counter(window) == f"{index + 1}/{len(PICTURES)}",
              f"counter {counter(window)!r} for {name}")


def window_size(wid):
    out = e2e.xdotool("getwindowgeometry", str(wid))
    width, height = out.split("Geometry:")[1].split()[0].split("x")
    return int(width), int(height)


def test_the_border_is_fixed_yet_the_window_manager_can_maximise_it():
    folder = e2e.scratch_dir("frame-")
    e2e.make_picture(folder / "a.jpg", size="64x48")
    viewer = e2e.start_viewer(cwd=folder)
    viewer.wait_frame(TITLE)
    wid = e2e.wait_window_id(TITLE)
    normal = window_size(wid)

    e2e.xdotool("windowsize", str(wid), str(normal[0] + 200), str(normal[1] + 150))
    e2e.wait_for(lambda: window_size(wid) == normal,
                 what=f"a dragged size to spring back to {normal} (it is {window_size(wid)})")

    e2e.maximise(TITLE)
    e2e.wait_for(lambda: window_size(wid)[0] > normal[0] + 300,
                 what=f"the maximised window to fill the screen (it is {window_size(wid)})")
    e2e.restore(TITLE)
    e2e.wait_for(lambda: window_size(wid) == normal,
                 what=f"the restored window to get back {normal} (it is {window_size(wid)})")


if __name__ == "__main__":
    e2e.run_tests(globals())
