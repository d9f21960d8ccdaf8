#include "app/keyboard.h"

#include "app/animation.h"
#include "app/bounded_step.h"
#include "app/scene_state.h"
#include "app/window.h"

#include "app/platform.h"

#include <array>
#include <climits>

namespace {

// A step that stops at once at its bound changes nothing and asks for no redraw.
void stepUp(float& component)
{
    if (increaseBounded(component, 0.05)) glutPostRedisplay();
}

void stepDown(float& component)
{
    if (decreaseBounded(component, 0.05)) glutPostRedisplay();
}

void raiseAlpha()
{
    float& alpha = scene.surfaceColor[3];
    if (alpha < 1.0f) alpha = static_cast<float>(alpha + 0.1);
    glutPostRedisplay();
}

void lowerAlpha()
{
    float& alpha = scene.surfaceColor[3];
    if (alpha > 0.0f) alpha = static_cast<float>(alpha - 0.1);
    glutPostRedisplay();
}

// Unbounded by design, but held at the ends of int: overflow is undefined.
void changeLampScale(int delta)
{
    if (delta > 0 && scene.lampScale < INT_MAX) ++scene.lampScale;
    if (delta < 0 && scene.lampScale > INT_MIN) --scene.lampScale;
    glutPostRedisplay();
}

void moveLight(int axis, double delta)
{
    float& coordinate = scene.light0Position[axis];
    coordinate = static_cast<float>(coordinate + delta);
    glutPostRedisplay();
}

void moveEye(int axis, double delta)
{
    scene.eye[axis] += delta;
    glutPostRedisplay();
}

void placeEye(double x, double y, double z)
{
    scene.eye[0] = x;
    scene.eye[1] = y;
    scene.eye[2] = z;
    glutPostRedisplay();
}

void toggleLight(GLenum light)
{
    if (glIsEnabled(light))
        glDisable(light);
    else
        glEnable(light);
    glutPostRedisplay();
}

void toggleWireframe()
{
    scene.filled = !scene.filled;
    glPolygonMode(GL_FRONT_AND_BACK, scene.filled ? GL_FILL : GL_LINE);
    glutPostRedisplay();
}

void setPaused(unsigned char paused)
{
    scene.paused = paused;
    updateIdle();
    glutPostRedisplay();
}

using Command = void (*)();
constexpr unsigned firstKey = '0';
constexpr unsigned lastKey = 'z';
using CommandTable = std::array<Command, lastKey - firstKey + 1>;

constexpr CommandTable makeCommandTable()
{
    CommandTable table{};
    auto bind = [&table](char key, Command command) { table[static_cast<unsigned>(key) - firstKey] = command; };
    bind('0', [] {
        placeEye(scene.light0Position[0], scene.light0Position[1], scene.light0Position[2]);
    });
    bind('1', [] { toggleLight(GL_LIGHT0); });
    bind('2', [] { toggleLight(GL_LIGHT1); });
    bind('3', [] { toggleLight(GL_LIGHT2); });
    bind('4', [] { placeEye(2.0, 5.0, 5.0); });
    bind('5', [] { placeEye(0.4, 1.0, 8.0); });
    bind('6', [] { placeEye(2.5, 0.0, 2.5); });
    bind('7', [] { placeEye(2.0, 5.0, 10.0); });
    bind('A', [] { moveLight(0, -0.2); });
    bind('a', [] { moveLight(0, 0.2); });
    bind('B', [] { moveLight(1, -0.2); });
    bind('b', [] { moveLight(1, 0.2); });
    bind('C', [] { moveLight(2, -0.2); });
    bind('c', [] { moveLight(2, 0.2); });
    bind('f', toggleFullScreen);
    bind('G', [] { stepUp(scene.surfaceColor[1]); });
    bind('g', [] { stepDown(scene.surfaceColor[1]); });
    bind('I', raiseAlpha);
    bind('i', lowerAlpha);
    bind('L', [] { changeLampScale(1); });
    bind('l', [] { changeLampScale(-1); });
    bind('M', [] { stepUp(scene.lampColor[0]); });
    bind('m', [] { stepDown(scene.lampColor[0]); });
    bind('N', [] { stepUp(scene.lampColor[1]); });
    bind('n', [] { stepDown(scene.lampColor[1]); });
    bind('O', [] { stepUp(scene.lampColor[2]); });
    bind('o', [] { stepDown(scene.lampColor[2]); });
    bind('P', [] { setPaused(1); });
    bind('p', [] { setPaused(0); });
    bind('R', [] { stepUp(scene.surfaceColor[0]); });
    bind('r', [] { stepDown(scene.surfaceColor[0]); });
    bind('U', [] { stepUp(scene.surfaceColor[2]); });
    bind('u', [] { stepDown(scene.surfaceColor[2]); });
    bind('W', toggleWireframe);
    bind('w', toggleWireframe);
    bind('X', [] { moveEye(0, -0.2); });
    bind('x', [] { moveEye(0, 0.2); });
    bind('Y', [] { moveEye(1, -0.2); });
    bind('y', [] { moveEye(1, 0.2); });
    bind('Z', [] { moveEye(2, -0.2); });
    bind('z', [] { moveEye(2, 0.2); });
    return table;
}

constexpr CommandTable commands = makeCommandTable();

}  // namespace

void onKeyboard(unsigned char key, int, int)
{
    const unsigned code = key;
    if (code < firstKey || code > lastKey) return;
    if (const Command command = commands[code - firstKey]) command();
}
