"""The File menu's operations driven with the keyboard; the files on disk are checked."""

import os
import subprocess

import vedra_e2e as e2e
from vedra_e2e import TITLE, check, check_equal

FOLDER_DIALOG = f"{TITLE} - Folder Copy/Move"
RENAME_DIALOG = f"{TITLE} - Rename"


def contents(folder):
    """Every file of a folder, hidden ones included, with its bytes."""
    return {p.name: p.read_bytes() for p in sorted(folder.iterdir()) if p.is_file()}


def wait_gone(title):
    e2e.wait_for(lambda: not e2e.window_ids(title), what=f"{title!r} to close")


def choose_target(folder, main_title=TITLE):
    """Options > Folder to Copy/Move: types the folder into the path box; Enter presses OK."""
    e2e.focus_window(main_title)
    e2e.key("alt+o", "f")
    e2e.focus_window(FOLDER_DIALOG)
    e2e.type_text(str(folder))
    e2e.key("Return")
    wait_gone(FOLDER_DIALOG)
    e2e.focus_window(main_title)


def choose_target_as_a_screen_reader(viewer, window, folder):
    """Options > Folder to Copy/Move pressed over the accessibility bus, the folder set
    whole into the path box (as dictation and voice control do), OK pressed."""
    took = e2e.timed_action(e2e.menu_item(window, "Options", "Folder to Copy/Move"))
    dialog = viewer.wait_frame(FOLDER_DIALOG)
    check(took < 0.2, f"the menu item answered after {took:.2f} s, with its dialog open")
    path_box = e2e.find(e2e.find(dialog, "combo box"), "text")
    check(path_box.queryEditableText().setTextContents(str(folder)), "the path box took the text")
    e2e.wait_for(lambda: e2e.text_of(path_box) == str(folder), what="the path box to show it")
    e2e.press_button(dialog, "OK")
    wait_gone(FOLDER_DIALOG)
    e2e.focus_window(TITLE)


def test_copy_move_delete_and_rename_from_the_keyboard():
    source = e2e.scratch_dir("source-")
    target = e2e.scratch_dir("target-")
    second = e2e.scratch_dir("second-")
    for name, colour in (("a.jpg", "red"), ("b.jpg", "blue"), ("c.jpg", "green")):
        e2e.make_picture(source / name, colour=colour)
    original = contents(source)
    viewer, window, wid = e2e.start_in(source)

    choose_target_as_a_screen_reader(viewer, window, target)
    e2e.key("Tab", "Down")  # folder list -> file list, first picture
    e2e.wait_title(wid, source / "a.jpg")

    e2e.key("ctrl+o")  # copy
    e2e.wait_for(lambda: (target / "a.jpg").exists(), what="the copy of a.jpg")
    e2e.wait_for(lambda: contents(target) == {"a.jpg": original["a.jpg"]},
                 what="a whole copy of a.jpg and nothing else in the target folder")
    check_equal(contents(source), original, "the source folder after the copy")

    # The dialog opens with the last folder selected: typing replaces it.
    choose_target(second, f"{TITLE} - {source / 'a.jpg'}")
    e2e.key("Down")
    e2e.wait_title(wid, source / "b.jpg")
    e2e.key("ctrl+m")  # move: the entry that moves up into b's place is shown
    e2e.wait_title(wid, source / "c.jpg")
    check_equal(contents(second), {"b.jpg": original["b.jpg"]}, "the folder moved into")
    check_equal(sorted(contents(source)), ["a.jpg", "c.jpg"], "the source folder after the move")

    # Delete (Del): "Continue?" has No as its default, so Enter keeps the file.
    e2e.key("Delete")
    box = viewer.wait_message("Continue?")
    check_equal(e2e.window_name(e2e.active_window()), TITLE, "the question's title")
    e2e.key("Return")
    e2e.wait_for(lambda: not e2e.is_showing(box), what="the question to close")

    e2e.key("Delete")
    viewer.wait_message("Continue?")
    # The first Delete's handler has ended: the second one asks.
    check((source / "c.jpg").exists(), "Enter on the question deleted c.jpg")
    e2e.key("alt+y")
    e2e.wait_for(lambda: not (source / "c.jpg").exists(), what="c.jpg to be deleted")
    e2e.wait_title(wid, source / "a.jpg")  # the last entry went: the new last one is shown

    # Rename (Ctrl+R): the new name replaces the prefilled one, Enter presses OK.
    e2e.key("ctrl+r")
    e2e.focus_window(RENAME_DIALOG)
    e2e.type_text("renamed.jpg")  # the old name is selected: typing replaces it
    e2e.key("Return")
    wait_gone(RENAME_DIALOG)
    e2e.wait_title(wid, source / "renamed.jpg")
    check_equal(contents(source), {"renamed.jpg": original["a.jpg"]},
                "the source folder at the end")
    check_equal(contents(target), {"a.jpg": original["a.jpg"]}, "the copy's folder at the end")
    check_equal(contents(second), {"b.jpg": original["b.jpg"]}, "the move's folder at the end")
    check(viewer.running(), "the viewer ended")


def save_as(path):
    """Ctrl+S, then types the full name into the Save dialog and confirms it."""
    e2e.key("ctrl+s")
    e2e.focus_window("Save As")
    e2e.key("ctrl+a")
    e2e.type_text(str(path))
    e2e.key("Return")


def test_save_as_writes_a_bitmap():
    source = e2e.scratch_dir("source-")
    e2e.make_picture(source / "a.jpg", size="64x48")
    _, _, wid = e2e.start_in(source)
    e2e.show_first_entry(wid, source, "a.jpg")
    saved = source / "saved.bmp"
    save_as(saved)
    e2e.wait_for(lambda: saved.exists() and saved.read_bytes()[:2] == b"BM",
                 what="the bitmap file")
    width = int.from_bytes(saved.read_bytes()[18:22], "little", signed=True)
    height = abs(int.from_bytes(saved.read_bytes()[22:26], "little", signed=True))
    check_equal((width, height), (64, 48), "the bitmap's size")
    check_equal(sorted(p.name for p in source.iterdir()), ["a.jpg", "saved.bmp"],
                "the folder after Save As (no temporary file left)")


def test_save_as_onto_a_full_disk_reports_it_and_leaves_nothing():
    if os.geteuid() != 0:
        print("skipped: mounting a small disk needs root")
        return
    source = e2e.scratch_dir("source-")
    e2e.make_picture(source / "a.jpg", size="400x300")  # about 360 KB as a bitmap
    disk = e2e.scratch_dir("disk-")
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=64k", "tmpfs", str(disk)], check=True)
    try:
        (disk / "old.bmp").write_bytes(b"old bytes")
        viewer, _, wid = e2e.start_in(source)
        e2e.show_first_entry(wid, source, "a.jpg")
        saved = disk / "saved.bmp"
        save_as(saved)
        box = viewer.wait_message(f'Cannot save the picture as "{saved}".\n'
                                  "There is not enough free space on the disk.")
        check_equal(contents(disk), {"old.bmp": b"old bytes"},
                    "the full disk after Save As (no part of the bitmap, no temporary file)")
        e2e.press_button(box, "OK")
        e2e.wait_for(lambda: not viewer.message_boxes(), what="the message to close")
        check(viewer.running(), "the viewer ended")
        viewer.kill()
    finally:
        subprocess.run(["umount", "-l", str(disk)], check=False)


if __name__ == "__main__":
    e2e.run_tests(globals())
