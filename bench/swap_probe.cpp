// Preloaded into the real program to time its start-up: on the first buffer
// swap it writes the monotonic clock to standard error, then swaps as usual.
#include <GL/glut.h>

#include <dlfcn.h>

#include <cstdio>
#include <ctime>

extern "C" void glutSwapBuffers(void)
{
    using SwapFunction = void (*)(void);
    static const auto realSwap = reinterpret_cast<SwapFunction>(dlsym(RTLD_NEXT, "glutSwapBuffers"));
    static bool swapped = false;
    if (realSwap) realSwap();
    if (!swapped) {
        swapped = true;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        std::fprintf(stderr, "first-swap %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stderr);
    }
}
