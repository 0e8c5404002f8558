"""What a screen-reader user reaches: the full-screen window and its popup menu, the Note,
the About box with its System Info button, and the credits."""

import os
import stat
import subprocess
import time

import pyatspi
import vedra_e2e as e2e
from gi.repository import Atspi, GLib
from vedra_e2e import TITLE, check, check_equal

FULL_SCREEN = "Vedra Viewer - Full Screen"


class ChildrenAdded:
    """Records the names of children that applications announce as added."""

    def __init__(self):
        self.names = []
        self._listener = Atspi.EventListener.new(self._heard)
        self._listener.register("object:children-changed:add")

    def _heard(self, event):
        try:
            if event.source.get_role_name() == "application":
                self.names.append(event.any_data.get_name())
        except Exception:  # the sender may be gone
            pass

    def pump(self):
        context = GLib.MainContext.default()
        while context.iteration(False):
            pass
        return self.names


def clipboard_targets():
    result = subprocess.run(["xclip", "-selection", "clipboard", "-t", "TARGETS", "-o"],
                            capture_output=True, text=True, timeout=30)
    return result.stdout.split()


def test_the_full_screen_window_and_its_popup_menu_are_announced_and_work():
    folder = e2e.scratch_dir("a11y-")
    e2e.make_picture(folder / "wide.jpg", size="400x200", colour="red")
    viewer, window, _ = e2e.start_in(folder)
    file_list = [e for e in e2e.find_all(window, "list")
                 if "wide.jpg" in e2e.list_entries(e)][0]
    e2e.click_object(e2e.find(file_list, "list item", "wide.jpg"), double=True)

    full = viewer.wait_frame(FULL_SCREEN)
    check(e2e.is_showing(full), "the full-screen window is announced by its name")
    for w in viewer.windows():
        if e2e.is_showing(w):
            check(e2e.name(w), f"a shown {e2e.role(w)} without a name")

    check("image/png" not in clipboard_targets(), "the clipboard holds no picture yet")
    added = ChildrenAdded()
    # A reader that keeps a copy of the tree hears of the menu as it opens. The program
    # learns of a new listener through the registry a moment later, so a menu opened before
    # that is closed and opened again.
    for attempt in range(5):
        added.pump()
        added.names.clear()
        e2e.click(640, 512, button=3)
        menu = e2e.wait_for(lambda: e2e.popup(viewer, "Menu PopUp"), what="the popup menu")
        try:
            e2e.wait_for(lambda: "Menu PopUp" in added.pump(), timeout=5 + 5 * attempt,
                         what="the menu announced as added")
            break
        except e2e.TimedOut:
            if attempt == 4:
                raise
            e2e.key("Escape")
            e2e.wait_for(lambda: not e2e.popup(viewer, "Menu PopUp"), what="the menu to close")
    check_equal(e2e.menu_entries(menu), ["Run Slide Show", "-", "Copy To ClipBoard", "-", "Cancel"],
                "the popup menu's items")
    copy = [c for c in e2e.children(menu) if e2e.plain(e2e.name(c)) == "Copy To ClipBoard"][0]
    e2e.do_action(copy)
    e2e.wait_for(lambda: not e2e.popup(viewer, "Menu PopUp"), what="the popup menu to close")
    e2e.wait_for(lambda: "image/png" in clipboard_targets(),
                 what="the picture on the clipboard")
    check(viewer.frames(FULL_SCREEN), "the full-screen window stays open after the copy")


def test_the_note_is_a_fixed_dialog_that_lists_its_lines_and_esc_closes_it():
    viewer = e2e.start_viewer(cwd=e2e.scratch_dir("note-"))
    viewer.wait_frame(TITLE)
    for _ in range(2):
        e2e.focus_window(TITLE)
        e2e.key("F1")
        note = viewer.wait_frame("Vedra Viewer - Note")
        check(e2e.is_fixed_size(e2e.wait_window_id("Vedra Viewer - Note")),
              "the Note cannot be resized or maximised")
        listing = e2e.find(note, "list")
        lines = e2e.list_entries(listing)
        check_equal(len(lines), 85, "lines in the Note")
        check_equal(lines[4], "PROGRAM\u2019S FEATURES:", "the fifth line")
        check_equal(lines[84], "Click right button on Systray icon to access About, Open and Exit.",
                    "the last line")
        items = e2e.find_all(listing, "list item")
        check(not [i for i in items if pyatspi.STATE_SELECTED in e2e.states(i)],
              "no line of the Note opens selected")
        # Every line that shows at all shows whole.
        _, top, _, height = e2e.extents(listing)
        bottom = top + height
        for item in items:
            _, y, _, h = e2e.extents(item)
            if y < bottom - 3:
                check(y + h <= bottom, f"the line {e2e.name(item)!r} is cut by the list's edge "
                      f"(it ends at {y + h}, the list at {bottom})")
        e2e.focus_window("Vedra Viewer - Note")
        e2e.key("Escape")
        e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - Note"), what="the Note to close")


def test_about_and_the_credits_are_fixed_dialogs_opened_at_once_for_a_screen_reader():
    tools = e2e.scratch_dir("bin-")
    marker = tools / "started.txt"
    tool = tools / "xfce4-about"
    tool.write_text(f'#!/bin/sh\necho "$0 $*" > "{marker}"\n')
    tool.chmod(tool.stat().st_mode | stat.S_IXUSR)
    env = {"PATH": f"{tools}:{os.environ['PATH']}", "XDG_CURRENT_DESKTOP": "XFCE"}
    viewer = e2e.start_viewer(cwd=e2e.scratch_dir("about-"), env=env)
    window = viewer.wait_frame(TITLE)

    # Pressed through the accessibility bus, the menu item answers at once: the modal About
    # box it opens stays open meanwhile.
    took = e2e.timed_action(e2e.menu_item(window, "?", "About"))
    about = viewer.wait_frame("Vedra Viewer - About")
    check(took < 0.2, f"the About item answered after {took:.2f} s")
    print(f"  the About item answered in {1000 * took:.0f} ms")
    check(e2e.is_fixed_size(e2e.wait_window_id("Vedra Viewer - About")),
          "About cannot be resized or maximised")
    e2e.press_button(about, "System Info...")
    e2e.wait_for(lambda: marker.exists() and marker.read_text().strip(),
                 what="the system-information tool to start")
    check_equal(marker.read_text().strip(), str(tool), "the program started")

    # The icon opens the credits, modal over the About box, as promptly.
    took = e2e.timed_action(e2e.find(about, "push button", "Vedra Viewer"))  # the icon
    credits = viewer.wait_frame("Titles")
    check(took < 0.2, f"the About box's icon answered after {took:.2f} s")
    check(e2e.is_fixed_size(e2e.wait_window_id("Titles")), "the credits cannot be resized")
    check(e2e.find(credits, "check box", "White"), "the credits offer White")

    # They scroll at a pace a person can read (10 twips, 2/3 of a pixel, a tick), at little
    # cost: the distance moved and the processor time used over five seconds.
    area = e2e.find(credits, None, "Credits")
    tops = [e2e.extents(area)[1]]
    cpu_before = e2e.cpu_seconds(viewer.pid)
    started = time.monotonic()
    while time.monotonic() - started < 5:
        time.sleep(0.25)  # sampling the position, not waiting for the program
        tops.append(e2e.extents(area)[1])
    elapsed = time.monotonic() - started
    cpu = e2e.cpu_seconds(viewer.pid) - cpu_before
    # Upwards moves only: each pass through the loop starts again from the top.
    moved = sum(a - b for a, b in zip(tops, tops[1:]) if a > b)
    check(moved > 0, f"the credits scroll (tops seen: {tops})")
    tick_ms = 1000 * elapsed * (10 / 15) / moved
    check(15 <= tick_ms <= 250, f"the credits move 2/3 of a pixel every {tick_ms:.0f} ms")
    check(cpu / elapsed < 0.05, f"the credits use {100 * cpu / elapsed:.1f} % of a core")
    print(f"  credits: a tick every {tick_ms:.0f} ms, {100 * cpu / elapsed:.1f} % of a core")

    e2e.press_button(credits, "OK")
    e2e.wait_for(lambda: not e2e.window_ids("Titles"), what="the credits to close")
    e2e.focus_window("Vedra Viewer - About")
    e2e.key("Escape")
    e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - About"), what="About to close")
    check(viewer.running(), "the viewer keeps running")


if __name__ == "__main__":
    e2e.run_tests(globals())
