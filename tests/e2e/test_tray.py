"""Tray mode on a real desktop: an XEmbed tray (trayer), a StatusNotifierItem host (a
small fake watcher on the session bus) and a desktop without any tray."""

import ctypes
import re
import subprocess
import sys
import time
from pathlib import Path

import vedra_e2e as e2e
from gi.repository import GLib
from vedra_e2e import TITLE, check, check_equal

HERE = Path(__file__).resolve().parent


# ---------------------------------------------------------------------------
# Helpers
# ---------------------------------------------------------------------------

def start_with_a_picture(env=None):
    folder = e2e.scratch_dir("tray-")
    e2e.make_picture(folder / "a.jpg", size="64x48", colour="blue")
    viewer = e2e.start_viewer(cwd=folder, env=env)
    viewer.wait_frame(TITLE)
    e2e.focus_window(TITLE)
    return viewer


def main_window_shown():
    return bool(e2e.window_ids(TITLE))


def enter_tray():
    e2e.focus_window(TITLE)
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: not main_window_shown(), what="the main window to go away")


def press_menu_entry(menu, caption):
    for c in e2e.children(menu):
        if e2e.plain(e2e.name(c)) == caption:
            try:
                e2e.do_action(c)
            except GLib.Error:
                # Exit ends the program before it can answer the press.
                if caption != "Exit":
                    raise
            return
    raise AssertionError(f"no entry {caption!r} in {e2e.menu_entries(menu)}")


def tray_selection_owner():
    """The window that holds the XEmbed tray selection of screen 0, or 0."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XGetSelectionOwner.restype = ctypes.c_ulong
    x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x.XOpenDisplay(None)
    try:
        return x.XGetSelectionOwner(display, x.XInternAtom(display, b"_NET_SYSTEM_TRAY_S0", 0))
    finally:
        x.XCloseDisplay(display)


def start_trayer():
    process = subprocess.Popen(
        ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
         "--height", "32", "--heighttype", "pixel", "--transparent", "false",
         "--tint", "0x404040", "--SetDockType", "true"],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        preexec_fn=e2e._die_with_parent)
    e2e.wait_for(tray_selection_owner, what="trayer to hold the tray selection")
    return process


def embedded_icons():
    """Small mapped windows of the viewer (its docked tray icon), as (x, y, width, height)."""
    out = subprocess.run(["xwininfo", "-root", "-tree"], capture_output=True, text=True,
                         timeout=30).stdout
    icons = []
    for line in out.splitlines():
        # Qt's windows carry the program's class; the tree gives size and absolute place.
        match = re.search(r'^\s*(0x[0-9a-f]+) .*\("vedra-viewer" .*\s(\d+)x(\d+)[+-]-?\d+[+-]-?\d+'
                          r'\s+\+(-?\d+)\+(-?\d+)\s*$', line)
        if not match:
            continue
        wid, w, h, x, y = match.group(1), *map(int, match.groups()[1:])
        if w > 64 or h > 64:
            continue
        info = subprocess.run(["xwininfo", "-id", wid], capture_output=True, text=True,
                              timeout=30).stdout
        if "IsViewable" in info:
            icons.append((x, y, w, h))
    return icons


def click_icon(button=1, double=False):
    x, y, w, h = e2e.wait_for(lambda: (embedded_icons() or [None])[0],
                              what="the tray icon in trayer's panel")
    # A synchronous move to where the pointer already is would wait for nothing.
    e2e.xdotool("mousemove", 5, 500)
    e2e.click(x + w // 2, y + h // 2, button, double)


def gdbus_call(service, path, method, *args):
    result = subprocess.run(["gdbus", "call", "--session", "--dest", service, "--object-path",
                             path, "--method", method, *map(str, args)],
                            capture_output=True, text=True, timeout=30)
    return result.returncode, result.stdout.strip()


# ---------------------------------------------------------------------------
# Cases
# ---------------------------------------------------------------------------

def test_an_xembed_tray_holds_the_icon_and_its_mouse_actions_work():
    trayer = start_trayer()
    try:
        viewer = start_with_a_picture()
        check(not embedded_icons(), "no icon before tray mode")
        e2e.maximise(TITLE)
        enter_tray()
        shot = e2e.screenshot(e2e.scratch_dir("shot-") / "tray.png")
        check(embedded_icons(), f"the icon is docked in trayer's panel (see {shot})")

        # A single click does nothing; a double click brings the window back maximised.
        click_icon()
        time.sleep(1.0)  # time enough for a wrong reaction to show
        check(not main_window_shown(), "a single click leaves the window away")
        click_icon(double=True)
        wid = e2e.wait_window_id(TITLE)
        check(e2e.is_maximised(wid), "the window comes back maximised")
        e2e.wait_for(lambda: not embedded_icons(), what="the icon to leave the panel")

        # A second entry shows the icon again; the right button opens the menu.
        e2e.restore(TITLE)
        enter_tray()
        click_icon(button=3)
        menu = e2e.wait_popup(viewer, "PopUp")
        check_equal(e2e.menu_entries(menu), ["About", "-", "Open", "-", "Exit"], "the tray menu")
        press_menu_entry(menu, "Exit")
        check_equal(viewer.wait_exit(), 0, "the exit status after Exit")
        e2e.wait_for(lambda: not embedded_icons(), what="the icon to leave the panel")
    finally:
        trayer.terminate()
        trayer.wait(timeout=10)


def test_a_status_notifier_host_activates_and_opens_the_menu():
    log = e2e.scratch_dir("sni-") / "watcher.log"
    watcher = subprocess.Popen([sys.executable, str(HERE / "fake_sni_watcher.py"), str(log)],
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               preexec_fn=e2e._die_with_parent)
    try:
        e2e.wait_for(lambda: log.exists() and "ready" in log.read_text(),
                     what="the fake watcher to own its name")

        def registrations():
            return [l.split()[1] for l in log.read_text().splitlines() if l != "ready"]

        def enter_tray_and_wait_for_the_icon():
            before = len(registrations())
            enter_tray()
            return e2e.wait_for(lambda: registrations()[before:] and registrations()[-1],
                                what="the tray icon to register with the watcher")

        viewer = start_with_a_picture()
        item = enter_tray_and_wait_for_the_icon()
        status, _ = gdbus_call(item, "/StatusNotifierItem",
                               "org.freedesktop.DBus.Properties.Get",
                               "org.kde.StatusNotifierItem", "ToolTip")
        check_equal(status, 0, "the item answers for its tool tip")

        # Activate (a host's click on the icon) opens the window.
        gdbus_call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", 0, 0)
        e2e.wait_window_id(TITLE)

        # ContextMenu opens the menu; Open brings the window back and closes the menu.
        item = enter_tray_and_wait_for_the_icon()
        gdbus_call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", 0, 0)
        menu = e2e.wait_popup(viewer, "PopUp")
        check_equal(e2e.menu_entries(menu), ["About", "-", "Open", "-", "Exit"], "the tray menu")
        press_menu_entry(menu, "Open")
        e2e.wait_window_id(TITLE)
        e2e.wait_for(lambda: not e2e.popup(viewer, "PopUp"), what="the menu to close")

        # About opens the About box and leaves tray mode as it is; Exit ends the program.
        item = enter_tray_and_wait_for_the_icon()
        gdbus_call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", 0, 0)
        press_menu_entry(e2e.wait_popup(viewer, "PopUp"), "About")
        about = viewer.wait_frame("Vedra Viewer - About")
        e2e.press_button(about, "OK")
        e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - About"), what="About to close")
        check(not main_window_shown(), "the main window stays in the tray after About")
        gdbus_call(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", 0, 0)
        press_menu_entry(e2e.wait_popup(viewer, "PopUp"), "Exit")
        check_equal(viewer.wait_exit(), 0, "the exit status after Exit")
        status, owned = gdbus_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus.NameHasOwner", item)
        check_equal(owned, "(false,)", "the tray icon's name after Exit")
    finally:
        watcher.terminate()
        watcher.wait(timeout=10)


def test_without_a_tray_the_window_is_minimised_and_comes_back():
    check(not tray_selection_owner(), "this desktop has no tray")
    viewer = start_with_a_picture()
    wid = e2e.maximise(TITLE)
    e2e.focus_window(TITLE)
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: e2e.is_minimised(wid), what="the window to be minimised")
    check(viewer.running(), "the viewer still runs")
    e2e.xdotool("windowactivate", "--sync", wid)
    e2e.wait_for(lambda: not e2e.is_minimised(wid), what="the window to come back")
    check(e2e.is_maximised(wid), "the window comes back maximised")


if __name__ == "__main__":
    for tool in ("trayer", "gdbus", "xwininfo"):
        if subprocess.run(["which", tool], capture_output=True).returncode != 0:
            print(f"missing tool: {tool} (skipping)")
            sys.exit(77)
    e2e.run_tests(globals())
