#pragma once

// What the program asks of X11 itself.

// Gives the window what desktops know a program by: its class, its
// process and host, and its icon. Called before the window is created, with
// the program's path; the window is named as it is first mapped.
void identifyWindow(const char* programPath);

// The window, sized so, fills one of the monitors or the whole screen
// (app/x11_monitors.cpp).
bool fillsAMonitor(int width, int height);
