# Asks a window to close as a window manager does: a WM_DELETE_WINDOW
# message of the WM_PROTOCOLS kind.
#   request_close.py WINDOW_ID
import sys

from Xlib import X, display, protocol

server = display.Display()
window = server.create_resource_object("window", int(sys.argv[1], 0))
delete = server.intern_atom("WM_DELETE_WINDOW")
message = protocol.event.ClientMessage(
    window=window, client_type=server.intern_atom("WM_PROTOCOLS"),
    data=(32, [delete, X.CurrentTime, 0, 0, 0]))
window.send_event(message, event_mask=X.NoEventMask)
server.flush()
