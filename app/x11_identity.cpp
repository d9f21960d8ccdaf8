#include "app/x11_identity.h"

#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <unistd.h>

// _NET_WM_ICON's data, built from packaging/icons: each size's width and
// height, then its pixels as 0xAARRGGBB.
extern const unsigned long windowIcon[];
extern const unsigned long windowIconLength;

namespace {

// A window manager manages the window: it has given it a WM_STATE other than
// Withdrawn.
bool managed(Display* display, Window window)
{
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, window, XInternAtom(display, "WM_STATE", False), 0, 1, False,
                       AnyPropertyType, &type, &format, &count, &remaining, &data);
    const bool result = data && format == 32 && count == 1 && *reinterpret_cast<long*>(data) != WithdrawnState;
    if (data) XFree(data);
    return result;
}

// ICCCM 4.1.2.5: RESOURCE_NAME, else the last part of the program's path.
const char* instanceName(const char* programPath)
{
    const char* name = std::getenv("RESOURCE_NAME");
    if (name && *name) return name;
    const char* slash = std::strrchr(programPath, '/');
    return slash ? slash + 1 : programPath;
}

void setCardinals(Display* display, Window window, const char* property, const unsigned long* values,
                  unsigned long count)
{
    XChangeProperty(display, window, XInternAtom(display, property, False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(values), static_cast<int>(count));
}

} // namespace

void identifyWindow(const char* programPath)
{
    Display* display = glXGetCurrentDisplay();
    const Window window = glXGetCurrentDrawable();
    if (!display || !window) return;

    // freeglut maps the window before glutCreateWindow returns, and a window
    // manager reads WM_CLASS only as a window leaves the Withdrawn state
    // (ICCCM 4.1.2.5). So a managed window is withdrawn, released by the
    // manager (which may take a moment), named, and mapped again.
    const bool remap = managed(display, window);
    if (remap) {
        XWithdrawWindow(display, window, DefaultScreen(display));
        const timespec pause{0, 10 * 1000 * 1000};
        for (int tries = 0; tries < 200 && managed(display, window); ++tries) nanosleep(&pause, nullptr);
    }

    char className[] = "Fairground";
    XClassHint hint{const_cast<char*>(instanceName(programPath)), className};
    XSetClassHint(display, window, &hint);

    char host[_POSIX_HOST_NAME_MAX + 1] = {}; // a longer name is cut short
    if (gethostname(host, sizeof host - 1) == 0)
        XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<unsigned char*>(host), static_cast<int>(std::strlen(host)));
    const unsigned long pid = static_cast<unsigned long>(getpid());
    setCardinals(display, window, "_NET_WM_PID", &pid, 1);
    setCardinals(display, window, "_NET_WM_ICON", windowIcon, windowIconLength);

    if (remap) XMapWindow(display, window);
    XFlush(display);
}
