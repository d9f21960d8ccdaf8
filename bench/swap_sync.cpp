#include "bench/swap_sync.h"

#include "app/platform.h"

#include <GL/glx.h>

#include <cstring>

namespace {

bool hasExtension(Display* display, const char* name)
{
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    return extensions && std::strstr(extensions, name);
}

// Drivers hand out an entry point for any name, so the extension string decides.
template <typename Function>
Function entryPoint(const char* name)
{
    return reinterpret_cast<Function>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

void turnSwapSyncOff()
{
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable drawable = glXGetCurrentDrawable();
    if (!display || !drawable) return;
    if (hasExtension(display, "GLX_EXT_swap_control")) {
        using SwapInterval = void (*)(Display*, GLXDrawable, int);
        entryPoint<SwapInterval>("glXSwapIntervalEXT")(display, drawable, 0);
    } else if (hasExtension(display, "GLX_MESA_swap_control")) {
        using SwapInterval = int (*)(unsigned int);
        entryPoint<SwapInterval>("glXSwapIntervalMESA")(0);
    }
}
