// Preloaded into a program started by the benchmark. Before the program's
// first buffer swap it turns the swap's wait for the display off; once that
// swap has completed it writes the monotonic clock and the window's X id to
// standard error. Every later swap passes straight through.
#include "bench/swap_sync.h"

#include "app/platform.h"

#include <GL/glx.h>
#include <dlfcn.h>

#include <cstdio>
#include <ctime>

extern "C" void glutSwapBuffers(void)
{
    using SwapFunction = void (*)(void);
    static const auto realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static bool swapped = false;
    if (swapped) {
        realSwap();
        return;
    }
    swapped = true;
    turnSwapSyncOff();
    realSwap();
    glFinish();
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "first-swap %lld %lu\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                 static_cast<unsigned long>(glXGetCurrentDrawable()));
    std::fflush(stderr);
}
