#!/usr/bin/python3
# Asks a window to close as a window manager's close button does: a WM_DELETE_WINDOW message.
# Usage: close_window.py WINDOW_ID
#        close_window.py --prepare   (before a toolkit connects: it only looks up the window
#        manager's atoms, which a window manager would have made, and needs them)
import sys

from Xlib import X, display, protocol

shown = display.Display()
if sys.argv[1] == "--prepare":
    for name in ("WM_PROTOCOLS", "WM_DELETE_WINDOW", "WM_TAKE_FOCUS", "WM_STATE", "WM_CHANGE_STATE", "_NET_WM_PING",
                 "_NET_WM_STATE", "_NET_WM_STATE_HIDDEN", "_NET_WM_STATE_FULLSCREEN", "_NET_WM_WINDOW_TYPE",
                 "_NET_WM_WINDOW_TYPE_NORMAL", "_NET_WM_WINDOW_TYPE_COMBO", "_NET_WM_ALLOWED_ACTIONS",
                 "_NET_WM_MOVERESIZE", "_NET_FRAME_EXTENTS", "_NET_WORKAREA", "_MOTIF_WM_HINTS"):
        shown.intern_atom(name)
    shown.flush()
    sys.exit(0)

window = shown.create_resource_object("window", int(sys.argv[1]))
protocols = shown.intern_atom("WM_PROTOCOLS")
delete = shown.intern_atom("WM_DELETE_WINDOW")
event = protocol.event.ClientMessage(window=window, client_type=protocols, data=(32, [delete, X.CurrentTime, 0, 0, 0]))
window.send_event(event, event_mask=X.NoEventMask)
shown.flush()
