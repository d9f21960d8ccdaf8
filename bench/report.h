#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct FrameStats {
    std::size_t frames = 0;
    double medianMs = 0;
    double p95Ms = 0;
    double framesPerSecond = 0;
};

struct SizeResult {
    int width = 0;
    int height = 0;
    bool resized = false;
    FrameStats scene;
    FrameStats floor;
};

struct LoopResult {
    double stepsPerSecond = 0;
    double framesPerSecond = 0;
};

struct StepTiming {
    std::string name;
    double nanoseconds = 0;
};

struct StartupResult {
    int runs = 0;
    double medianMs = 0;
    double slowestMs = 0;
    long peakResidentKiB = 0;
};

// frame_bench.cpp: a real GLUT window and what its frames cost.
void openBenchWindow(int* argc, char** argv);
std::vector<SizeResult> measureFrames(double seconds);
void drawFramesForProfile(int frames);
LoopResult measureMainLoop(double seconds);  // ends GLUT: call it last

// step_bench.cpp: the input and animation code alone.
std::vector<StepTiming> measureSteps(double seconds);

// startup_bench.cpp: the real program, from exec to its first buffer swap.
StartupResult measureStartup(const std::string& program, const std::string& probe, int runs);
