// Measures what a frame of the scene costs on a real window, against the
// floor of a frame that only clears and swaps, and how fast the animation
// runs through the real GLUT main loop.
#include "bench/report.h"

#include "app/animation.h"
#include "app/scene_state.h"
#include "app/startup.h"
#include "scene/frame.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

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

// The start-up banner is the program's, not the benchmark's: keep it out of the table.
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

FrameStats timeFrames(void (*frame)(), double seconds)
{
    std::vector<double> milliseconds;
    const auto start = Clock::now();
    while (milliseconds.size() < 10 || std::chrono::duration<double>(Clock::now() - start).count() < seconds) {
        const auto before = Clock::now();
        frame();
        glFinish();
        milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - before).count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    FrameStats stats;
    stats.frames = milliseconds.size();
    stats.medianMs = milliseconds[milliseconds.size() / 2];
    stats.p95Ms = milliseconds[std::min(milliseconds.size() - 1, milliseconds.size() * 95 / 100)];
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    stats.framesPerSecond = static_cast<double>(milliseconds.size()) / total;
    return stats;
}

// The main loop's own counters, read after it returns.
Clock::time_point loopDeadline;
long loopSteps = 0;
long loopFrames = 0;

void countedGo()
{
    ++loopSteps;
    animateGo();
    if (Clock::now() >= loopDeadline) glutLeaveMainLoop();
}

void countedDraw()
{
    ++loopFrames;
    drawFrame();
}

}  // namespace

void openBenchWindow(int* argc, char** argv)
{
    glutInit(argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(10, 10);
    glutCreateWindow("fairground benchmark");
    initSceneQuietly();
    glutReshapeFunc(trackReshape);
    glutDisplayFunc(drawNothing);
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
        result.scene = timeFrames(drawFrame, seconds);
        result.floor = timeFrames(clearAndSwap, seconds);
        results.push_back(result);
    }
    return results;
}

// The instruction profile collects only inside this function (callgrind's
// --toggle-collect), so the warm-up frames that compile shaders stay out.
__attribute__((noinline)) void profiledFrame()
{
    drawFrame();
    glFinish();
}

void drawFramesForProfile(int frames)
{
    resizeWindow(800, 600);
    for (int i = 0; i < 5; ++i) {
        drawFrame();
        glFinish();
    }
    for (int i = 0; i < frames; ++i) profiledFrame();
}

LoopResult measureMainLoop(double seconds)
{
    resizeWindow(800, 600);
    scene = initialSceneState();
    glutDisplayFunc(countedDraw);
    glutIdleFunc(countedGo);
    loopDeadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    const auto start = Clock::now();
    glutMainLoop();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    return {static_cast<double>(loopSteps) / elapsed, static_cast<double>(loopFrames) / elapsed};
}
