#include "app/startup.h"

#include "app/window.h"

#include "app/platform.h"

#include <cstdio>

const char controlsBanner[] =
    "\n"
    "Fairground: an interactive 3D fairground, by the Fairground developers\n"
    "\n"
    "A/a---------------move light along x-axis\n"
    "B/b---------------move light along y-axis\n"
    "C/c---------------move light along z-axis\n"
    "F/f---------------toggle between fullscreen func \n"
    "G/g---------------Increment/decrement green color\n"
    "I/i---------------Inc/dec alpha value (translucency) \n"
    "L/l---------------Increase/decrease size of lights \n"
    "M/m---------------Make the lights more/less red\n"
    "N/n---------------Make the lights more/less green\n"
    "O/o---------------Make the lights more/less blue\n"
    "P/p---------------Pause/end pause on animation\n"
    "R/r---------------Increment/decrement red color\n"
    "U/u---------------Increment/decrement blue color\n"
    "W/w---------------toggle wire frame on/off\n"
    "X/x---------------move main camera along x-axis\n"
    "Y/y---------------move main camera along y-axis\n"
    "Z/z---------------move main camera along z-axis\n"
    "1-----------------toggle light 1\n"
    "2-----------------toggle light 2\n"
    "3-----------------toggle light 3\n"
    "4,5,6,7-----------move main camera to special positions\n"
    "0-----------------move main camera to position o' light\n"
    "ESC---------------Exit\n"
    "\n";

void printControls()
{
    // Written as it stands, never as a format string, and flushed so that it
    // reaches a pipe or a file before the first frame.
    std::fputs(controlsBanner, stdout);
    std::fflush(stdout);
}

void initScene()
{
    printControls();
    glShadeModel(GL_SMOOTH);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_LIGHT2);
    glEnable(GL_LIGHT3);
}

void onReshape(int width, int height)
{
    // A minimised window reports a size of 0; the aspect ratio must stay
    // finite and non-zero, so each side counts as at least one pixel.
    const double aspect = static_cast<double>(width > 0 ? width : 1) / (height > 0 ? height : 1);
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, aspect, 2.0, 20.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(2, 5, 10, 0, 1, 0, 0, 1, 0);
    onWindowSized(width, height);
}
