"""A small StatusNotifierWatcher with a host, on the session bus, for the tray tests.

    fake_sni_watcher.py LOG

Owns org.kde.StatusNotifierWatcher with what an item asks of it: says a host is registered,
and appends one line "SENDER SERVICE" to LOG for every item that registers. Runs until it
is terminated.
"""

import signal
import sys

from gi.repository import Gio, GLib

INTERFACE = """
<node>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  </interface>
</node>
"""

log_path = sys.argv[1]


def on_call(connection, sender, path, interface, method, params, invocation):
    with open(log_path, "a", encoding="utf-8") as log:  # RegisterStatusNotifierItem
        log.write(f"{sender} {params.unpack()[0]}\n")
    invocation.return_value(None)


def on_get_property(connection, sender, path, interface, name):
    return GLib.Variant("b", True)  # IsStatusNotifierHostRegistered


def on_bus(connection, name):
    info = Gio.DBusNodeInfo.new_for_xml(INTERFACE).interfaces[0]
    connection.register_object("/StatusNotifierWatcher", info, on_call, on_get_property, None)


def on_name(connection, name):
    with open(log_path, "a", encoding="utf-8") as log:
        log.write("ready\n")


loop = GLib.MainLoop()
GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, loop.quit)
Gio.bus_own_name(Gio.BusType.SESSION, "org.kde.StatusNotifierWatcher",
                 Gio.BusNameOwnerFlags.NONE, on_bus, on_name, lambda *a: loop.quit())
loop.run()
