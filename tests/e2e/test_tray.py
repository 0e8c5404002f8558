"""Tray mode on a real desktop: an XEmbed tray (trayer), a StatusNotifierItem host (a
small fake watcher on the session bus) and a desktop without any tray."""

import ctypes
import re
import subprocess
import sys
from pathlib import Path

import pyatspi
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


def enter_tray(viewer):
    """Ctrl+T, and waits until the main window has gone and the program has taken in that it
    lost the focus (a menu opened before that would close again at once)."""
    e2e.focus_window(TITLE)
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: not main_window_shown(), what="the main window to go away")
    e2e.wait_for(lambda: not [w for w in viewer.windows() if pyatspi.STATE_ACTIVE in e2e.states(w)],
                 what="the viewer to have no active window")


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


def settled_icon():
    """The docked icon's place once trayer has stopped moving it (the panel grows to hold it
    and the icon moves with it): the same place seen twice in a row."""
    last = [None]

    def same_place_twice():
        icons = embedded_icons()
        now = icons[0] if icons else None
        settled = now is not None and now == last[0]
        last[0] = now
        return now if settled else None
    return e2e.wait_for(same_place_twice, what="the tray icon to settle in trayer's panel",
                        interval=0.2)


def point_at_icon():
    x, y, w, h = settled_icon()
    # A synchronous move to where the pointer already is would wait for nothing.
    e2e.xdotool("mousemove", 5, 500)
    e2e.xdotool("mousemove", "--sync", x + w // 2, y + h // 2)
    return x + w // 2, y + h // 2


def click_icon(button=1, double=False):
    point_at_icon()
    e2e.xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), button)


def gdbus_call(service, path, method, *args):
    result = subprocess.run(["gdbus", "call", "--session", "--dest", service, "--object-path",
                             path, "--method", method, *map(str, args)],
                            capture_output=True, text=True, timeout=30)
    return result.returncode, result.stdout.strip()


# ---------------------------------------------------------------------------
# Cases
# ---------------------------------------------------------------------------

def test_after_the_no_tray_fallback_an_xembed_tray_holds_the_icon_and_its_mouse_actions_work():
    check(not tray_selection_owner(), "this desktop has no tray yet")
    viewer = start_with_a_picture()
    wid = e2e.wait_window_id(TITLE)

    # Without a tray the window is minimised instead, and comes back from the task bar.
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: e2e.is_minimised(wid), what="the window to be minimised")
    check(viewer.running(), "the viewer still runs")
    e2e.xdotool("windowactivate", "--sync", wid)
    e2e.wait_for(lambda: not e2e.is_minimised(wid), what="the window to come back")

    trayer = start_trayer()
    try:
        check(not embedded_icons(), "no icon before tray mode")
        enter_tray(viewer)
        shot = e2e.screenshot(e2e.scratch_dir("shot-") / "tray.png")
        check(settled_icon(), f"the icon is docked in trayer's panel (see {shot})")

        # A single click does nothing; the right button opens the menu on its release, with
        # About in bold. The menu shows after the click was handled, so the window is still
        # away if the click did nothing.
        click_icon()
        point_at_icon()
        e2e.xdotool("mousedown", 3)
        check(not e2e.popup(viewer, "PopUp"), "the menu waits for the button's release")
        e2e.xdotool("mouseup", 3)
        menu = e2e.wait_popup(viewer, "PopUp")
        check(not main_window_shown(), "a single click leaves the window away")
        check_equal(e2e.menu_entries(menu), ["About", "-", "Open", "-", "Exit"], "the tray menu")

        # Open shows the window in the state it had: not minimised, whatever the fallback did.
        press_menu_entry(menu, "Open")
        e2e.wait_window_id(TITLE)
        check(not e2e.is_minimised(wid), "the window comes back shown, not minimised")
        e2e.wait_for(lambda: not embedded_icons(), what="the icon to leave the panel")

        # From the maximised state a double click brings the window back maximised.
        e2e.maximise(TITLE)
        enter_tray(viewer)
        click_icon(double=True)
        e2e.wait_window_id(TITLE)
        check(e2e.is_maximised(wid), "the window comes back maximised")
        e2e.wait_for(lambda: not embedded_icons(), what="the icon to leave the panel")

        # A later entry shows the icon again; Exit ends the program and takes the icon away.
        enter_tray(viewer)
        click_icon(button=3)
        press_menu_entry(e2e.wait_popup(viewer, "PopUp"), "Exit")
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
            enter_tray(viewer)
            return e2e.wait_for(lambda: registrations()[before:] and registrations()[-1],
                                what="the tray icon to register with the watcher")

        viewer = start_with_a_picture()
        item = enter_tray_and_wait_for_the_icon()
        status, tip = gdbus_call(item, "/StatusNotifierItem",
                                 "org.freedesktop.DBus.Properties.Get",
                                 "org.kde.StatusNotifierItem", "ToolTip")
        check(status == 0 and "'Vedra Viewer'" in tip, f"the item's tool tip: {tip}")
        _, title = gdbus_call(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                              "org.kde.StatusNotifierItem", "Title")
        check_equal(title, "(<'Vedra Viewer'>,)", "the item's title")

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

        # Hosts that draw the menu themselves read it over D-Bus and click its items there.
        # About opens the About box and leaves tray mode as it is; Exit ends the program.
        item = enter_tray_and_wait_for_the_icon()
        _, menu_path = gdbus_call(item, "/StatusNotifierItem",
                                  "org.freedesktop.DBus.Properties.Get",
                                  "org.kde.StatusNotifierItem", "Menu")
        path = re.search(r"'(/[^']*)'", menu_path).group(1)
        status, layout = gdbus_call(item, path, "com.canonical.dbusmenu.GetLayout", 0, 5, "[]")
        check_equal(status, 0, f"the exported menu answers: {layout}")
        items = re.findall(r"<\((\d+), \{([^}]*)\}", layout)
        labels = [("-" if "'separator'" in props else
                   re.search(r"'label': <'([^']*)'>", props).group(1)) for _, props in items]
        check_equal(labels, ["_About", "-", "_Open", "-", "_Exit"], "the exported menu")
        ids = {label: int(i) for (i, _), label in zip(items, labels)}
        status, _ = gdbus_call(item, path, "com.canonical.dbusmenu.Event", ids["_About"],
                               "'clicked'", "<0>", 0)
        check_equal(status, 0, "the menu answers a click on About")
        about = viewer.wait_frame("Vedra Viewer - About")
        e2e.press_button(about, "OK")
        e2e.wait_for(lambda: not e2e.window_ids("Vedra Viewer - About"), what="About to close")
        check(not main_window_shown(), "the main window stays in the tray after About")
        gdbus_call(item, path, "com.canonical.dbusmenu.Event", ids["_Exit"], "'clicked'", "<0>", 0)
        check_equal(viewer.wait_exit(), 0, "the exit status after Exit")
        status, owned = gdbus_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                   "org.freedesktop.DBus.NameHasOwner", item)
        check_equal(owned, "(false,)", "the tray icon's name after Exit")
    finally:
        watcher.terminate()
        watcher.wait(timeout=10)


if __name__ == "__main__":
    for tool in ("trayer", "gdbus", "xwininfo"):
        if subprocess.run(["which", tool], capture_output=True).returncode != 0:
            print(f"missing tool: {tool} (skipping)")
            sys.exit(77)
    e2e.run_tests(globals())
