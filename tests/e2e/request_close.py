# Asks a window to close as a window manager does: a WM_DELETE_WINDOW
# message of the WM_PROTOCOLS kind. With --window-manager it asks the
# window manager instead (_NET_CLOSE_WINDOW), as a title bar's close box does.
#   request_close.py WINDOW_ID [--window-manager]
import sys

from Xlib import X, display, protocol

server = display.Display()
window = server.create_resource_object("window", int(sys.argv[1], 0))
if sys.argv[2:] == ["--window-manager"]:
    target, kind, data = server.screen().root, "_NET_CLOSE_WINDOW", [X.CurrentTime, 2, 0, 0, 0]
    mask = X.SubstructureRedirectMask | X.SubstructureNotifyMask
else:
    target, kind, data = window, "WM_PROTOCOLS", [server.intern_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]
    mask = X.NoEventMask
message = protocol.event.ClientMessage(window=window, client_type=server.intern_atom(kind), data=(32, data))
target.send_event(message, event_mask=mask)
server.flush()
