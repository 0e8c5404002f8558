"""Start-up and shut-down of the viewer under a real window manager."""

import os
from pathlib import Path

import vedra_e2e as e2e
from vedra_e2e import TITLE, check, check_equal

TOOLBAR_BUTTONS = ["Minimize To SysTray", "Copy To Clipboard", "Paste From Clipboard",
                   "Direction Slide Show", "Run Slide Show", "Speed Slow", "Speed Normal",
                   "Speed High"]


def test_one_window_with_named_buttons_a_fixed_border_that_maximises_and_closes():
    folder = e2e.scratch_dir("pictures-")
    e2e.make_picture(folder / "a.jpg")
    viewer, window, wid = e2e.start_in(folder)
    check_equal(e2e.window_ids(TITLE), [wid], "shown X windows titled exactly 'Vedra Viewer'")
    # The picture buttons name themselves for a screen reader.
    buttons = [e2e.name(b) for b in e2e.find_all(window, "push button")]
    check(set(TOOLBAR_BUTTONS) <= set(buttons), f"named push buttons: {buttons}")

    # A dragged border springs back, yet the window manager can maximise the window.
    normal = e2e.geometry(wid)[2:]
    e2e.xdotool("windowsize", wid, normal[0] + 200, normal[1] + 150)
    e2e.wait_for(lambda: e2e.geometry(wid)[2:] == normal,
                 what=f"a dragged size to spring back to {normal} (it is {e2e.geometry(wid)})")
    e2e.maximise(wid)
    e2e.wait_for(lambda: e2e.geometry(wid)[2] > normal[0] + 300,
                 what=f"the maximised window to fill the screen (it is {e2e.geometry(wid)})")
    e2e.maximise(wid, on=False)
    e2e.wait_for(lambda: e2e.geometry(wid)[2:] == normal,
                 what=f"the restored window to get back {normal} (it is {e2e.geometry(wid)})")

    e2e.run("wmctrl", "-i", "-c", wid)  # as the close button does
    check_equal(viewer.wait_exit(), 0, "exit status after closing the window")


def test_a_text_file_on_the_command_line_is_refused_before_any_window_opens():
    folder = e2e.scratch_dir("text-")
    (folder / "notes.txt").write_text("not a picture\n")
    with e2e.ClientListSpy() as spy:
        viewer = e2e.Viewer(["notes.txt"], cwd=folder)
        message = viewer.wait_message("Incorrect format")
        check_equal(e2e.name(message), TITLE, "title of the message")
        shown = e2e.wait_window_id(TITLE)
        e2e.press_button(message, "OK")
        check_equal(viewer.wait_exit(), 2, "exit status after the message")
    check_equal(spy.windows, {shown}, "windows the window manager saw (only the message)")


# The samples a first run opens on, in list order, with their natural sizes in pixels.
SAMPLES = [("Balloons.gif", 480, 360), ("Chart.emf", 640, 400), ("Compass.ico", 256, 256),
           ("Harbour at dusk.jpg", 1200, 800), ("House.wmf", 480, 360),
           ("Mountains.jpg", 3000, 2000), ("Tiles.bmp", 320, 240)]


def test_the_keyboard_walks_the_sample_folder_through_a_picture_of_every_type():
    samples = Path(__file__).resolve().parents[2] / "samples"
    _, window, wid = e2e.start_in(samples)
    e2e.key("Tab")  # from the folder list to the file list
    for index, (name, width, height) in enumerate(SAMPLES):
        e2e.key("Down")
        e2e.wait_title(wid, os.path.join(samples, name))
        e2e.wait_line(window, f" byte  W{width} x H{height}  Date: ")
        counter = f"{index + 1}/{len(SAMPLES)}"
        check_equal(e2e.label_texts(window).count(counter), 1, f"counters reading {counter}")


if __name__ == "__main__":
    e2e.run_tests(globals())
