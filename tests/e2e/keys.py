# Presses of one key, straight to a window or as the window gets them.
#   keys.py send WINDOW_ID KEY COUNT  sends COUNT presses and releases of KEY
#       to the window's own client (XSendEvent), past the keyboard's focus
#   keys.py count WINDOW_ID KEY       says "ready", then one line for each
#       press of KEY that reaches the window from the keyboard, until ended
import sys

from Xlib import X, XK, display, protocol

server = display.Display()
window = server.create_resource_object("window", int(sys.argv[2], 0))
code = server.keysym_to_keycode(XK.string_to_keysym(sys.argv[3]))
if sys.argv[1] == "send":
    for _ in range(int(sys.argv[4])):
        for kind in protocol.event.KeyPress, protocol.event.KeyRelease:
            key = kind(time=X.CurrentTime, root=server.screen().root, window=window, child=X.NONE, root_x=0,
                       root_y=0, event_x=0, event_y=0, state=0, detail=code, same_screen=1)
            window.send_event(key, event_mask=X.NoEventMask)
    server.flush()
else:
    window.change_attributes(event_mask=X.KeyPressMask)
    server.sync()
    print("ready", flush=True)
    while True:
        event = server.next_event()
        if event.type == X.KeyPress and event.detail == code and not event.send_event:
            print("pressed", flush=True)
