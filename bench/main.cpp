// fairground_bench: what Fairground costs on this machine, in one table.
//
//   fairground_bench [--seconds S] [--startup-runs N] [--cpu-seconds S] [--profile-frames N]
//
// --seconds      time spent timing frames at each window size (0: none)
// --startup-runs start-ups of the program and of the bare window (0: none)
// --cpu-seconds  how long each CPU share is watched (0: none)
// --profile-frames only draws N frames and exits, for an instruction profile
#include "bench/bench.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

struct Options {
    double seconds = 2.0;
    double startupRuns = 10;
    double cpuSeconds = 3.0;
    double profileFrames = 0;
};

[[noreturn]] void usage(const char* program, int status)
{
    std::fprintf(status ? stderr : stdout,
                 "usage: %s [--seconds S] [--startup-runs N] [--cpu-seconds S] [--profile-frames N]\n", program);
    std::exit(status);
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--help") usage(argv[0], 0);
        double* value = name == "--seconds"          ? &options.seconds
                        : name == "--startup-runs"   ? &options.startupRuns
                        : name == "--cpu-seconds"    ? &options.cpuSeconds
                        : name == "--profile-frames" ? &options.profileFrames
                                                     : nullptr;
        if (!value || i + 1 == argc) usage(argv[0], 2);
        char* end = nullptr;
        *value = std::strtod(argv[++i], &end);
        if (*end != '\0' || end == argv[i] || !(*value >= 0 && *value <= 1e6)) usage(argv[0], 2);
    }
    return options;
}

std::string machineName()
{
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string model = "unknown CPU";
    for (std::string line; std::getline(cpuinfo, line);)
        if (line.rfind("model name", 0) == 0) {
            model = line.substr(line.find(':') + 2);
            break;
        }
    return model + ", " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + " cores";
}

void row(const std::string& measure, const std::string& figure)
{
    std::printf("| %s | %s |\n", measure.c_str(), figure.c_str());
}

std::string format(const char* pattern, double a, double b = 0, double c = 0, double d = 0)
{
    char text[160];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

std::string spreadText(const Spread& spread)
{
    if (spread.samples == 0) return "not measured";
    return format("%.3g ms median, p5–p95 %.3g–%.3g ms, n = ", spread.median, spread.p5, spread.p95) +
           std::to_string(spread.samples);
}

std::string ratioText(const Spread& top, const Spread& bottom)
{
    if (top.samples == 0 || bottom.samples == 0 || bottom.median <= 0) return "not measured";
    return format("%.2f", top.median / bottom.median);
}

}  // namespace

Spread spreadOf(std::vector<double> values)
{
    Spread spread;
    spread.samples = values.size();
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    const auto at = [&](double fraction) {
        return values[static_cast<std::size_t>(std::lround(fraction * static_cast<double>(values.size() - 1)))];
    };
    spread.p5 = at(0.05);
    spread.median = at(0.5);
    spread.p95 = at(0.95);
    return spread;
}

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    setSwapSyncOffEnvironment();  // before the first GL context, ours or a child's
    int glutArgc = 1;
    openBenchWindow(&glutArgc, argv);
    if (options.profileFrames > 0) {
        drawFramesForProfile(static_cast<int>(options.profileFrames));
        return 0;
    }
    const std::string renderer = rendererName();
    const std::vector<SizeResult> sizes = options.seconds > 0 ? measureFrames(options.seconds) : std::vector<SizeResult>{};
    closeBenchWindow();
    long peakKiB = 0;
    const int startupRuns = static_cast<int>(options.startupRuns);
    const StartupResult startup = measureStartup(startupRuns, &peakKiB);
    const CpuShares cpu = options.cpuSeconds > 0 ? measureCpuShares(options.cpuSeconds, &peakKiB) : CpuShares{};

    std::printf("renderer: %s\nmachine: %s\n\n| measure | figure |\n|---|---|\n", renderer.c_str(),
                machineName().c_str());
    if (sizes.empty()) row("frame time", "not measured (--seconds 0)");
    for (const SizeResult& size : sizes) {
        const std::string label = "frame at " + std::to_string(size.width) + "x" + std::to_string(size.height) +
                                  (size.resized ? "" : " (the window could not be resized)");
        row(label + ": scene, drawn then glFinish", spreadText(size.sceneMs));
        row(label + ": floor, clear and swap", spreadText(size.floorMs));
        row(label + ": scene / floor", ratioText(size.sceneMs, size.floorMs));
    }
    if (startupRuns == 0) {
        row("start-up", "not measured (--startup-runs 0)");
    } else {
        row("start-up to first completed swap: program", spreadText(startup.programMs));
        row("start-up to first completed swap: bare window", spreadText(startup.bareWindowMs));
        row("start-up: program / bare window", ratioText(startup.programMs, startup.bareWindowMs));
    }
    if (!cpu.measured) {
        row("main-thread CPU share", options.cpuSeconds > 0 ? "not measured: the program did not start"
                                                             : "not measured (--cpu-seconds 0)");
    } else {
        const std::string over = format(" over %g s", options.cpuSeconds);
        row("main-thread CPU, idle after start" + over, format("%.1f %%", cpu.idlePercent));
        row("main-thread CPU, go animation running" + over, format("%.1f %%", cpu.animatingPercent));
        row("main-thread CPU, go animation paused (key P)" + over, format("%.1f %%", cpu.pausedPercent));
        row("main-thread CPU, go animation minimised (" + cpu.minimisedHow + ")" + over,
            format("%.1f %%", cpu.minimisedPercent));
    }
    row("peak resident memory of the program", peakKiB > 0 ? format("%.1f MiB", peakKiB / 1024.0) : "not measured");
    std::fflush(stdout);

    const bool startupFailed = startupRuns > 0 && (startup.programMs.samples == 0 || startup.bareWindowMs.samples == 0);
    const bool cpuFailed = options.cpuSeconds > 0 && !cpu.measured;
    return startupFailed || cpuFailed ? 1 : 0;
}
