#include "app/window.h"

#include "app/scene_state.h"

#include "app/platform.h"

namespace {

// A window that never answers (a window manager that refuses full screen)
// must not stop f for good.
constexpr unsigned answerTimeoutMs = 2000;
constexpr unsigned frameCheckMs = 10;

void followWantedState();

void placeWindow()
{
    glutPositionWindow(10, 30);
    glutReshapeWindow(800, 640);
}

void stopAwaiting(int change)
{
    if (change == 0 || change != scene.windowAwaited) return;  // none, or answered already
    scene.windowAwaited = 0;
    followWantedState();
}

// A window manager takes the title bar away in full screen, and may give it
// back only after the window has its framed size again; a window placed
// before that keeps its place and the bar is put above it.
void awaitFrame(int change)
{
    if (change != scene.windowAwaited) return;
    if (windowFrameTop() == scene.frameTop)
        stopAwaiting(change);
    else
        glutTimerFunc(frameCheckMs, awaitFrame, change);
}

void await()
{
    scene.windowChanges = scene.windowChanges % 30000 + 1;  // never 0
    scene.windowAwaited = scene.windowChanges;
    glutTimerFunc(answerTimeoutMs, stopAwaiting, scene.windowAwaited);
}

// One change of the window at a time, each after the window's answer to
// the one before, its new size. GLUT makes the changes asked for in a
// callback only after it, so asked to leave and then enter full screen in
// one go it only leaves; and a window manager answers later still.
void followWantedState()
{
    if (scene.windowAwaited) return;
    if (scene.fullScreen && !scene.windowFullScreen) {
        scene.placeDue = 0;
        scene.frameTop = windowFrameTop();
        scene.windowFullScreen = 1;
        await();
        glutFullScreen();
    } else if (!scene.fullScreen && scene.windowFullScreen) {
        // A window manager puts the window back where it was before full
        // screen, wherever the user had moved it; placed before it has done
        // so, the window would land where the manager sees fit.
        scene.windowFullScreen = 0;
        scene.placeDue = 1;
        await();
        leaveFullScreen();
    } else if (!scene.fullScreen && scene.placeDue) {
        // The placement needs no answer: no other change is asked for
        // before GLUT has made it.
        scene.placeDue = 0;
        placeWindow();
    }
}

}  // namespace

void toggleFullScreen()
{
    scene.fullScreen = !scene.fullScreen;
    // Only the first press finds the window framed where it was opened.
    if (!scene.fullScreen && !scene.windowFullScreen && !scene.windowAwaited) {
        await();
        placeWindow();
    }
    followWantedState();
}

// The answer to a change is the window at its new size: a monitor's after
// full screen, any other after leaving it or placing the window. Sizes on
// the way there are no answer: freeglut on Windows first takes the frame
// away, and sizes the window to the screen only in the next pass. The next
// change waits for GLUT's main loop too, since during a reshape GLUT may not
// yet count the change that caused it as made (freeglut on Windows does not).
void onWindowSized(int width, int height)
{
    if (!scene.windowAwaited) return;
    if (fillsAMonitor(width, height) == (scene.windowFullScreen != 0))
        glutTimerFunc(0, scene.placeDue ? awaitFrame : stopAwaiting, scene.windowAwaited);
}
