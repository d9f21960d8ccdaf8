#include "harness.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace e2e {

namespace {

constexpr Duration pollInterval{25};

std::runtime_error failure(const std::string& what)
{
    return std::runtime_error("e2e harness: " + what);
}

// Xlib's default handler ends the process; a window that is gone must
// instead fail the one request, and the test with it.
int lastXError = 0;
int recordXError(Display*, XErrorEvent* event)
{
    lastXError = event->error_code;
    return 0;
}

int channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const unsigned long max = mask >> shift;
    return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

KeySym keysymFor(char c)
{
    if (c == '\x1b') return XK_Escape;
    if (c == '\r' || c == '\n') return XK_Return;
    // Printable ASCII keysyms are the characters' own codes.
    if (c >= 0x20 && c < 0x7f) return static_cast<KeySym>(c);
    throw failure("no key for character code " + std::to_string(static_cast<int>(c)));
}

} // namespace

bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
bool operator!=(const Rgb& a, const Rgb& b) { return !(a == b); }
std::ostream& operator<<(std::ostream& out, const Rgb& colour)
{
    return out << '(' << colour.r << ", " << colour.g << ", " << colour.b << ')';
}

bool operator==(const Rect& a, const Rect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
std::ostream& operator<<(std::ostream& out, const Rect& rect)
{
    return out << rect.width << 'x' << rect.height << " at (" << rect.x << ", " << rect.y << ')';
}

Image::Image(int width, int height, std::vector<Rgb> pixels)
    : width_(width), height_(height), pixels_(std::move(pixels))
{
}

bool Image::uniform() const
{
    const Rgb* first = nullptr;
    for (const Rgb& p : pixels_) {
        if (p == offScreen) continue;
        if (!first) first = &p;
        if (p != *first) return false;
    }
    return true;
}

int Image::differingPixels(const Image& other, int tolerance) const
{
    if (width_ != other.width_ || height_ != other.height_) return static_cast<int>(pixels_.size());
    int differing = 0;
    for (size_t i = 0; i < pixels_.size(); ++i) {
        const Rgb& a = pixels_[i];
        const Rgb& b = other.pixels_[i];
        if (std::abs(a.r - b.r) > tolerance || std::abs(a.g - b.g) > tolerance ||
            std::abs(a.b - b.b) > tolerance)
            ++differing;
    }
    return differing;
}

int Image::count(const std::function<bool(Rgb)>& predicate) const
{
    int n = 0;
    for (const Rgb& p : pixels_)
        if (predicate(p)) ++n;
    return n;
}

void Image::savePpm(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary);
    out << "P6\n" << width_ << ' ' << height_ << "\n255\n";
    for (const Rgb& p : pixels_) {
        const char bytes[3] = {static_cast<char>(p.r), static_cast<char>(p.g), static_cast<char>(p.b)};
        out.write(bytes, 3);
    }
}

bool waitUntil(const std::function<bool()>& condition, Duration timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(pollInterval);
    }
}

std::string testDisplay()
{
    std::ifstream file(E2E_DISPLAY_FILE);
    std::string name;
    if (file >> name) return name;
    if (const char* env = std::getenv("DISPLAY")) return env;
    throw failure("no X server: run the tests through ctest, or set DISPLAY");
}

App::App(const std::string& stdoutFile)
{
    static std::atomic<int> runs{0};
    title_ = "fairground-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++runs);

    const std::string displayName = testDisplay();
    display_ = XOpenDisplay(displayName.c_str());
    if (!display_) throw failure("cannot open display " + displayName);
    XSetErrorHandler(recordXError);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor))
        throw failure("the X server has no XTEST extension");

    int outputFd = -1;
    int pipeFds[2] = {-1, -1};
    if (stdoutFile.empty()) {
        if (pipe2(pipeFds, O_CLOEXEC) != 0) throw failure("pipe failed");
        outputFd = pipeFds[1];
        outputFd_ = pipeFds[0];
        fcntl(outputFd_, F_SETFL, O_NONBLOCK);
    } else {
        outputFd = open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (outputFd < 0) throw failure("cannot create " + stdoutFile);
    }

    setenv("DISPLAY", displayName.c_str(), 1);
    // Xvfb has no GPU: Mesa's software renderer draws.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);

    pid_ = fork();
    if (pid_ == 0) {
        // Never outlive the test, even one killed by CTest's timeout.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        const int devNull = open("/dev/null", O_RDONLY);
        dup2(devNull, STDIN_FILENO);
        dup2(outputFd, STDOUT_FILENO);
        char* argv[] = {title_.data(), nullptr};
        execv(FAIRGROUND_PROGRAM, argv);
        _exit(127);
    }
    close(outputFd);
    if (pid_ < 0) throw failure("fork failed");
}

App::~App()
{
    if (pid_ > 0 && !exited_) {
        ::kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (outputFd_ >= 0) close(outputFd_);
    if (display_) XCloseDisplay(display_);
}

void App::readAvailable()
{
    if (outputFd_ < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(outputFd_, buffer, sizeof buffer);
        if (n <= 0) return;
        output_.append(buffer, static_cast<size_t>(n));
    }
}

const std::string& App::output()
{
    readAvailable();
    return output_;
}

bool App::waitForOutput(size_t bytes, Duration timeout)
{
    return waitUntil([&] { return output().size() >= bytes; }, timeout);
}

XWindowId App::window()
{
    if (window_) return window_;
    Window found = 0;
    const bool viewable = waitUntil([&] {
        if (!found) {
            Window rootReturn = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            if (XQueryTree(display_, DefaultRootWindow(display_), &rootReturn, &parent, &children,
                           &count)) {
                for (unsigned i = 0; i < count && !found; ++i) {
                    char* name = nullptr;
                    if (XFetchName(display_, children[i], &name) && name) {
                        if (title_ == name) found = children[i];
                        XFree(name);
                    }
                }
                if (children) XFree(children);
            }
        }
        XWindowAttributes attributes;
        return found && XGetWindowAttributes(display_, found, &attributes) &&
               attributes.map_state == IsViewable;
    });
    if (!viewable) throw failure("no viewable window titled " + title_);
    window_ = found;
    return window_;
}

Rect App::geometry()
{
    const Window w = window();
    XWindowAttributes attributes;
    Window child = 0;
    Rect rect;
    if (!XGetWindowAttributes(display_, w, &attributes) ||
        !XTranslateCoordinates(display_, w, DefaultRootWindow(display_), 0, 0, &rect.x, &rect.y,
                               &child))
        throw failure("the window is gone");
    rect.width = attributes.width;
    rect.height = attributes.height;
    return rect;
}

Rect App::waitForGeometry(const Rect& expected, Duration timeout)
{
    Rect last;
    waitUntil([&] { return (last = geometry()) == expected; }, timeout);
    return last;
}

Image App::capture()
{
    const Rect rect = geometry();
    // X reads only the part of a window that is on the screen; freeglut's
    // full screen without a window manager reaches past the top-left corner.
    const int left = std::max(0, -rect.x);
    const int top = std::max(0, -rect.y);
    const int right = std::min(rect.width, DisplayWidth(display_, DefaultScreen(display_)) - rect.x);
    const int bottom = std::min(rect.height, DisplayHeight(display_, DefaultScreen(display_)) - rect.y);
    std::vector<Rgb> pixels(static_cast<size_t>(rect.width) * rect.height, offScreen);
    if (left >= right || top >= bottom) return Image(rect.width, rect.height, std::move(pixels));

    lastXError = 0;
    XImage* image = XGetImage(display_, window(), left, top, static_cast<unsigned>(right - left),
                              static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap);
    if (!image) throw failure("cannot read the window's pixels (X error " + std::to_string(lastXError) + ")");
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const unsigned long p = XGetPixel(image, x - left, y - top);
            pixels[static_cast<size_t>(y) * rect.width + x] = {
                channel(p, image->red_mask), channel(p, image->green_mask), channel(p, image->blue_mask)};
        }
    }
    XDestroyImage(image);
    return Image(rect.width, rect.height, std::move(pixels));
}

Rgb App::pixel(int x, int y)
{
    lastXError = 0;
    XImage* image = XGetImage(display_, window(), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) throw failure("cannot read pixel (" + std::to_string(x) + ", " + std::to_string(y) + ")");
    const unsigned long p = XGetPixel(image, 0, 0);
    const Rgb colour{channel(p, image->red_mask), channel(p, image->green_mask),
                     channel(p, image->blue_mask)};
    XDestroyImage(image);
    return colour;
}

Rgb App::waitForPixel(int x, int y, const Rgb& expected, Duration timeout)
{
    Rgb last;
    waitUntil([&] { return (last = pixel(x, y)) == expected; }, timeout);
    return last;
}

Image App::waitForFirstFrame(Duration timeout)
{
    const std::optional<Image> frame = waitForPicture([](const Image& i) { return !i.uniform(); }, timeout);
    if (!frame) throw failure("the window stayed a single colour: no frame was drawn");
    return *frame;
}

std::optional<Image> App::waitForPicture(const std::function<bool(const Image&)>& wanted,
                                         Duration timeout)
{
    Image last;
    if (waitUntil([&] { return wanted(last = capture()); }, timeout)) return last;
    return std::nullopt;
}

std::optional<Image> App::waitForChange(const Image& before, Duration timeout)
{
    return waitForPicture([&](const Image& now) { return now.differingPixels(before) > 0; }, timeout);
}

void App::movePointer(int x, int y)
{
    const Rect rect = geometry();
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rect.x + x, rect.y + y, CurrentTime);
    XSync(display_, False);
}

void App::pointerIntoWindow()
{
    Window rootReturn = 0, child = 0;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    const Rect rect = geometry();
    if (XQueryPointer(display_, window(), &rootReturn, &child, &rootX, &rootY, &x, &y, &mask) &&
        x >= 0 && y >= 0 && x < rect.width && y < rect.height)
        return;
    movePointer(rect.width / 2, rect.height / 2);
}

void App::pressKey(KeySymbol key)
{
    pointerIntoWindow();
    const KeyCode code = XKeysymToKeycode(display_, key);
    if (code == 0) throw failure("no key code for keysym " + std::to_string(key));
    const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != key &&
                         XkbKeycodeToKeysym(display_, code, 0, 1) == key;
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    if (shifted) XTestFakeKeyEvent(display_, shift, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    if (shifted) XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    XSync(display_, False);
}

void App::type(const std::string& keys)
{
    for (const char c : keys) pressKey(keysymFor(c));
}

void App::click(unsigned button, int x, int y)
{
    movePointer(x, y);
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
}

void App::click(unsigned button)
{
    const Rect rect = geometry();
    click(button, rect.width / 2, rect.height / 2);
}

void App::requestClose()
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window();
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window(), False, NoEventMask, &event);
    XSync(display_, False);
}

std::optional<int> App::waitForExit(Duration timeout)
{
    const bool ended = waitUntil(
        [&] { return exited_ || (exited_ = waitpid(pid_, &waitStatus_, WNOHANG) == pid_); }, timeout);
    if (!ended) return std::nullopt;
    return waitStatus_;
}

void App::kill(int signal)
{
    ::kill(pid_, signal);
}

std::string describeWaitStatus(int status)
{
    std::ostringstream text;
    if (WIFEXITED(status))
        text << "exit status " << WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        text << "killed by signal " << WTERMSIG(status);
    else
        text << "wait status " << status;
    return text.str();
}

namespace {

Vec3 operator-(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 normalised(const Vec3& v)
{
    const double length = std::sqrt(dot(v, v));
    return {v.x / length, v.y / length, v.z / length};
}

// The camera's axes as gluLookAt builds them: side, up, forward.
struct Basis {
    Vec3 side;
    Vec3 up;
    Vec3 forward;
};

Basis basis(const Camera& camera)
{
    const Vec3 forward = normalised(camera.centre - camera.eye);
    const Vec3 side = normalised(cross(forward, Vec3{0, 1, 0}));
    return {side, cross(side, forward), forward};
}

double focal(const Camera& camera)
{
    const double pi = std::acos(-1.0);
    return 1.0 / std::tan(camera.fovY * pi / 360.0);
}

} // namespace

int ScreenPoint::column() const { return static_cast<int>(std::floor(x)); }
int ScreenPoint::row() const { return static_cast<int>(std::floor(y)); }

ScreenPoint project(const Vec3& world, const Camera& camera)
{
    const Basis axes = basis(camera);
    const Vec3 v = world - camera.eye;
    const double aspect = static_cast<double>(camera.width) / camera.height;
    ScreenPoint point;
    point.depth = dot(v, axes.forward);
    const double ndcX = focal(camera) / aspect * dot(v, axes.side) / point.depth;
    const double ndcY = focal(camera) * dot(v, axes.up) / point.depth;
    point.x = (ndcX + 1) / 2 * camera.width;
    point.y = (1 - ndcY) / 2 * camera.height;
    point.visible = point.depth >= camera.nearPlane && point.depth <= camera.farPlane &&
                    point.x >= 0 && point.x < camera.width && point.y >= 0 && point.y < camera.height;
    return point;
}

double horizonRow(const Camera& camera)
{
    // The point on the ground at far-plane depth straight ahead: eye + far *
    // forward + b * up, with b chosen to bring it down to y = 0.
    const Basis axes = basis(camera);
    const double b = -(camera.eye.y + camera.farPlane * axes.forward.y) / axes.up.y;
    const double ndcY = focal(camera) * b / camera.farPlane;
    return (1 - ndcY) / 2 * camera.height;
}

} // namespace e2e
