// What a frame of the scene costs on a real window, against the floor of a
// frame that only clears and swaps the same window. Both are timed in
// alternating rounds after warm-up frames, so that both see the same machine
// and neither pays for the driver's first-use work.
#include "bench/bench.h"
#include "bench/swap_sync.h"

#include "app/scene_state.h"
#include "app/startup.h"
#include "scene/frame.h"

#include "app/platform.h"

#include <GL/freeglut_ext.h>

#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int warmUpFrames = 20;
constexpr int framesPerRound = 10;

int benchWindow = 0;
int reshapedWidth = 0;
int reshapedHeight = 0;

void trackReshape(int width, int height)
{
    reshapedWidth = width;
    reshapedHeight = height;
    onReshape(width, height);
}

void drawNothing() {}

void clearAndSwap()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// The controls banner is the program's, not the benchmark's: keep it out of the table.
void initSceneQuietly()
{
    std::fflush(stdout);
    const int saved = dup(STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDOUT_FILENO);
    initScene();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(devNull);
    close(saved);
}

bool resizeWindow(int width, int height)
{
    glutReshapeWindow(width, height);
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < deadline) {
        glutMainLoopEvent();
        if (reshapedWidth == width && reshapedHeight == height) return true;
    }
    return false;
}

double millisecondsOf(void (*frame)())
{
    const auto before = Clock::now();
    frame();
    glFinish();
    return std::chrono::duration<double, std::milli>(Clock::now() - before).count();
}

}  // namespace

void openBenchWindow(int* argc, char** argv)
{
    glutInit(argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(10, 10);
    benchWindow = glutCreateWindow("fairground benchmark");
    turnSwapSyncOff();
    initSceneQuietly();
    glutReshapeFunc(trackReshape);
    glutDisplayFunc(drawNothing);
}

std::string rendererName()
{
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string(renderer ? renderer : "unknown") + ", OpenGL " + (version ? version : "unknown");
}

std::vector<SizeResult> measureFrames(double seconds)
{
    std::vector<SizeResult> results;
    for (auto [width, height] : {std::pair{800, 600}, std::pair{1920, 1080}}) {
        SizeResult result;
        result.width = width;
        result.height = height;
        result.resized = resizeWindow(width, height);
        scene = initialSceneState();
        for (int i = 0; i < warmUpFrames; ++i) {
            millisecondsOf(drawFrame);
            millisecondsOf(clearAndSwap);
        }
        std::vector<double> sceneMs;
        std::vector<double> floorMs;
        const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
        do {
            for (int i = 0; i < framesPerRound; ++i) sceneMs.push_back(millisecondsOf(drawFrame));
            for (int i = 0; i < framesPerRound; ++i) floorMs.push_back(millisecondsOf(clearAndSwap));
        } while (Clock::now() < end);
        result.sceneMs = spreadOf(sceneMs);
        result.floorMs = spreadOf(floorMs);
        results.push_back(result);
    }
    return results;
}

// The instruction profile collects only inside this function (callgrind's
// --toggle-collect), so the warm-up frames stay out of it.
__attribute__((noinline)) void profiledFrame()
{
    drawFrame();
    glFinish();
}

void drawFramesForProfile(int frames)
{
    resizeWindow(800, 600);
    for (int i = 0; i < warmUpFrames; ++i) millisecondsOf(drawFrame);
    for (int i = 0; i < frames; ++i) profiledFrame();
}

void closeBenchWindow()
{
    glutDestroyWindow(benchWindow);
    glutMainLoopEvent();
}
