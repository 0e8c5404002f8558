"""Tray mode on a real desktop: first without any tray, then with an XEmbed tray (trayer),
and with a StatusNotifierItem host (a small fake watcher on the session bus) that also
draws the menu the item exports over D-Bus."""

import re
import subprocess
import sys
from pathlib import Path

import pyatspi
import vedra_e2e as e2e
from gi.repository import GLib
from vedra_e2e import TITLE, check, check_equal
from Xlib import display

MENU = ["About", "-", "Open", "-", "Exit"]


def start_with_a_picture():
    folder = e2e.scratch_dir("tray-")
    e2e.make_picture(folder / "a.jpg", size="64x48", colour="blue")
    return e2e.start_in(folder)


def enter_tray(viewer):
    """Ctrl+T; waits until the main window has gone and the program has taken in that it
    lost the focus (a menu opened before that would close again at once)."""
    e2e.focus_window(TITLE)
    e2e.key("ctrl+t")
    e2e.wait_gone(TITLE)
    e2e.wait_for(lambda: not [w for w in viewer.windows() if pyatspi.STATE_ACTIVE in e2e.states(w)],
                 what="the viewer to have no active window")


def press_menu_entry(menu, caption):
    entry = next(c for c in e2e.children(menu) if e2e.plain(e2e.name(c)) == caption)
    try:
        e2e.do_action(entry)
    except GLib.Error:
        if caption != "Exit":  # Exit ends the program before it can answer the press
            raise


def tray_owner():
    """The window that holds the XEmbed tray selection of screen 0, or 0."""
    d = display.Display()
    try:
        owner = d.get_selection_owner(d.intern_atom("_NET_SYSTEM_TRAY_S0"))
        return getattr(owner, "id", owner)  # a window, or 0 for none
    finally:
        d.close()


def docked_icon():
    """The viewer's small mapped window inside trayer's panel, as (x, y, width, height) on
    the screen, or None."""
    panels = [e2e.geometry(w) for w in
              e2e.run("xdotool", "search", "--onlyvisible", "--class", "trayer").split()]
    for wid in e2e.run("xdotool", "search", "--onlyvisible", "--classname",
                       "vedra-viewer").split():
        x, y, w, h = e2e.geometry(wid)
        if w <= 64 and h <= 64 and any(px <= x and x + w <= px + pw and py <= y and
                                       y + h <= py + ph for px, py, pw, ph in panels):
            return x, y, w, h
    return None


def point_at_icon():
    """Moves the pointer onto the docked icon once trayer has stopped moving it (the panel
    grows to hold it and the icon moves with it): the same place seen on three polls."""
    seen = []

    def settled():
        seen.append(docked_icon())
        return seen[-1] if seen[-1] and seen[-3:] == [seen[-1]] * 3 else None
    x, y, w, h = e2e.wait_for(settled, what="the tray icon to settle in trayer's panel",
                              interval=0.3)
    e2e.xdotool("mousemove", "--sync", 5, 500)  # a move to where it already is waits forever
    e2e.xdotool("mousemove", "--sync", x + w // 2, y + h // 2)


def click_icon(button=1, double=False):
    point_at_icon()
    e2e.xdotool("click", *(["--repeat", 2, "--delay", 80] if double else []), button)


def wait_shown(wid, maximised=False):
    """Waits until the main window is back, neither minimised nor elsewhere than asked."""
    e2e.wait_for(lambda: e2e.window_ids(TITLE) and not e2e.is_minimised(wid)
                 and e2e.is_maximised(wid) == maximised,
                 what=f"the window shown {'maximised' if maximised else 'normal'}")
    e2e.wait_for(lambda: not docked_icon(), what="the icon to leave the panel")


def test_after_the_no_tray_fallback_an_xembed_tray_holds_the_icon_and_its_mouse_actions_work():
    check(not tray_owner(), "this desktop has no tray yet")
    viewer, _, wid = start_with_a_picture()

    # Without a tray the window is minimised instead, and comes back from the task bar.
    e2e.key("ctrl+t")
    e2e.wait_for(lambda: e2e.is_minimised(wid), what="the window to be minimised")
    e2e.activate(wid)
    e2e.wait_for(lambda: not e2e.is_minimised(wid), what="the window to come back")

    e2e.helper(["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                "--height", "32", "--heighttype", "pixel", "--transparent", "false",
                "--tint", "0x404040", "--SetDockType", "true"])
    e2e.wait_for(tray_owner, what="trayer to hold the tray selection")
    check(not docked_icon(), "no icon before tray mode")
    enter_tray(viewer)

    # A single click does nothing; the right button opens the menu on its release. The
    # menu shows after the click was handled, so the window is still away if the click
    # did nothing.
    click_icon()
    point_at_icon()
    e2e.xdotool("mousedown", 3)
    check(not e2e.popup(viewer, "PopUp"), "the menu waits for the button's release")
    e2e.xdotool("mouseup", 3)
    menu = e2e.wait_popup(viewer, "PopUp")
    check(not e2e.window_ids(TITLE), "a single click leaves the window away")
    check_equal(e2e.menu_entries(menu), MENU, "the tray menu")

    # Open shows the window in the state it had: not minimised, whatever the fallback did.
    press_menu_entry(menu, "Open")
    wait_shown(wid)

    # From the maximised state a double click brings the window back maximised.
    e2e.maximise(wid)
    enter_tray(viewer)
    click_icon(double=True)
    wait_shown(wid, maximised=True)

    # Exit ends the program and takes the icon away.
    enter_tray(viewer)
    click_icon(button=3)
    press_menu_entry(e2e.wait_popup(viewer, "PopUp"), "Exit")
    check_equal(viewer.wait_exit(), 0, "the exit status after Exit")
    e2e.wait_for(lambda: not docked_icon(), what="the icon to leave the panel")


def gdbus(service, path, method, *args):
    result = subprocess.run(["gdbus", "call", "--session", "--dest", service, "--object-path",
                             path, "--method", method, *map(str, args)],
                            capture_output=True, text=True, timeout=e2e.TIMEOUT)
    check(result.returncode == 0, f"{method} on {service}{path}: {result.stderr.strip()}")
    return result.stdout.strip()


def item_property(item, prop):
    return gdbus(item, "/StatusNotifierItem", "org.freedesktop.DBus.Properties.Get",
                 "org.kde.StatusNotifierItem", prop)


def test_a_status_notifier_host_activates_opens_and_draws_the_exported_menu():
    log = e2e.scratch_dir("sni-") / "watcher.log"
    e2e.helper([sys.executable, str(Path(__file__).with_name("fake_sni_watcher.py")), str(log)])
    e2e.wait_for(lambda: log.exists() and "ready" in log.read_text(),
                 what="the fake watcher to own its name")
    viewer, _, _ = start_with_a_picture()

    def enter_tray_and_wait_for_the_icon():
        before = log.read_text().count("\n")
        enter_tray(viewer)
        return e2e.wait_for(lambda: log.read_text().splitlines()[before:],
                            what="the tray icon to register with the watcher")[-1].split()[1]

    item = enter_tray_and_wait_for_the_icon()
    check("'Vedra Viewer'" in item_property(item, "ToolTip"), "the item's tool tip")
    check_equal(item_property(item, "Title"), "(<'Vedra Viewer'>,)", "the item's title")
    # Activate (a host's click on the icon) opens the window.
    gdbus(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.Activate", 0, 0)
    e2e.wait_window_id(TITLE)

    # ContextMenu opens the menu; Open brings the window back and closes the menu.
    item = enter_tray_and_wait_for_the_icon()
    gdbus(item, "/StatusNotifierItem", "org.kde.StatusNotifierItem.ContextMenu", 0, 0)
    menu = e2e.wait_popup(viewer, "PopUp")
    check_equal(e2e.menu_entries(menu), MENU, "the tray menu")
    press_menu_entry(menu, "Open")
    e2e.wait_window_id(TITLE)
    e2e.wait_for(lambda: not e2e.popup(viewer, "PopUp"), what="the menu to close")

    # Hosts that draw the menu themselves read it over D-Bus and click its items there.
    # About opens the About box and leaves tray mode as it is; Exit ends the program.
    item = enter_tray_and_wait_for_the_icon()
    path = re.search(r"'(/[^']*)'", item_property(item, "Menu")).group(1)
    layout = gdbus(item, path, "com.canonical.dbusmenu.GetLayout", 0, 5, "[]")
    entries = re.findall(r"<\((\d+), \{([^}]*)\}", layout)
    labels = ["-" if "'separator'" in props else
              re.search(r"'label': <'([^']*)'>", props).group(1) for _, props in entries]
    check_equal(labels, ["_About", "-", "_Open", "-", "_Exit"], "the exported menu")
    ids = {label: int(i) for (i, _), label in zip(entries, labels)}
    gdbus(item, path, "com.canonical.dbusmenu.Event", ids["_About"], "'clicked'", "<0>", 0)
    e2e.press_button(viewer.wait_frame("Vedra Viewer - About"), "OK")
    e2e.wait_gone("Vedra Viewer - About")
    check(not e2e.window_ids(TITLE), "the main window stays in the tray after About")
    # The program may end before it answers this one.
    e2e.run("gdbus", "call", "--session", "--dest", item, "--object-path", path, "--method",
            "com.canonical.dbusmenu.Event", ids["_Exit"], "'clicked'", "<0>", 0)
    check_equal(viewer.wait_exit(), 0, "the exit status after Exit")
    check_equal(gdbus("org.freedesktop.DBus", "/org/freedesktop/DBus",
                      "org.freedesktop.DBus.NameHasOwner", item), "(false,)",
                "the tray icon's name after Exit")


if __name__ == "__main__":
    e2e.run_tests(globals(), tools=("trayer", "gdbus"))
