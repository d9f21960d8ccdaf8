// One go step, one stop step and one key command, timed with Google Benchmark.
#include "bench/report.h"

#include "app/animation.h"
#include "app/keyboard.h"
#include "app/scene_state.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void goStep(benchmark::State& state)
{
    scene = initialSceneState();
    for (auto _ : state) animateGo();
    benchmark::DoNotOptimize(scene.wheelAngle);
}

void stopStep(benchmark::State& state)
{
    scene = initialSceneState();
    scene.wheelAngle = 1e6;  // far from rest, so every step turns the wheel
    scene.speedLevel = 9;
    for (auto _ : state) animateStop();
    benchmark::DoNotOptimize(scene.wheelAngle);
}

void keyCommand(benchmark::State& state)
{
    scene = initialSceneState();
    bool forth = true;
    for (auto _ : state) {
        onKeyboard(forth ? 'x' : 'X', 0, 0);  // camera there and back
        forth = !forth;
    }
    benchmark::DoNotOptimize(scene.eye[0]);
}

class CollectingReporter : public benchmark::BenchmarkReporter {
public:
    explicit CollectingReporter(std::vector<StepTiming>& out) : out_(out) {}
    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) out_.push_back({run.benchmark_name(), run.GetAdjustedRealTime()});
    }

private:
    std::vector<StepTiming>& out_;
};

}  // namespace

std::vector<StepTiming> measureSteps(double seconds)
{
    std::string minTime = "--benchmark_min_time=" + std::to_string(seconds);
    char program[] = "fairground_bench";
    char* argv[] = {program, minTime.data(), nullptr};
    int argc = 2;
    benchmark::Initialize(&argc, argv);
    benchmark::RegisterBenchmark("go step", goStep)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("stop step", stopStep)->Unit(benchmark::kNanosecond);
    benchmark::RegisterBenchmark("key command", keyCommand)->Unit(benchmark::kNanosecond);
    std::vector<StepTiming> timings;
    CollectingReporter reporter(timings);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    scene = initialSceneState();
    return timings;
}
