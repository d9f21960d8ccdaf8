#pragma once

// A recording stand-in for the GL, GLU and GLUT calls the program makes,
// linked in place of the real libraries. It writes what the program asks of
// GL as text, one line per primitive, sphere or setting, with vertices in
// world coordinates, and notes as an error every call real GL would reject.
// gluLookAt and gluPerspective are recorded rather than multiplied, so the
// model-view matrix holds only the scene's own transformations.

#include "app/platform.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

namespace standIn {

using Matrix = std::array<double, 16>;  // column-major, as GL keeps it

struct Record {
    std::vector<std::string> log, errors;
    std::vector<std::vector<std::vector<double>>> faces;  // each primitive's world vertices
    std::vector<Matrix> modelView{{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
    int redraws = 0;
    void (*idle)() = nullptr;  // nullptr: none
    struct Timer { unsigned milliseconds; void (*callback)(int); int value; };
    std::vector<Timer> timers;  // waiting
    // The window as freeglut on Windows keeps it. A change asked for is made
    // in the main loop's next pass, so leaving and then entering full screen
    // in one callback only leaves; entering first takes the frame away and
    // sizes the window to the screen one pass later, and leaving then keeps
    // that size if it is still to come. GLUT_FULL_SCREEN changes only once
    // the pass's reshapes are done.
    // Where it stands: a window manager puts it back on leaving full screen,
    // and with none (restoresPlace false) it stays where full screen put it.
    // Full screen fills one monitor of the screen's `monitors`, side by side.
    // The manager takes the title bar away in full screen and gives it back
    // a pass after leaving; a window it had placed meanwhile keeps its place
    // and the bar goes above it, no higher than the screen's top.
    struct Window {
        bool fullScreen = false, toggle = false, resize = false, resizeNextPass = false;
        int width = 800, height = 600, wanted[2] = {}, framed[2] = {};
        bool move = false, restoresPlace = true;
        int place[2] = {10, 10}, wantedPlace[2] = {}, framedPlace[2] = {};
        int monitors = 1;
        bool untitled = false, titleNextPass = false, movedUntitled = false;
    } window;
    static constexpr int titleHeight = 37;
};

constexpr int screenWidth = 1280, screenHeight = 1024;  // each monitor's

Record& record();
void reset();  // GL's initial state and an empty record

// Makes the window changes asked for, as a pass of GLUT's main loop does
// after the callbacks, with a reshape for each size the window takes on
// the way, made before the pass counts a change of full screen as made.
void windowPass(void (*reshape)(int, int));

}  // namespace standIn
