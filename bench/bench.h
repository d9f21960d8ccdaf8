#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Median and the 5th and 95th percentiles of a set of samples.
struct Spread {
    std::size_t samples = 0;
    double p5 = 0;
    double median = 0;
    double p95 = 0;
};
Spread spreadOf(std::vector<double> values);

struct SizeResult {
    int width = 0;
    int height = 0;
    bool resized = false;
    Spread sceneMs;
    Spread floorMs;
};

struct StartupResult {
    Spread programMs;
    Spread bareWindowMs;
};

struct CpuShares {
    bool measured = false;
    double idlePercent = 0;
    double animatingPercent = 0;
    double pausedPercent = 0;
    double minimisedPercent = 0;
    std::string minimisedHow;
};

// A real program started for measuring, with the swap probe preloaded.
struct Child {
    int pid = -1;
    int probeFd = -1;
    unsigned long window = 0;  // its X window, as the probe reports it
};

// frames.cpp: the benchmark's own window and what its frames cost.
void openBenchWindow(int* argc, char** argv);
std::string rendererName();
std::vector<SizeResult> measureFrames(double seconds);
void drawFramesForProfile(int frames);
void closeBenchWindow();

// children.cpp: the program and the bare window, started from outside.
void setSwapSyncOffEnvironment();
Child startChild(const std::string& program, double* millisecondsToFirstSwap);
void stopChild(Child& child);
long peakResidentKiB(const Child& child);
StartupResult measureStartup(int runs, long* peakKiB);

// cpu_share.cpp: whether the program sleeps when nothing moves.
CpuShares measureCpuShares(double seconds, long* peakKiB);
