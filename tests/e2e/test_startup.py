"""Start-up and shut-down of the viewer, seen from the desktop."""

import os
from pathlib import Path

import vedra_e2e as e2e
from vedra_e2e import TITLE, check, check_equal

TOOLBAR_BUTTONS = ["Minimize To SysTray", "Copy To Clipboard", "Paste From Clipboard",
                   "Direction Slide Show", "Run Slide Show", "Speed Slow", "Speed Normal",
                   "Speed High"]


def folder_with_pictures():
    folder = e2e.scratch_dir("pictures-")
    e2e.make_picture(folder / "a.jpg", colour="red")
    e2e.make_picture(folder / "b.jpg", colour="blue")
    return folder


def test_plain_start_shows_the_main_window_with_its_menus_and_toolbar():
    viewer = e2e.start_viewer(cwd=folder_with_pictures())
    window = viewer.wait_frame(TITLE)
    check_equal(len(e2e.wait_window_ids(TITLE)), 1, "shown X windows titled exactly 'Vedra Viewer'")

    check_equal([e2e.plain(t) for t in e2e.menu_titles(window)],
                ["File", "Image", "Options", "?"], "menus on the menu bar")

    check_equal(sorted(e2e.checked_menu_items(window)),
                ["Image > Direction Slide Show > Down", "Image > Speed Slide Show > Normal",
                 "Options > Confirm Delete"], "checked menu items at start")

    buttons = e2e.push_buttons(window)
    missing = [b for b in TOOLBAR_BUTTONS if b not in buttons]
    check(not missing, f"no push buttons named {missing}; the window has {buttons}")


def test_closing_the_main_window_ends_the_program():
    viewer = e2e.start_viewer(cwd=folder_with_pictures())
    viewer.wait_frame(TITLE)
    e2e.close_window(TITLE)
    check_equal(viewer.wait_exit(timeout=15), 0, "exit status after closing the window")


def test_a_text_file_on_the_command_line_is_refused_before_any_window_opens():
    folder = e2e.scratch_dir("text-")
    (folder / "notes.txt").write_text("not a picture\n")
    with e2e.ClientListSpy() as spy:
        viewer = e2e.start_viewer(["notes.txt"], cwd=folder)
        message = viewer.wait_message("Incorrect format")
        check(e2e.role(message) in ("alert", "dialog"),
              f"the message has the role {e2e.role(message)!r}")
        check_equal(e2e.name(message), TITLE, "title of the message")

        shown = e2e.wait_window_ids(TITLE)
        check_equal(len(shown), 1, "shown X windows titled exactly 'Vedra Viewer' (the message)")
        message_window = shown[0]
        main_windows = [w for w in viewer.windows()
                        if e2e.role(w) == "frame" and e2e.find_all(w, "menu bar", max_depth=3)]
        check(not main_windows, "the main window exists while the message is up")

        e2e.press_button(message, "OK")
        check_equal(viewer.wait_exit(timeout=15), 2, "exit status after the message")
    check_equal(spy.windows, {message_window},
                "windows the window manager saw (only the message may appear)")


def test_a_picture_whose_name_is_not_utf8_opens_from_the_command_line():
    folder = e2e.scratch_dir("bytes-")
    name = b"caf\xe9 \xff.jpg"
    e2e.make_picture(folder / "plain.jpg", colour="green")
    os.rename(folder / "plain.jpg", os.path.join(os.fsencode(folder), name))
    size = os.path.getsize(os.path.join(os.fsencode(folder), name))
    # The argument reaches the program as these very bytes (fsdecode undoes itself on the way).
    viewer = e2e.start_viewer([os.fsdecode(name)], cwd=folder)
    window = viewer.wait_frame(TITLE)
    line = f" {size} byte  W"

    def shown():
        e2e.clear_cache(window)
        return any(t.startswith(line) for t in e2e.label_texts(window))
    e2e.wait_for(shown, what=f"an information line starting {line!r}")


# The samples a first run opens on, in list order, with their natural sizes in pixels.
SAMPLES = [("Balloons.gif", 480, 360), ("Chart.emf", 640, 400), ("Compass.ico", 256, 256),
           ("Harbour at dusk.jpg", 1200, 800), ("House.wmf", 480, 360),
           ("Mountains.jpg", 3000, 2000), ("Tiles.bmp", 320, 240)]


def test_the_sample_folder_shows_a_picture_of_every_type():
    samples = Path(__file__).resolve().parents[2] / "samples"
    viewer = e2e.start_viewer(cwd=samples)
    window = viewer.wait_frame(TITLE)
    wid = e2e.focus_window(TITLE)
    e2e.key("Tab")  # from the folder list to the file list
    for index, (name, width, height) in enumerate(SAMPLES):
        e2e.key("Down")
        expected_title = f"{TITLE} - {os.path.join(samples, name)}"
        e2e.wait_for(lambda: e2e.window_name(wid) == expected_title,
                     what=f"the title {expected_title!r} (it is {e2e.window_name(wid)!r})")
        e2e.clear_cache(window)
        size = f" byte  W{width} x H{height}  Date: "
        e2e.wait_for(lambda: any(size in t for t in e2e.label_texts(window)),
                     what=f"an information line with {size!r} for {name}")
        check_equal(sum(t == f"{index + 1}/{len(SAMPLES)}" for t in e2e.label_texts(window)), 1,
                    f"counters reading {index + 1}/{len(SAMPLES)}")


if __name__ == "__main__":
    e2e.run_tests(globals())
