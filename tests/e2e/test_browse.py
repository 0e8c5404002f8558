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


if __name__ == "__main__":
    e2e.run_tests(globals())
