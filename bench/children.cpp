// Starts the real program, or the bare window, with the swap probe preloaded
// and times it from exec to its first completed buffer swap. Children are
// started with posix_spawn and an environment built beforehand, so nothing
// runs in the child before exec.
#include "bench/bench.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

std::vector<std::string> childEnvironment()
{
    std::string preload = "LD_PRELOAD=" SWAP_PROBE;
    std::vector<std::string> variables;
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "LD_PRELOAD=", 11) == 0)
            preload += std::string(":") + (*variable + 11);
        else
            variables.emplace_back(*variable);
    }
    variables.push_back(preload);
    return variables;
}

// Reads the child's standard error until the probe reports, or 10 seconds pass.
bool readFirstSwap(int fd, long long* nanoseconds, unsigned long* window)
{
    std::string text;
    const long long deadline = monotonicNanoseconds() + 10000000000LL;
    while (monotonicNanoseconds() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        char buffer[512];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0) return false;
        text.append(buffer, static_cast<std::size_t>(count));
        const std::size_t at = text.find("first-swap ");
        if (at != std::string::npos && text.find('\n', at) != std::string::npos)
            return std::sscanf(text.c_str() + at, "first-swap %lld %lu", nanoseconds, window) == 2;
    }
    return false;
}

}  // namespace

void setSwapSyncOffEnvironment()
{
    setenv("vblank_mode", "0", 1);            // Mesa
    setenv("__GL_SYNC_TO_VBLANK", "0", 1);  // NVIDIA
}

Child startChild(const std::string& program, double* millisecondsToFirstSwap)
{
    static const std::vector<std::string> variables = childEnvironment();
    std::vector<char*> environment;
    for (const std::string& variable : variables) environment.push_back(const_cast<char*>(variable.c_str()));
    environment.push_back(nullptr);

    Child child;
    int probePipe[2];
    if (pipe2(probePipe, O_CLOEXEC) != 0) return child;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, probePipe[1], STDERR_FILENO);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    pid_t pid = -1;
    const long long started = monotonicNanoseconds();
    const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environment.data());
    posix_spawn_file_actions_destroy(&actions);
    close(probePipe[1]);
    child.probeFd = probePipe[0];
    if (failed) {
        stopChild(child);
        return child;
    }
    child.pid = pid;
    long long firstSwap = 0;
    if (!readFirstSwap(child.probeFd, &firstSwap, &child.window)) {
        std::fprintf(stderr, "%s never completed a buffer swap\n", program.c_str());
        stopChild(child);
        return child;
    }
    if (millisecondsToFirstSwap) *millisecondsToFirstSwap = static_cast<double>(firstSwap - started) / 1e6;
    return child;
}

void stopChild(Child& child)
{
    if (child.pid > 0) {
        kill(child.pid, SIGTERM);
        waitpid(child.pid, nullptr, 0);
    }
    if (child.probeFd >= 0) close(child.probeFd);
    child = Child{};
}

// VmHWM: the high-water mark of the process's resident memory since exec.
long peakResidentKiB(const Child& child)
{
    const std::string path = "/proc/" + std::to_string(child.pid) + "/status";
    FILE* status = std::fopen(path.c_str(), "r");
    if (!status) return 0;
    long kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

// The program and the bare window take turns, each going first every other
// run, so that neither always starts on a cache the other has warmed.
StartupResult measureStartup(int runs, long* peakKiB)
{
    std::vector<double> programMs;
    std::vector<double> bareWindowMs;
    for (int run = 0; run < runs; ++run) {
        for (int turn = 0; turn < 2; ++turn) {
            const bool program = (run + turn) % 2 == 0;
            double milliseconds = 0;
            Child child = startChild(program ? FAIRGROUND_PROGRAM : BARE_WINDOW, &milliseconds);
            if (child.pid < 0) continue;
            (program ? programMs : bareWindowMs).push_back(milliseconds);
            if (program) {
                usleep(200000);  // the first frame is on screen; let the driver settle
                *peakKiB = std::max(*peakKiB, peakResidentKiB(child));
            }
            stopChild(child);
        }
    }
    return {spreadOf(programMs), spreadOf(bareWindowMs)};
}
