"""What a screen-reader user reaches over AT-SPI: the full-screen window and its popup menu,
the Note, About and the credits as fixed dialogs, and menu items that answer at once
although the modal window they open stays up (a reader gives up on a late answer)."""

import os
import time

import pyatspi
import vedra_e2e as e2e
from gi.repository import Atspi, GLib
from vedra_e2e import TITLE, check, check_equal

FULL_SCREEN = "Vedra Viewer - Full Screen"


def check_prompt(acc, what):
    """Presses acc over AT-SPI; the answer must come before its modal window is closed."""
    started = time.monotonic()
    e2e.do_action(acc)
    took = time.monotonic() - started
    print(f"  {what} answered in {1000 * took:.0f} ms")
    check(took < 0.2, f"{what} answered after {took:.2f} s, with its modal window open")


def cpu_seconds(pid):
    """The processor time a process has used so far (user and system), in seconds."""
    fields = open(f"/proc/{pid}/stat").read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def clipboard_targets():
    return e2e.run("xclip", "-selection", "clipboard", "-t", "TARGETS", "-o").split()


def test_the_full_screen_window_and_its_popup_menu_are_announced_and_work():
    folder = e2e.scratch_dir("a11y-")
    e2e.make_picture(folder / "wide.jpg", size="400x200", colour="red")
    viewer, window, _ = e2e.start_in(folder)
    entry = next(e for e in e2e.find_all(window, "list item") if e2e.name(e) == "wide.jpg")
    x, y, w, h = e2e.extents(entry)
    e2e.click(x + w // 2, y + h // 2, double=True)
    viewer.wait_frame(FULL_SCREEN)
    for w in viewer.windows():
        check(not e2e.is_showing(w) or e2e.name(w), f"a shown {e2e.role(w)} without a name")
    check("image/png" not in clipboard_targets(), "the clipboard holds no picture yet")

    # A reader that keeps a copy of the tree hears of the menu as it opens. The program
    # learns of a new listener through the registry a moment later, so a menu opened before
    # that is closed and opened again.
    added = []
    listener = Atspi.EventListener.new(
        lambda ev: added.append(ev.any_data.get_name()) if ev.source.get_role_name() ==
        "application" else None)
    listener.register("object:children-changed:add")

    def heard():
        while GLib.MainContext.default().iteration(False):
            pass
        return "Menu PopUp" in added
    for attempt in range(5):
        added.clear()
        e2e.click(640, 512, button=3)
        menu = e2e.wait_popup(viewer, "Menu PopUp")
        try:
            e2e.wait_for(heard, timeout=5 + 5 * attempt, what="the menu announced as added")
            break
        except e2e.TimedOut:
            if attempt == 4:
                raise
            e2e.key("Escape")
            e2e.wait_for(lambda: not e2e.popup(viewer, "Menu PopUp"), what="the menu to close")
    check_equal(e2e.menu_entries(menu), ["Run Slide Show", "-", "Copy To ClipBoard", "-", "Cancel"],
                "the popup menu's items")
    e2e.do_action(next(c for c in e2e.children(menu) if e2e.name(c) == "Copy To ClipBoard"))
    e2e.wait_for(lambda: "image/png" in clipboard_targets(), what="the picture on the clipboard")
    check(viewer.frames(FULL_SCREEN), "the full-screen window stays open after the copy")


def test_the_note_about_and_the_credits_are_fixed_dialogs_opened_at_once():
    viewer, window, _ = e2e.start_in(e2e.scratch_dir("about-"))
    e2e.key("F1")
    note = viewer.wait_frame("Vedra Viewer - Note")
    check(e2e.is_fixed_size(e2e.wait_window_id("Vedra Viewer - Note")),
          "the Note cannot be resized or maximised")
    listing = e2e.find(note, "list")
    items = e2e.find_all(listing, "list item")
    check_equal(len(items), 85, "lines in the Note")
    check(not [i for i in items if pyatspi.STATE_SELECTED in e2e.states(i)],
          "no line of the Note opens selected")
    bottom = sum(e2e.extents(listing)[1::2])
    for item in items:  # every line that shows at all shows whole
        _, y, _, h = e2e.extents(item)
        check(y >= bottom - 3 or y + h <= bottom, f"the line {e2e.name(item)!r} is cut "
              f"by the list's edge (it ends at {y + h}, the list at {bottom})")
    e2e.focus_window("Vedra Viewer - Note")
    e2e.key("Escape")
    e2e.wait_gone("Vedra Viewer - Note")

    check_prompt(e2e.menu_item(window, "?", "About"), "the About item")
    about = viewer.wait_frame("Vedra Viewer - About")
    check(e2e.is_fixed_size(e2e.wait_window_id("Vedra Viewer - About")),
          "About cannot be resized or maximised")
    # The icon opens the credits, modal over the About box, as promptly.
    check_prompt(e2e.find(about, "push button", TITLE), "the About box's icon")
    credits = viewer.wait_frame("Titles")
    check(e2e.is_fixed_size(e2e.wait_window_id("Titles")), "the credits cannot be resized")

    # They scroll at a pace a person can read (10 twips, 2/3 of a pixel, a tick), at little
    # cost: the distance moved and the processor time used over five seconds.
    area = e2e.find(credits, None, "Credits")
    tops = [e2e.extents(area)[1]]
    cpu = [cpu_seconds(viewer.pid)]
    started = time.monotonic()
    while time.monotonic() - started < 5:
        time.sleep(0.25)  # sampling the position, not waiting for the program
        tops.append(e2e.extents(area)[1])
    elapsed = time.monotonic() - started
    share = (cpu_seconds(viewer.pid) - cpu[0]) / elapsed
    # Upwards moves only: each pass through the loop starts again from the top.
    moved = sum(a - b for a, b in zip(tops, tops[1:]) if a > b)
    check(moved > 0, f"the credits scroll (tops seen: {tops})")
    tick_ms = 1000 * elapsed * (10 / 15) / moved
    print(f"  credits: a tick every {tick_ms:.0f} ms, {100 * share:.1f} % of a core")
    check(15 <= tick_ms <= 250, f"the credits move 2/3 of a pixel every {tick_ms:.0f} ms")
    check(share < 0.05, f"the credits use {100 * share:.1f} % of a core")
    e2e.press_button(credits, "OK")
    e2e.wait_gone("Titles")
    e2e.press_button(about, "OK")
    e2e.wait_gone("Vedra Viewer - About")


def test_a_folder_set_over_at_spi_is_the_copys_target_and_enter_answers_no():
    source, target = e2e.scratch_dir("source-"), e2e.scratch_dir("target-")
    e2e.make_picture(source / "a.jpg")
    viewer, window, wid = e2e.start_in(source)
    item = e2e.menu_item(window, "Options", "Folder to Copy/Move")
    check_prompt(item, "the Folder to Copy/Move item")
    dialog = viewer.wait_frame(f"{TITLE} - Folder Copy/Move")
    # Set whole into the path box, as dictation and voice control do.
    path_box = e2e.find(e2e.find(dialog, "combo box"), "text")
    check(path_box.queryEditableText().setTextContents(str(target)), "the path box took it")
    e2e.wait_for(lambda: e2e.text_of(path_box) == str(target), what="the path box to show it")
    e2e.press_button(dialog, "OK")
    e2e.wait_gone(f"{TITLE} - Folder Copy/Move")
    e2e.activate(wid)
    e2e.show_first_entry(wid, source, "a.jpg")
    e2e.key("ctrl+o")  # copy
    e2e.wait_for(lambda: (target / "a.jpg").exists() and
                 (target / "a.jpg").read_bytes() == (source / "a.jpg").read_bytes(),
                 what="a whole copy of a.jpg in the folder set over AT-SPI")
    # The real question box: "Continue?" has No as its default button, so Enter keeps the file.
    e2e.key("Delete")
    box = viewer.wait_message("Continue?")
    e2e.key("Return")
    e2e.wait_for(lambda: not e2e.is_showing(box), what="the question to close")
    e2e.key("Delete")  # asks only once the first Delete's handler has ended
    viewer.wait_message("Continue?")
    check((source / "a.jpg").exists(), "Enter on the question deleted a.jpg")


if __name__ == "__main__":
    e2e.run_tests(globals())
