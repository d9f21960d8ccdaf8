// Whole frames compared as data. Each state is reached from start-up through
// the program's own handlers; tests/frames/<state>.frame holds everything the
// program asked of GL on the way, ending with the frame drawn in that state.
// After a deliberate change to the scene, regenerate them from the build
// directory with
//     FAIRGROUND_UPDATE_FRAMES=1 ctest -R Frames
// and review the difference before committing it.

#include "program.h"

#include <climits>
#include <cstdlib>
#include <fstream>

using Frames = Program;

const std::pair<const char*, void (*)()> frameStates[] = {
    {"start", [] {}},
    {"wheel_30", [] { onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0); animationSteps(19); }},
    {"wheel_137", [] { scene.wheelAngle = 137; }},
    {"wheel_137", [] { scene.wheelAngle = 360e9 + 137; }},  // turned for days, it stands as within one turn
    {"lamp_size_0", [] { press("l"); }},
    {"lamp_size_2", [] { press("L"); }},
    {"lamp_size_below_0", [] { press("ll"); }},
    {"lamp_size_held_at_int_max", [] { scene.lampScale = INT_MAX; press("L"); }},
    {"lamp_size_held_at_int_min", [] { scene.lampScale = INT_MIN; press("l"); }},
    {"colours_changed", [] { press("RRgggUmmmmnnoooo"); }},
    {"lights_0_to_2_off", [] { press("123"); }},
    {"wireframe", [] { press("W"); }},
    {"window_of_no_size", [] { onReshape(0, 0); }},  // a finite, non-zero aspect all the same
};

TEST_F(Frames, MatchTheExpectedFrames)
{
    for (const auto& [name, reach] : frameStates) {
        start();
        reach();
        drawFrame();
        const std::string path = std::string(FAIRGROUND_FRAMES_DIR "/") + name + ".frame";
        if (std::getenv("FAIRGROUND_UPDATE_FRAMES")) {
            std::ofstream out(path);
            for (const std::string& logged : record().log) out << logged << '\n';
        }
        const std::vector<std::string>& log = record().log;
        std::ifstream file(path);
        std::string line;
        std::size_t i = 0;
        while (i < log.size() && std::getline(file, line) && line == log[i]) ++i;
        if (i < log.size() || std::getline(file, line))
            ADD_FAILURE() << "at " << path << ":" << i + 1 << "\n  expected: " << (file ? line : "(the end)")
                          << "\n  actual:   " << (i < log.size() ? log[i] : "(the end)");
    }
}
