"""Start-up and shut-down of the viewer under a real window manager."""

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


if __name__ == "__main__":
    e2e.run_tests(globals())
