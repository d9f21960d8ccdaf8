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

using XWindowId = unsigned long;
using KeySymbol = unsigned long; // an X keysym, e.g. XK_Escape from <X11/keysym.h>

using Duration = std::chrono::milliseconds;

// Generous for a start-up on a loaded two-core machine; every wait is a poll
// that returns as soon as its condition holds.
constexpr Duration defaultTimeout{20000};

struct Rgb {
    int r = 0;
    int g = 0;
    int b = 0;
};
bool operator==(const Rgb& a, const Rgb& b);
bool operator!=(const Rgb& a, const Rgb& b);
std::ostream& operator<<(std::ostream& out, const Rgb& colour);

// Stands in for the pixels of a window that lie beyond the screen's edges.
constexpr Rgb offScreen{-1, -1, -1};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};
bool operator==(const Rect& a, const Rect& b);
std::ostream& operator<<(std::ostream& out, const Rect& rect);

class Image {
public:
    Image() = default;
    Image(int width, int height, std::vector<Rgb> pixels);

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_.at(static_cast<size_t>(y) * width_ + x); }
    bool uniform() const; // ignoring off-screen pixels
    // Pixels whose channels differ by more than `tolerance` in some channel.
    int differingPixels(const Image& other, int tolerance = 0) const;
    int count(const std::function<bool(Rgb)>& predicate) const;
    void savePpm(const std::string& path) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Rgb> pixels_;
};

// Polls `condition` until it holds or `timeout` has passed; the result is
// the condition's last value.
bool waitUntil(const std::function<bool()>& condition, Duration timeout = defaultTimeout);

// The tests' own X server if the suite has started one, else $DISPLAY.
std::string testDisplay();

// One run of the program, killed at the latest when this object goes.
class App {
public:
    // Standard output goes to a pipe that output() reads, or to `stdoutFile`.
    explicit App(const std::string& stdoutFile = {});
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    // The program's argv[0], and so its window title.
    const std::string& title() const { return title_; }
    pid_t pid() const { return pid_; }

    // Everything read from the pipe so far, after taking what is there now.
    const std::string& output();
    bool waitForOutput(size_t bytes, Duration timeout = defaultTimeout);

    // The top-level window with our title, once it is viewable; throws if it
    // does not appear in time.
    XWindowId window();
    Rect geometry();
    Rect waitForGeometry(const Rect& expected, Duration timeout = defaultTimeout);
    Image capture();
    Rgb pixel(int x, int y);
    Rgb waitForPixel(int x, int y, const Rgb& expected, Duration timeout = defaultTimeout);
    // The first picture that is not a single colour: the first frame drawn.
    Image waitForFirstFrame(Duration timeout = defaultTimeout);
    std::optional<Image> waitForPicture(const std::function<bool(const Image&)>& wanted,
                                        Duration timeout = defaultTimeout);
    std::optional<Image> waitForChange(const Image& before, Duration timeout = defaultTimeout);

    // Window coordinates. Keys go to the window under the pointer (there is
    // no window manager), so pressKey first moves the pointer inside.
    void movePointer(int x, int y);
    void pressKey(KeySymbol key);
    // Printable ASCII as typed on the keyboard (Shift for capitals); '\x1b' is Escape.
    void type(const std::string& keys);
    void click(unsigned button, int x, int y);
    void click(unsigned button);

    // A window manager's close request (WM_DELETE_WINDOW).
    void requestClose();

    // The wait status (see waitpid) once the program has ended.
    std::optional<int> waitForExit(Duration timeout = defaultTimeout);
    void kill(int signal);

private:
    void readAvailable();
    void pointerIntoWindow();

    std::string title_;
    pid_t pid_ = -1;
    int outputFd_ = -1;
    std::string output_;
    _XDisplay* display_ = nullptr;
    XWindowId window_ = 0;
    bool exited_ = false;
    int waitStatus_ = 0;
};

std::string describeWaitStatus(int status);

// The start-up camera: eye (2, 5, 10) towards (0, 1, 0), +y up, 45 degree
// vertical field of view, near 2 and far 20, over an 800 by 600 window.
struct Vec3 {
    double x = 0;
    double y = 0;
    double z = 0;
};

struct Camera {
    Vec3 eye{2, 5, 10};
    Vec3 centre{0, 1, 0};
    double fovY = 45;
    double nearPlane = 2;
    double farPlane = 20;
    int width = 800;
    int height = 600;
};

// Window coordinates, x to the right and y down from the top-left corner;
// pixel (column, row) covers [column, column + 1) x [row, row + 1).
struct ScreenPoint {
    double x = 0;
    double y = 0;
    double depth = 0; // distance in front of the eye along the view direction
    bool visible = false; // inside the window and between the near and far planes
    int column() const;
    int row() const;
};

ScreenPoint project(const Vec3& world, const Camera& camera = {});

// The window row where the ground plane y = 0 meets the far plane: the
// horizon of a level camera above the ground.
double horizonRow(const Camera& camera = {});

} // namespace e2e
