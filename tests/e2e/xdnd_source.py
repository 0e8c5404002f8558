"""A drag source that sends the XDND messages straight to one X window (enter, position in
screen coordinates, drop), as a task bar that lets drops through to a minimised, unmapped
window does; it serves the dragged bytes when asked and waits for the target to finish.

    with XdndSource({"image/png": data}) as source:
        accepted = source.drop_on(window_id, x, y)
"""

import time

from Xlib import X, Xatom, display
from Xlib.protocol import event

XDND_VERSION = 5


class XdndSource:
    def __init__(self, offers):
        self.offers = dict(offers)  # MIME type -> bytes; up to three types (no XdndTypeList)
        assert len(self.offers) <= 3

    def __enter__(self):
        self.d = display.Display()
        self.root = self.d.screen().root
        self.window = self.root.create_window(-10, -10, 1, 1, 0, X.CopyFromParent,
                                              event_mask=X.PropertyChangeMask)
        self.atom = lambda name: self.d.intern_atom(name)
        self.types = [self.atom(t) for t in self.offers]
        return self

    def __exit__(self, *exc):
        self.window.destroy()
        self.d.close()
        return False

    def _send(self, target, message, data):
        ev = event.ClientMessage(window=target, client_type=self.atom(message),
                                 data=(32, (data + [0] * 5)[:5]))
        target.send_event(ev, event_mask=0)
        self.d.flush()

    def _serve(self, ev):
        """Answers a request for the dragged data."""
        wanted = ev.target
        names = {self.atom(t): t for t in self.offers}
        prop = ev.property or ev.target
        if wanted == self.atom("TARGETS"):
            ev.requestor.change_property(prop, Xatom.ATOM, 32, self.types)
        elif wanted in names:
            ev.requestor.change_property(prop, wanted, 8, self.offers[names[wanted]])
        else:
            prop = X.NONE
        reply = event.SelectionNotify(time=ev.time, requestor=ev.requestor,
                                      selection=ev.selection, target=ev.target, property=prop)
        ev.requestor.send_event(reply, event_mask=0)
        self.d.flush()

    def _wait(self, message, timeout):
        """Runs the event loop until a client message of this type arrives; serves data."""
        deadline = time.monotonic() + timeout
        wanted = self.atom(message)
        while time.monotonic() < deadline:
            while self.d.pending_events():
                ev = self.d.next_event()
                if ev.type == X.SelectionRequest:
                    self._serve(ev)
                elif ev.type == X.ClientMessage and ev.client_type == wanted:
                    return ev
            time.sleep(0.02)
        return None

    def drop_on(self, window_id, x, y, timeout=60.0):
        """Drags the offers onto the window at screen point (x, y); True when the target
        accepted the drop and said it has finished."""
        target = self.d.create_resource_object("window", window_id)
        self.window.set_selection_owner(self.atom("XdndSelection"), X.CurrentTime)
        source = self.window.id
        self._send(target, "XdndEnter", [source, XDND_VERSION << 24] + self.types)
        self._send(target, "XdndPosition", [source, 0, (x << 16) | y, X.CurrentTime,
                                            self.atom("XdndActionCopy")])
        status = self._wait("XdndStatus", timeout)
        if status is None or not status.data[1][1] & 1:
            self._send(target, "XdndLeave", [source, 0])
            return False
        self._send(target, "XdndDrop", [source, 0, X.CurrentTime])
        finished = self._wait("XdndFinished", timeout)
        return finished is not None
