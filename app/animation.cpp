#include "app/animation.h"

#include "app/bounded_step.h"
#include "app/scene_state.h"

#include "app/platform.h"

#include <cmath>
#include <cstdint>

namespace {

// Truncation toward zero that stays defined for any angle, however long the
// wheel has been turning.
std::int64_t wholeDegrees(double angle)
{
    const double whole = std::trunc(angle);
    if (std::isnan(whole)) return 0;
    if (whole >= 9223372036854775808.0) return INT64_MAX;
    if (whole < -9223372036854775808.0) return INT64_MIN;
    return static_cast<std::int64_t>(whole);
}

// A display shows at most 60 frames a second.
constexpr unsigned frameMs = 17;

void stepOnTime(int chain)
{
    if (chain != scene.stepChain) return;  // ended
    animateStop();
    glutTimerFunc(frameMs, stepOnTime, chain);
}

}  // namespace

// The stop animation with the wheel below 2 degrees redraws nothing, and
// nothing turns the wheel until the go animation replaces it: its steps then
// come on a timer, one a frame, so that the surfaces brighten at the same
// pace on any machine and the program does not spin for nothing.
void updateIdle()
{
    const bool running = !scene.paused && !scene.hidden;
    const bool quiet = running && scene.animation == animateStop && scene.wheelAngle < 2.0;
    glutIdleFunc(running && !quiet ? scene.animation : nullptr);
    if (quiet == (scene.stepChain != 0)) return;
    scene.stepChain = 0;
    if (quiet) {
        scene.stepChains = scene.stepChains % 30000 + 1;  // never 0
        scene.stepChain = scene.stepChains;
        glutTimerFunc(frameMs, stepOnTime, scene.stepChain);
    }
}

void onMouse(int button, int state, int, int)
{
    if (state != GLUT_DOWN) return;
    if (button == GLUT_LEFT_BUTTON) {
        scene.lampColor[2] = 0.0f;
        scene.animation = animateGo;
    } else if (button == GLUT_RIGHT_BUTTON) {
        scene.animation = animateStop;
    } else {
        return;
    }
    updateIdle();
}

// Minimised, or covered by other windows, nobody sees the wheel turn.
void onWindowStatus(int status)
{
    scene.hidden = status != GLUT_FULLY_RETAINED && status != GLUT_PARTIALLY_RETAINED;
    updateIdle();
}

void animateGo()
{
    if (scene.paused) return;
    decreaseBounded(scene.surfaceColor[0], 0.0005);
    decreaseBounded(scene.surfaceColor[1], 0.0005);
    decreaseBounded(scene.surfaceColor[2], 0.0005);
    increaseBounded(scene.lampColor[1], 0.005);
    decreaseBounded(scene.lampColor[0], 0.005);

    if (scene.speedLevel == 0)
        scene.speedLevel = 1;
    else if (scene.speedLevel > 9)
        scene.speedLevel = 9;
    const int step = scene.speedLevel / 5;
    scene.wheelAngle = scene.wheelAngle + 2 * step;
    scene.wheelAngleWhole = wholeDegrees(scene.wheelAngle);
    if (scene.wheelAngleWhole % 360 == 0) ++scene.speedLevel;
    glutPostRedisplay();
}

void animateStop()
{
    if (scene.paused) return;
    increaseBounded(scene.surfaceColor[0], 0.00005);
    increaseBounded(scene.surfaceColor[1], 0.00005);
    float& blue = scene.surfaceColor[2];
    if (blue < 1.0f) {
        // Past 1 the blue starts again from black rather than holding.
        const double sum = blue + 0.00005;
        blue = sum > 1.0 ? 0.0f : static_cast<float>(sum);
    }
    if (scene.wheelAngle < 2.0) return;

    increaseBounded(scene.lampColor[0], 0.005);
    decreaseBounded(scene.lampColor[1], 0.005);
    if (wholeDegrees(scene.wheelAngle) % 360 == 0) --scene.speedLevel;
    if (scene.speedLevel < 0) scene.speedLevel = 0;
    const int step = scene.speedLevel / 5;
    scene.wheelAngle = scene.wheelAngle - 2 * step;
    scene.wheelAngleWhole = wholeDegrees(scene.wheelAngle);
    if (scene.wheelAngleWhole < 2) scene.wheelAngle = 2.0;
    glutPostRedisplay();
}
