// fairground_bench: frame time, animation rate, step cost, start-up time and
// memory of Fairground, measured in one run on one window and renderer.
//
//   fairground_bench [--seconds S] [--json] [--startup-runs N] [--profile-frames N]
//
// --profile-frames only draws N frames and exits, for an instruction profile.
#include "bench/report.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

struct Options {
    double seconds = 2.0;
    bool json = false;
    int startupRuns = 5;
    int profileFrames = 0;
};

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--seconds" && hasValue) options.seconds = std::atof(argv[++i]);
        else if (arg == "--json") options.json = true;
        else if (arg == "--startup-runs" && hasValue) options.startupRuns = std::atoi(argv[++i]);
        else if (arg == "--profile-frames" && hasValue) options.profileFrames = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: %s [--seconds S] [--json] [--startup-runs N] [--profile-frames N]\n", argv[0]);
            std::exit(2);
        }
    }
    if (options.seconds <= 0) options.seconds = 0.01;
    return options;
}

std::string cpuModel()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    return "unknown CPU";
}

std::string glString(GLenum name)
{
    const auto* text = reinterpret_cast<const char*>(glGetString(name));
    return text ? text : "unknown";
}

void printTable(const std::string& renderer, const std::string& machine, const std::vector<SizeResult>& sizes,
                const std::vector<StepTiming>& steps, const StartupResult& startup, const LoopResult& loop)
{
    std::printf("Fairground benchmark\n");
    std::printf("  renderer  %s\n  machine   %s\n\n", renderer.c_str(), machine.c_str());
    std::printf("%-26s %10s %10s %10s %8s\n", "frame (drawn + glFinish)", "median ms", "p95 ms", "frames/s", "frames");
    for (const SizeResult& size : sizes) {
        const std::string label = std::to_string(size.width) + "x" + std::to_string(size.height);
        const std::string warning = size.resized ? "" : "  (window could not be resized)";
        std::printf("%-26s %10.3f %10.3f %10.1f %8zu%s\n", ("scene " + label).c_str(), size.scene.medianMs,
                    size.scene.p95Ms, size.scene.framesPerSecond, size.scene.frames, warning.c_str());
        std::printf("%-26s %10.3f %10.3f %10.1f %8zu\n", ("floor " + label).c_str(), size.floor.medianMs,
                    size.floor.p95Ms, size.floor.framesPerSecond, size.floor.frames);
        std::printf("%-26s %10.2f\n", ("scene / floor " + label).c_str(), size.scene.medianMs / size.floor.medianMs);
    }
    std::printf("\n%-26s %10s\n", "state code alone", "ns/call");
    for (const StepTiming& step : steps) std::printf("%-26s %10.1f\n", step.name.c_str(), step.nanoseconds);
    std::printf("\n%-26s %10.1f steps/s, %.1f frames/s\n", "go animation, main loop", loop.stepsPerSecond,
                loop.framesPerSecond);
    std::printf("%-26s %10.1f ms median, %.1f ms slowest of %d runs\n", "start-up to first swap", startup.medianMs,
                startup.slowestMs, startup.runs);
    std::printf("%-26s %10.1f MiB\n", "peak resident memory", startup.peakResidentKiB / 1024.0);
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

void printJson(const std::string& renderer, const std::string& machine, const std::vector<SizeResult>& sizes,
               const std::vector<StepTiming>& steps, const StartupResult& startup, const LoopResult& loop)
{
    auto stats = [](const FrameStats& s) {
        char text[160];
        std::snprintf(text, sizeof text, "{\"median_ms\": %.4f, \"p95_ms\": %.4f, \"fps\": %.2f, \"frames\": %zu}",
                      s.medianMs, s.p95Ms, s.framesPerSecond, s.frames);
        return std::string(text);
    };
    std::printf("{\n  \"renderer\": %s,\n  \"machine\": %s,\n  \"frames\": [", jsonString(renderer).c_str(),
                jsonString(machine).c_str());
    for (std::size_t i = 0; i < sizes.size(); ++i)
        std::printf("%s\n    {\"width\": %d, \"height\": %d, \"scene\": %s, \"floor\": %s}", i ? "," : "",
                    sizes[i].width, sizes[i].height, stats(sizes[i].scene).c_str(), stats(sizes[i].floor).c_str());
    std::printf("\n  ],\n  \"steps_ns\": {");
    for (std::size_t i = 0; i < steps.size(); ++i)
        std::printf("%s%s: %.2f", i ? ", " : "", jsonString(steps[i].name).c_str(), steps[i].nanoseconds);
    std::printf("},\n  \"main_loop\": {\"steps_per_s\": %.2f, \"frames_per_s\": %.2f},\n", loop.stepsPerSecond,
                loop.framesPerSecond);
    std::printf("  \"startup\": {\"median_ms\": %.2f, \"slowest_ms\": %.2f, \"runs\": %d, \"peak_rss_kib\": %ld}\n}\n",
                startup.medianMs, startup.slowestMs, startup.runs, startup.peakResidentKiB);
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    int glutArgc = 1;
    openBenchWindow(&glutArgc, argv);
    if (options.profileFrames > 0) {
        drawFramesForProfile(options.profileFrames);
        return 0;
    }
    const std::string renderer = glString(GL_RENDERER) + ", OpenGL " + glString(GL_VERSION);
    const std::string machine = cpuModel() + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";

    const std::vector<SizeResult> sizes = measureFrames(options.seconds);
    const std::vector<StepTiming> steps = measureSteps(std::min(options.seconds, 0.5));
    const StartupResult startup = measureStartup(FAIRGROUND_PROGRAM, SWAP_PROBE, options.startupRuns);
    const LoopResult loop = measureMainLoop(options.seconds);

    if (options.json)
        printJson(renderer, machine, sizes, steps, startup, loop);
    else
        printTable(renderer, machine, sizes, steps, startup, loop);
    return startup.runs > 0 ? 0 : 1;
}
