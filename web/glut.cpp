// GLUT for the page: the program's callbacks, called as GLUT calls them from
// the browser's events that page.js hands on. The idle callback and redraws
// run once per displayed frame; with neither asked for, no frame is asked of
// the browser, so the page sleeps.

#include "web/pipeline.h"

#include <map>
#include <utility>

namespace {

struct Glut {
    void (*display)() = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*windowStatus)(int) = nullptr;
    void (*idle)() = nullptr;
    bool redisplay = false;
    int width = 300, height = 300;
    int nextTimer = 1;
    std::map<int, std::pair<void (*)(int), int>> timers;
} glut;

}  // namespace

extern "C" {

// Provided by page.js.
void webWantFrame();
void webCreateCanvas(int width, int height);
void webResizeCanvas(int width, int height);
void webFullScreen(int on);
int webIsFullScreen();
int webScreenSize(int height);
void webStartTimer(unsigned milliseconds, int id);

// Called by page.js.
int webFrame()
{
    if (glut.idle) glut.idle();
    if (glut.redisplay && glut.display) {
        glut.redisplay = false;
        glut.display();
    }
    return glut.idle || glut.redisplay;
}

void webKeyboard(int key, int x, int y)
{
    if (glut.keyboard) glut.keyboard(static_cast<unsigned char>(key), x, y);
}

void webMouse(int button, int state, int x, int y)
{
    if (glut.mouse) glut.mouse(button, state, x, y);
}

// The canvas took a new size, in device pixels; GLUT reshapes and redraws.
// page.js calls this once the event or callback that made the change is
// over, so that the program hears it at once, not a frame later.
void webResized(int width, int height)
{
    glut.width = width;
    glut.height = height;
    if (glut.reshape) glut.reshape(width, height);
    glutPostRedisplay();
}

// The browser filled the screen, or would have but refused, or left it
// again before page.js heard: the program hears the screen filled, its
// answer, and the drawing keeps its size.
void webScreenFilled()
{
    if (!glut.reshape) return;
    glut.reshape(webScreenSize(0), webScreenSize(1));
    glut.reshape(glut.width, glut.height);
}

void webVisible(int visible)
{
    if (glut.windowStatus) glut.windowStatus(visible ? GLUT_FULLY_RETAINED : GLUT_HIDDEN);
    if (visible) glutPostRedisplay();
}

void webTimer(int id)
{
    const auto timer = glut.timers.find(id);
    if (timer == glut.timers.end()) return;
    const auto [callback, value] = timer->second;
    glut.timers.erase(timer);
    callback(value);
}

}  // extern "C"

void glutInit(int*, char**) {}
void glutInitDisplayMode(unsigned int mode)
{
    if (mode & ~static_cast<unsigned>(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH))
        web::fail("glutInitDisplayMode: a mode not done in the browser");
}
void glutInitWindowSize(int width, int height) { glut.width = width, glut.height = height; }
void glutInitWindowPosition(int, int) {}  // a canvas stands where the page puts it

int glutCreateWindow(const char*)
{
    webCreateCanvas(glut.width, glut.height);
    return 1;
}

void glutDisplayFunc(void (*callback)()) { glut.display = callback; }
void glutReshapeFunc(void (*callback)(int, int)) { glut.reshape = callback; }
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) { glut.keyboard = callback; }
void glutMouseFunc(void (*callback)(int, int, int, int)) { glut.mouse = callback; }
void glutWindowStatusFunc(void (*callback)(int)) { glut.windowStatus = callback; }

void glutIdleFunc(void (*callback)())
{
    glut.idle = callback;
    if (callback) webWantFrame();
}

void glutPostRedisplay()
{
    glut.redisplay = true;
    webWantFrame();
}

void glutSwapBuffers() { glFlush(); }  // the browser shows the canvas when the frame's callback returns

void glutTimerFunc(unsigned int milliseconds, void (*callback)(int), int value)
{
    const int id = glut.nextTimer++;
    glut.timers[id] = {callback, value};
    webStartTimer(milliseconds, id);
}

void glutReshapeWindow(int width, int height) { webResizeCanvas(width, height); }
void glutPositionWindow(int, int) {}
void glutFullScreen() { webFullScreen(1); }
void glutLeaveFullScreen() { webFullScreen(0); }

int glutGet(GLenum what)
{
    switch (what) {
    case GLUT_WINDOW_WIDTH: return glut.width;
    case GLUT_WINDOW_HEIGHT: return glut.height;
    case GLUT_FULL_SCREEN: return webIsFullScreen();
    case GLUT_WINDOW_X:
    case GLUT_WINDOW_Y: return 0;  // a canvas stands where the page puts it
    case GLUT_SCREEN_WIDTH: return webScreenSize(0);
    case GLUT_SCREEN_HEIGHT: return webScreenSize(1);
    default: web::fail("glutGet: a value not done in the browser");
    }
}

// The page goes on after main has returned: the browser calls back.
void glutMainLoop() {}

namespace web {

void fail(const char* what)
{
    webFail(what);
    __builtin_trap();
}

}  // namespace web
