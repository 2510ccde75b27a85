#!/usr/bin/python3
# Asks a window to close as a window manager's close button does: a WM_DELETE_WINDOW message.
# Usage: close_window.py WINDOW_ID
#        close_window.py --prepare   (before the window opens: a toolkit only offers the
#        protocol when the server knows its atoms, which a window manager would have made)
import sys

from Xlib import X, display, protocol

shown = display.Display()
if sys.argv[1] == "--prepare":
    for name in ("WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS"):
        shown.intern_atom(name)
    shown.flush()
    sys.exit(0)

window = shown.create_resource_object("window", int(sys.argv[1]))
protocols = shown.intern_atom("WM_PROTOCOLS")
delete = shown.intern_atom("WM_DELETE_WINDOW")
event = protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
window.send_event(event, event_mask=X.NoEventMask)
shown.flush()
