#pragma once

// Gives the window, on X11, what desktops know a program by: its class, its
// process and host, and its icon.
void identifyWindow(const char* programPath);
