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
int ignoreXError(Display*, XErrorEvent*) { return 0; }

// The tests' own X server if the suite has started one, else $DISPLAY.
std::string testDisplay()
{
    std::ifstream file(E2E_DISPLAY_FILE);
    std::string name;
    if (file >> name) return name;
    if (const char* env = std::getenv("DISPLAY")) return env;
    throw failure("no X server: run the tests through ctest, or set DISPLAY");
}

} // namespace

bool waitUntil(const std::function<bool()>& condition, Duration timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return condition();
        std::this_thread::sleep_for(pollInterval);
    }
}

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

int Image::differingPixels(const Image& other) const
{
    if (width != other.width || height != other.height) return static_cast<int>(pixels.size());
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i) differing += pixels[i] != other.pixels[i];
    return differing;
}

App::App(const std::string& stdoutFile)
{
    static std::atomic<int> runs{0};
    title_ = "fairground-e2e-" + std::to_string(getpid()) + "-" + std::to_string(++runs);

    const std::string displayName = testDisplay();
    display_ = XOpenDisplay(displayName.c_str());
    if (!display_) throw failure("cannot open display " + displayName);
    XSetErrorHandler(ignoreXError);
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &eventBase, &errorBase, &major, &minor))
        throw failure("the X server has no XTEST extension");

    int outputFd = -1;
    if (stdoutFile.empty()) {
        int pipeFds[2] = {-1, -1};
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

const std::string& App::output()
{
    char buffer[4096];
    ssize_t n = 0;
    while (outputFd_ >= 0 && (n = read(outputFd_, buffer, sizeof buffer)) > 0)
        output_.append(buffer, static_cast<size_t>(n));
    return output_;
}

unsigned long App::window()
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
    // A child of the root window (no window manager reparents it), so its
    // position is on the screen.
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window(), &attributes)) throw failure("the window is gone");
    return {attributes.x, attributes.y, attributes.width, attributes.height};
}

Image App::capture()
{
    const Rect rect = geometry();
    // Fails for a window that reaches beyond the screen.
    XImage* image = XGetImage(display_, window(), 0, 0, static_cast<unsigned>(rect.width),
                              static_cast<unsigned>(rect.height), AllPlanes, ZPixmap);
    if (!image) throw failure("cannot read the window's pixels");
    Image picture{rect.width, rect.height, {}};
    picture.pixels.reserve(static_cast<size_t>(rect.width) * rect.height);
    for (int y = 0; y < rect.height; ++y) {
        for (int x = 0; x < rect.width; ++x) {
            // 24-bit true colour, as xvfb.sh sets up the screen.
            const unsigned long p = XGetPixel(image, x, y);
            picture.pixels.push_back({int(p >> 16 & 0xff), int(p >> 8 & 0xff), int(p & 0xff)});
        }
    }
    XDestroyImage(image);
    return picture;
}

Rgb App::waitForPixel(int x, int y, const Rgb& expected, Duration timeout)
{
    Rgb last;
    waitUntil([&] { return (last = capture().at(x, y)) == expected; }, timeout);
    return last;
}

Image App::waitForFirstFrame()
{
    const std::optional<Image> frame = waitForPicture([](const Image& picture) {
        return std::any_of(picture.pixels.begin(), picture.pixels.end(),
                           [&](const Rgb& p) { return p != picture.pixels.front(); });
    });
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

void App::pointerToCentre()
{
    const Rect rect = geometry();
    XTestFakeMotionEvent(display_, DefaultScreen(display_), rect.x + rect.width / 2,
                         rect.y + rect.height / 2, CurrentTime);
}

void App::type(const std::string& keys)
{
    pointerToCentre();
    const KeyCode shift = XKeysymToKeycode(display_, XK_Shift_L);
    for (const char c : keys) {
        // Printable ASCII keysyms are the characters' own codes.
        const KeySym key = c == '\x1b' ? XK_Escape : static_cast<KeySym>(c);
        const KeyCode code = XKeysymToKeycode(display_, key);
        if (code == 0) throw failure("no key for character code " + std::to_string(int(c)));
        const bool shifted = XkbKeycodeToKeysym(display_, code, 0, 0) != key &&
                             XkbKeycodeToKeysym(display_, code, 0, 1) == key;
        if (shifted) XTestFakeKeyEvent(display_, shift, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        if (shifted) XTestFakeKeyEvent(display_, shift, False, CurrentTime);
    }
    XSync(display_, False);
}

void App::click(unsigned button)
{
    pointerToCentre();
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XSync(display_, False);
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

const Vec3 eye{2, 5, 10};
const double nearPlane = 2;
const double farPlane = 20;
// 1 / tan(half the 45 degree field of view)
const double focal = 1 / std::tan(std::acos(-1.0) / 8);

// The camera's axes as gluLookAt builds them.
const Vec3 forward = normalised(Vec3{0, 1, 0} - eye);
const Vec3 side = normalised(cross(forward, Vec3{0, 1, 0}));
const Vec3 up = cross(side, forward);

} // namespace

ScreenPoint project(const Vec3& world, int width, int height)
{
    const Vec3 v = world - eye;
    const double depth = dot(v, forward);
    const double x = (focal * height / width * dot(v, side) / depth + 1) / 2 * width;
    const double y = (1 - focal * dot(v, up) / depth) / 2 * height;
    const bool inside =
        depth >= nearPlane && depth <= farPlane && x >= 0 && x < width && y >= 0 && y < height;
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)), inside};
}

double horizonRow()
{
    // The ground point at far-plane depth straight ahead: eye + far *
    // forward + b * up, with b chosen to bring it down to y = 0.
    const double b = -(eye.y + farPlane * forward.y) / up.y;
    return (1 - focal * b / farPlane) / 2 * 600;
}

} // namespace e2e
