#include "app/x11_identity.h"

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>

// GLUT knows only the screen, which may span several monitors; full screen
// fills one.
bool fillsAMonitor(int width, int height)
{
    Display* display = glXGetCurrentDisplay();
    if (!display) return false;
    const int screen = DefaultScreen(display);
    bool fills = width == DisplayWidth(display, screen) && height == DisplayHeight(display, screen);
    int count = 0;
    XineramaScreenInfo* monitors = XineramaIsActive(display) ? XineramaQueryScreens(display, &count) : nullptr;
    for (int i = 0; i < count; ++i) fills = fills || (width == monitors[i].width && height == monitors[i].height);
    if (monitors) XFree(monitors);
    return fills;
}
