#pragma once

// The one place that knows where each platform keeps GL, GLU and GLUT, and
// what differs between them.
#if defined(__APPLE__)
// Apple's GLUT framework marks every fixed-function call deprecated.
#ifndef GL_SILENCE_DEPRECATION
#define GL_SILENCE_DEPRECATION
#endif
#include <GLUT/glut.h>
#include <OpenGL/gl.h>
#include <OpenGL/glu.h>
#elif defined(__EMSCRIPTEN__)
// The page's GL, GLU and GLUT are its own (web/); Emscripten's headers
// declare them, all but what freeglut adds in a header Emscripten lacks.
#include <GL/glut.h>
extern "C" void glutLeaveFullScreen(void);
#ifndef GLUT_FULL_SCREEN
#define GLUT_FULL_SCREEN 0x01FF
#endif
#elif __has_include(<GL/freeglut.h>)
// On Windows freeglut's header brings in <windows.h> before GL's.
#include <GL/freeglut.h>
#else
#include <GL/glut.h>
#endif

#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#endif

#if defined(FAIRGROUND_X11)
#include "app/x11_identity.h"
#else
// Windows takes the window's icon from the program's resources
// (packaging/fairground.rc.in); elsewhere there is nothing to set.
inline void identifyWindow(const char*) {}
// One monitor as far as the program knows: full screen fills the screen.
inline bool fillsAMonitor(int width, int height)
{
    return width == glutGet(GLUT_SCREEN_WIDTH) && height == glutGet(GLUT_SCREEN_HEIGHT);
}
#endif

#if defined(FREEGLUT)
inline void leaveFullScreen() { glutLeaveFullScreen(); }
#else
// Classic GLUT leaves full screen when the window is placed or sized, and
// has no window manager to put it back.
inline void leaveFullScreen()
{
    glutPositionWindow(10, 30);
    glutReshapeWindow(800, 640);
}
#endif

#if defined(FREEGLUT) && !defined(__EMSCRIPTEN__)
// The height of the window manager's title bar over the window, 0 with none.
inline int windowFrameTop() { return glutGet(GLUT_WINDOW_HEADER_HEIGHT); }
#else
// The page's canvas has no title bar; classic GLUT cannot tell.
inline int windowFrameTop() { return 0; }
#endif

// A launcher may start the program with standard streams closed; the window
// system's connection must not take their place, or the banner would be
// written into it. A reader of standard output that has gone away must not
// end the program either.
inline void guardStandardStreams()
{
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
    for (int fd = 0; fd <= 2; ++fd)
        if (fcntl(fd, F_GETFD) == -1) open("/dev/null", O_RDWR);
    signal(SIGPIPE, SIG_IGN);
#endif
}
