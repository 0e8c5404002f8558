"""What a screen-reader user reaches: the full-screen window and its popup menu, the Note,
the About box with its System Info button, and the credits."""

import os
import stat
import subprocess
import time

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
    added.pump()
    added.names.clear()
    e2e.click(640, 512, button=3)
    menu = e2e.wait_for(lambda: e2e.popup(viewer, "Menu PopUp"), what="the popup menu")
    # A reader that keeps a copy of the tree hears of the menu as it opens.
    e2e.wait_for(lambda: "Menu PopUp" in added.pump(), what="the menu announced as added")
    check_equal(e2e.menu_entries(menu), ["Run Slide Show", "-", "Copy To ClipBoard", "-", "Cancel"],
                "the popup menu's items")
    copy = [c for c in e2e.children(menu) if e2e.plain(e2e.name(c)) == "Copy To ClipBoard"][0]
    e2e.do_action(copy)
    e2e.wait_for(lambda: not e2e.popup(viewer, "Menu PopUp"), what="the popup menu to close")
    e2e.wait_for(lambda: "image/png" in clipboard_targets(),
                 what="the picture on the clipboard")
    check(viewer.frames(FULL_SCREEN), "the full-screen window stays open after the copy")


def test_the_note_lists_its_lines_and_esc_closes_it():
    viewer = e2e.start_viewer(cwd=e2e.scratch_dir("note-"))
    viewer.wait_frame(TITLE)
    for _ in range(2):
        e2e.focus_window(TITLE)
        e2e.key("F1")
        note = viewer.wait_frame("Vedra Viewer - Note")
        lines = e2e.list_entries(e2e.find(note, "list"))
        check_equal(len(lines), 85, "lines in the Note")
        check_equal(lines[4], "PROGRAM\u2019S FEATURES:", "the fifth line")
        check_equal(lines[84], "Click right button on Systray icon to access About, Open and Exit.",
                    "the last line")
        e2e.focus_window("Vedra Viewer - Note")
        e2e.key("Escape")
        e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - Note"), what="the Note to close")


def test_about_starts_the_desktops_tool_and_its_icon_opens_the_credits():
    tools = e2e.scratch_dir("bin-")
    marker = tools / "started.txt"
    tool = tools / "xfce4-about"
    tool.write_text(f'#!/bin/sh\necho "$0 $*" > "{marker}"\n')
    tool.chmod(tool.stat().st_mode | stat.S_IXUSR)
    env = {"PATH": f"{tools}:{os.environ['PATH']}", "XDG_CURRENT_DESKTOP": "XFCE"}
    viewer = e2e.start_viewer(cwd=e2e.scratch_dir("about-"), env=env)
    viewer.wait_frame(TITLE)
    e2e.focus_window(TITLE)
    e2e.key("F2")
    about = viewer.wait_frame("Vedra Viewer - About")
    e2e.press_button(about, "System Info...")
    e2e.wait_for(lambda: marker.exists() and marker.read_text().strip(),
                 what="the system-information tool to start")
    check_equal(marker.read_text().strip(), str(tool), "the program started")

    # The icon opens the credits over the About box; OK closes them.
    wid = e2e.focus_window("Vedra Viewer - About")
    x, y, w, h = e2e.extents(about)
    e2e.click(x + 34, y + 34)  # the icon: 36 pixels square, 16 from the corner
    credits = viewer.wait_frame("Titles")
    time.sleep(0.5)
    shot = e2e.screenshot(e2e.scratch_dir("shot-") / "credits.png")
    check(e2e.find(credits, "check box", "White"), f"the credits offer White (see {shot})")
    e2e.press_button(credits, "OK")
    e2e.wait_for(lambda: not e2e.window_ids("Titles"), what="the credits to close")
    e2e.focus_window("Vedra Viewer - About")
    e2e.key("Escape")
    e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - About"), what="About to close")
    check(wid and viewer.running(), "the viewer keeps running")


if __name__ == "__main__":
    e2e.run_tests(globals())
