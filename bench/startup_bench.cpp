// Starts the real program with the swap probe preloaded and times it from
// exec to its first buffer swap, and reads its peak resident memory then.
#include "bench/report.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Reads the child's standard error until the probe reports, or 10 seconds pass.
long long readFirstSwap(int fd)
{
    std::string text;
    const long long deadline = monotonicNanoseconds() + 10000000000LL;
    while (monotonicNanoseconds() < deadline) {
        pollfd waiting{fd, POLLIN, 0};
        if (poll(&waiting, 1, 100) <= 0) continue;
        char buffer[512];
        const ssize_t count = read(fd, buffer, sizeof buffer);
        if (count <= 0) return -1;
        text.append(buffer, static_cast<std::size_t>(count));
        const std::size_t at = text.find("first-swap ");
        if (at != std::string::npos && text.find('\n', at) != std::string::npos)
            return std::atoll(text.c_str() + at + std::strlen("first-swap "));
    }
    return -1;
}

// VmHWM: the high-water mark of the process's resident memory since exec.
long peakResidentKiB(pid_t pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/status";
    FILE* status = std::fopen(path.c_str(), "r");
    if (!status) return 0;
    long kib = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) == 1) break;
    std::fclose(status);
    return kib;
}

}  // namespace

StartupResult measureStartup(const std::string& program, const std::string& probe, int runs)
{
    std::vector<double> milliseconds;
    StartupResult result;
    for (int run = 0; run < runs; ++run) {
        int errPipe[2];
        if (pipe(errPipe) != 0) break;
        const long long started = monotonicNanoseconds();
        const pid_t child = fork();
        if (child == 0) {
            const int devNull = open("/dev/null", O_WRONLY);
            dup2(devNull, STDOUT_FILENO);
            dup2(errPipe[1], STDERR_FILENO);
            close(errPipe[0]);
            setenv("LD_PRELOAD", probe.c_str(), 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(errPipe[1]);
        const long long firstSwap = readFirstSwap(errPipe[0]);
        if (child > 0) {
            if (firstSwap >= 0) {
                usleep(200000);  // the first frame is drawn; let it settle
                result.peakResidentKiB = std::max(result.peakResidentKiB, peakResidentKiB(child));
            }
            kill(child, SIGTERM);
            waitpid(child, nullptr, 0);
        }
        close(errPipe[0]);
        if (firstSwap < 0) {
            std::fprintf(stderr, "start-up: %s never swapped its buffers\n", program.c_str());
            continue;
        }
        milliseconds.push_back(static_cast<double>(firstSwap - started) / 1e6);
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    result.runs = static_cast<int>(milliseconds.size());
    if (!milliseconds.empty()) {
        result.medianMs = milliseconds[milliseconds.size() / 2];
        result.slowestMs = milliseconds.back();
    }
    return result;
}
