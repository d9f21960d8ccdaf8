#pragma once

// Drives the real program on the tests' X server the way a person would:
// keys, buttons and the window's close box in; standard output, window
// geometry and pixels out.

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// Xlib's own headers stay out: their macros (None, Bool, Status) break
// GoogleTest's.
struct _XDisplay;

namespace e2e {

using Duration = std::chrono::milliseconds;

// Generous for a start-up on a loaded two-core machine; every wait is a poll
// that returns as soon as its condition holds.
constexpr Duration defaultTimeout{20000};

struct Rgb {
    int r = 0, g = 0, b = 0;
};
bool operator==(const Rgb& a, const Rgb& b);
bool operator!=(const Rgb& a, const Rgb& b);
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// The first frame's sky, a fifth of the white lamp colour, and a glowing lamp.
inline const Rgb startSky{51, 51, 51};
inline const Rgb glowingWhite{255, 255, 255};

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};
bool operator==(const Rect& a, const Rect& b);
std::ostream& operator<<(std::ostream& out, const Rect& rect);

// The window's pixels, row by row from the top-left corner.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Rgb at(int x, int y) const { return pixels.at(static_cast<size_t>(y) * width + x); }
    int differingPixels(const Image& other) const;
};

// Polls `condition` until it holds or `timeout` has passed; the result is
// the condition's last value.
bool waitUntil(const std::function<bool()>& condition, Duration timeout = defaultTimeout);

// One run of the program, killed at the latest when this object goes.
class App {
public:
    // Standard output goes to a pipe that output() reads, or to `stdoutFile`.
    explicit App(const std::string& stdoutFile = {});
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // Everything read from the pipe so far, after taking what is there now.
    const std::string& output();

    // Geometry and pictures wait for the window (titled with a name unique to
    // this run) to appear, and throw if it does not.
    Rect geometry();
    Image capture();
    // The pixel's last colour: `expected` unless the wait ran out.
    Rgb waitForPixel(int x, int y, const Rgb& expected, Duration timeout = defaultTimeout);
    // The first picture that is not a single colour: the first frame drawn.
    Image waitForFirstFrame();
    std::optional<Image> waitForPicture(const std::function<bool(const Image&)>& wanted,
                                        Duration timeout = defaultTimeout);
    std::optional<Image> waitForChange(const Image& before, Duration timeout = defaultTimeout);

    // Input goes to the window under the pointer (there is no window
    // manager), so both first move the pointer to the window's centre.
    // Printable ASCII is typed as on the keyboard (Shift for capitals);
    // '\x1b' is Escape.
    void type(const std::string& keys);
    void click(unsigned button);

    // A window manager's close request (WM_DELETE_WINDOW).
    void requestClose();

    // The wait status (see waitpid) once the program has ended.
    std::optional<int> waitForExit(Duration timeout = defaultTimeout);
    void kill(int signal);

private:
    unsigned long window();
    void pointerToCentre();

    std::string title_;
    pid_t pid_ = -1;
    int outputFd_ = -1;
    std::string output_;
    _XDisplay* display_ = nullptr;
    unsigned long window_ = 0;
    bool exited_ = false;
    int waitStatus_ = 0;
};

std::string describeWaitStatus(int status);

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

// The pixel that shows a point, counted from the window's top-left corner.
struct ScreenPoint {
    int column = 0, row = 0;
    bool visible = false; // inside the window and between the near and far planes
};

// Where a world point shows in a window of the given size seen from the
// start camera: eye (2, 5, 10) towards (0, 1, 0), +y up, 45 degree vertical
// field of view, near plane 2 and far plane 20.
ScreenPoint project(const Vec3& world, int width = 800, int height = 600);

// The row where the far plane cuts off the ground in the start window.
double horizonRow();

} // namespace e2e
