// Whether the program sleeps when nothing moves: the share of one CPU its
// main thread uses while idle after start, while the go animation runs,
// while that animation is paused, and while the window is minimised.
#include "bench/bench.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

void sleepSeconds(double seconds)
{
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

// User plus system time of the main thread, from /proc/PID/task/PID/stat.
double mainThreadCpuSeconds(int pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/stat";
    FILE* stat = std::fopen(path.c_str(), "r");
    if (!stat) return 0;
    char text[1024] = {};
    const std::size_t length = std::fread(text, 1, sizeof text - 1, stat);
    std::fclose(stat);
    text[length] = '\0';
    const char* afterName = std::strrchr(text, ')');  // the name itself may hold spaces
    unsigned long user = 0;
    unsigned long system = 0;
    if (!afterName || std::sscanf(afterName + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user, &system) != 2)
        return 0;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double cpuPercentOver(int pid, double seconds)
{
    const double cpuBefore = mainThreadCpuSeconds(pid);
    const auto before = Clock::now();
    sleepSeconds(seconds);
    const double cpu = mainThreadCpuSeconds(pid) - cpuBefore;
    return 100.0 * cpu / std::chrono::duration<double>(Clock::now() - before).count();
}

XEvent eventFor(Display* display, Window window, int type)
{
    XEvent event{};
    event.type = type;
    XKeyEvent& key = event.xkey;  // button events share this layout up to the keycode
    key.display = display;
    key.window = window;
    key.root = DefaultRootWindow(display);
    key.time = CurrentTime;
    key.x = 400;
    key.y = 300;
    key.same_screen = True;
    return event;
}

void leftClick(Display* display, Window window)
{
    for (int type : {ButtonPress, ButtonRelease}) {
        XEvent event = eventFor(display, window, type);
        event.xbutton.button = Button1;
        XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    }
    XFlush(display);
}

void typeKey(Display* display, Window window, KeySym symbol, unsigned int modifiers)
{
    for (int type : {KeyPress, KeyRelease}) {
        XEvent event = eventFor(display, window, type);
        event.xkey.keycode = XKeysymToKeycode(display, symbol);
        event.xkey.state = modifiers;
        XSendEvent(display, window, True, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
    }
    XFlush(display);
}

bool windowManagerRunning(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type, &format, &items,
                       &remaining, &data);
    if (data) XFree(data);
    return items == 1;
}

// Iconified through the window manager when there is one, else unmapped.
std::string minimise(Display* display, Window window)
{
    std::string how = "unmapped, no window manager";
    if (windowManagerRunning(display)) {
        XIconifyWindow(display, window, DefaultScreen(display));
        how = "iconified by the window manager";
    } else {
        XUnmapWindow(display, window);
    }
    XSync(display, False);
    sleepSeconds(0.3);
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
        how += ", but still visible";
    return how;
}

}  // namespace

CpuShares measureCpuShares(double seconds, long* peakKiB)
{
    CpuShares shares;
    Display* display = XOpenDisplay(nullptr);
    if (!display) return shares;
    Child child = startChild(FAIRGROUND_PROGRAM, nullptr);
    if (child.pid > 0) {
        const Window window = child.window;
        sleepSeconds(0.5);
        shares.idlePercent = cpuPercentOver(child.pid, seconds);
        leftClick(display, window);
        sleepSeconds(0.3);
        shares.animatingPercent = cpuPercentOver(child.pid, seconds);
        typeKey(display, window, XK_p, ShiftMask);
        sleepSeconds(0.3);
        shares.pausedPercent = cpuPercentOver(child.pid, seconds);
        typeKey(display, window, XK_p, 0);
        shares.minimisedHow = minimise(display, window);
        shares.minimisedPercent = cpuPercentOver(child.pid, seconds);
        *peakKiB = std::max(*peakKiB, peakResidentKiB(child));
        shares.measured = true;
        stopChild(child);
    }
    XCloseDisplay(display);
    return shares;
}
