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
    std::vector<std::pair<void (*)(int), int>> timers;  // waiting, each with its value
};

Record& record();
void reset();  // GL's initial state and an empty record

}  // namespace standIn
