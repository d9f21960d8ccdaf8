#include "app/x11_identity.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <climits>
#include <dlfcn.h>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

// _NET_WM_ICON's data, built from packaging/icons: each size's width and
// height, then its pixels as 0xAARRGGBB.
extern const unsigned long windowIcon[];
extern const unsigned long windowIconLength;

namespace {

const char* programPath = nullptr;  // nullptr: no window to name

// ICCCM 4.1.2.5: RESOURCE_NAME, else the last part of the program's path.
const char* instanceName()
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

void identify(Display* display, Window window)
{
    char className[] = "Fairground";
    XClassHint hint{const_cast<char*>(instanceName()), className};
    XSetClassHint(display, window, &hint);

    char host[_POSIX_HOST_NAME_MAX + 1] = {}; // a longer name is cut short
    if (gethostname(host, sizeof host - 1) == 0)
        XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<unsigned char*>(host), static_cast<int>(std::strlen(host)));
    const unsigned long pid = static_cast<unsigned long>(getpid());
    setCardinals(display, window, "_NET_WM_PID", &pid, 1);
    setCardinals(display, window, "_NET_WM_ICON", windowIcon, windowIconLength);
}

} // namespace

void identifyWindow(const char* path) { programPath = path; }

// A window manager reads WM_CLASS only as a window leaves the Withdrawn
// state (ICCCM 4.1.2.5), and freeglut maps its window inside
// glutCreateWindow with no way to set the class first. Xlib's XMapWindow is
// found here before Xlib, freeglut's call included, so the window is named
// just before its first map and managed once.
extern "C" int XMapWindow(Display* display, Window window)
{
    static const auto map = reinterpret_cast<int (*)(Display*, Window)>(dlsym(RTLD_NEXT, "XMapWindow"));
    if (programPath) identify(display, window);
    programPath = nullptr;
    return map(display, window);
}
