"""The main window's frame under a real window manager: a fixed border that can still be
maximised. (Walking the file list is test_startup's walk through the sample folder.)"""

import vedra_e2e as e2e
from vedra_e2e import TITLE


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
