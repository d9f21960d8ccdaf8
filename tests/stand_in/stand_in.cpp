#include "stand_in.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace standIn {
namespace {

// A material's parts in GL's order: ambient, diffuse, specular, emission, shininess.
using Material = std::map<GLenum, std::vector<float>>;
const Material initialMaterial{{GL_AMBIENT, {0.2f, 0.2f, 0.2f, 1}}, {GL_DIFFUSE, {0.8f, 0.8f, 0.8f, 1}},
                               {GL_SPECULAR, {0, 0, 0, 1}}, {GL_EMISSION, {0, 0, 0, 1}}, {GL_SHININESS, {0}}};
constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr double degree = 3.14159265358979323846 / 180;

struct Gl {
    Record record;
    std::set<GLenum> enabled;
    Material material[2] = {initialMaterial, initialMaterial};  // front, back
    std::string materialLine, primitive;  // the material last logged; the primitive being drawn
    std::vector<double> normal{0, 0, 1};
} gl;

// The enums each call takes from this program, by name; any other is an error.
using Names = std::map<GLenum, std::string>;
const Names primitives{{GL_LINES, "lines"}, {GL_TRIANGLES, "triangles"}, {GL_QUADS, "quads"}, {GL_POLYGON, "polygon"}};
const Names caps{{GL_DEPTH_TEST, "depthTest"}, {GL_LIGHTING, "lighting"}, {GL_LIGHT0, "light0"},
                 {GL_LIGHT1, "light1"}, {GL_LIGHT2, "light2"}, {GL_LIGHT3, "light3"}};
const Names lights(caps.find(GL_LIGHT0), caps.end());
const Names faces{{GL_FRONT, "front"}, {GL_BACK, "back"}, {GL_FRONT_AND_BACK, "frontAndBack"}};
const Names materialParts{{GL_AMBIENT_AND_DIFFUSE, "ambientAndDiffuse"}, {GL_SPECULAR, "specular"},
                          {GL_EMISSION, "emission"}, {GL_SHININESS, "shininess"}};
const Names fillModes{{GL_POINT, "point"}, {GL_LINE, "line"}, {GL_FILL, "fill"}};
const Names shadeModels{{GL_FLAT, "flat"}, {GL_SMOOTH, "smooth"}}, lightModels{{GL_LIGHT_MODEL_TWO_SIDE, "twoSide"}};
const Names matrixModes{{GL_MODELVIEW, "modelView"}, {GL_PROJECTION, "projection"}};

void error(const std::string& what) { gl.record.errors.push_back(what); }

// Only glVertex, glNormal and glMaterial belong between glBegin and glEnd;
// every other call logs a line or uses the matrix stack, and both check.
void checkNotInBegin(const std::string& call) { if (!gl.primitive.empty()) error(call + " inside glBegin"); }
void log(const std::string& line) { checkNotInBegin(line); gl.record.log.push_back(line); }

std::string name(const Names& names, GLenum value)
{
    if (!names.count(value)) error("invalid enum " + std::to_string(value) + " for " + names.begin()->second);
    return names.count(value) ? names.at(value) : "invalid";
}

// Rounded to four decimals, without negative zero; joined by commas.
std::string tuple(const std::vector<double>& values)
{
    std::ostringstream text;
    text.precision(10);
    for (const double& v : values) text << (&v == values.data() ? "" : ",") << std::round(v * 1e4) / 1e4 + 0.0;
    return text.str();
}

// A line for the material of what is drawn next, when it has changed.
void logMaterial()
{
    std::string line = "material";
    for (int side = 0; side < 2; ++side) {
        line += side ? " back" : " front";
        for (const auto& part : gl.material[side]) line += " " + tuple({part.second.begin(), part.second.end()});
    }
    if (line != gl.materialLine) log(gl.materialLine = line);
}

// One stack serves both modes: the projection is only loaded and logged,
// and the model-view matrix is loaded again right after it.
std::vector<Matrix>& stack(const char* function) { checkNotInBegin(function); return gl.record.modelView; }

void multiply(const Matrix& m)
{
    Matrix& top = stack("a transformation").back();
    const Matrix a = top;
    for (int i = 0; i < 16; ++i) {
        top[i] = 0;
        for (int k = 0; k < 4; ++k) top[i] += a[k * 4 + i % 4] * m[i / 4 * 4 + k];
    }
}

std::vector<double> toWorld(double x, double y, double z)
{
    const Matrix& m = gl.record.modelView.back();
    return {m[0] * x + m[4] * y + m[8] * z + m[12], m[1] * x + m[5] * y + m[9] * z + m[13],
            m[2] * x + m[6] * y + m[10] * z + m[14]};
}

}  // namespace

Record& record() { return gl.record; }
void reset() { gl = Gl{}; }

void windowPass(void (*reshape)(int, int))
{
    Record::Window& w = gl.record.window;
    const auto size = [&](int width, int height) {
        if (width != w.width || height != w.height) reshape(w.width = width, w.height = height);
    };
    const bool resizeNow = w.resize, toggle = std::exchange(w.toggle, false);
    const bool title = std::exchange(w.titleNextPass, false);
    w.resize = std::exchange(w.resizeNextPass, false);
    if (toggle && !w.fullScreen) {
        w.untitled = w.restoresPlace;
        std::copy(w.place, w.place + 2, w.framedPlace);
        w.place[0] = w.place[1] = 0;
        w.framed[0] = w.width, w.framed[1] = w.height;
        size(w.width + 8, w.height + 37);
        w.resizeNextPass = true, w.wanted[0] = screenWidth, w.wanted[1] = screenHeight;
    } else if (toggle) {
        if (w.restoresPlace) std::copy(w.framedPlace, w.framedPlace + 2, w.place);
        if (!resizeNow) size(w.framed[0], w.framed[1]);
        w.titleNextPass = w.untitled;
    }
    if (std::exchange(w.move, false)) {
        std::copy(w.wantedPlace, w.wantedPlace + 2, w.place);
        w.movedUntitled = w.untitled;
    }
    if (title) {
        if (std::exchange(w.movedUntitled, false)) w.place[1] = std::max(0, w.place[1] - Record::titleHeight);
        w.untitled = false;
    }
    if (resizeNow) size(w.wanted[0], w.wanted[1]);
    w.fullScreen ^= toggle;
}

}  // namespace standIn

using namespace standIn;

void glMatrixMode(GLenum mode) { log("matrixMode " + name(matrixModes, mode)); }
void glLoadIdentity() { log("loadIdentity"); stack(__func__).back() = identity; }
void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { multiply({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}); }

void glPushMatrix() { auto& s = stack(__func__); s.size() < 32 ? s.push_back(s.back()) : error("stack overflow"); }
void glPopMatrix() { auto& s = stack(__func__); s.size() > 1 ? s.pop_back() : error("stack underflow"); }

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const double length = std::hypot(x, y, z), u[3] = {x / length, y / length, z / length};
    const double c = std::cos(angle * degree), s = std::sin(angle * degree);
    Matrix m = identity;
    for (int col = 0; col < 3; ++col)
        for (int row = 0; row < 3; ++row)
            m[col * 4 + row] =
                u[row] * u[col] * (1 - c) + (row == col ? c : (col == (row + 1) % 3 ? -s : s) * u[3 - row - col]);
    multiply(m);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    log("perspective " + tuple({fovy, aspect, zNear, zFar}));
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ)
{
    log("camera " + tuple({eyeX, eyeY, eyeZ, centerX, centerY, centerZ, upX, upY, upZ}));
}

void glClear(GLbitfield mask)
{
    if (mask & ~(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) error("glClear: invalid bits");
    log("clear" + std::string(mask & GL_COLOR_BUFFER_BIT ? " color" : "") +
        (mask & GL_DEPTH_BUFFER_BIT ? " depth" : ""));
}

void glLightfv(GLenum light, GLenum pname, const GLfloat* xyzw)
{
    if (pname != GL_POSITION) error("glLightfv: a parameter other than the position");
    log(name(lights, light) + " position " + tuple(toWorld(xyzw[0], xyzw[1], xyzw[2])) + " w " + tuple({xyzw[3]}));
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    name(faces, face);
    name(materialParts, pname);
    const bool both = pname == GL_AMBIENT_AND_DIFFUSE;  // ambient and diffuse, the parts numbered below specular
    for (int side = 0; side < 2; ++side)
        for (auto& [part, values] : gl.material[side])
            if (face != (side ? GL_FRONT : GL_BACK) && (part == pname || (both && part < GL_SPECULAR)))
                values.assign(params, params + values.size());
}

void glBegin(GLenum mode)
{
    logMaterial();
    checkNotInBegin(__func__);
    gl.primitive = name(primitives, mode) + " normal " + tuple(gl.normal);
    gl.record.faces.emplace_back();
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (gl.primitive.empty()) return error("glVertex3f outside glBegin and glEnd");
    gl.record.faces.back().push_back(toWorld(x, y, z));
    gl.primitive += " " + tuple(gl.record.faces.back().back());
}

void glEnd()
{
    if (gl.primitive.empty()) return error("glEnd without glBegin");
    gl.record.log.push_back(std::exchange(gl.primitive, ""));
}

void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    logMaterial();
    log("sphere " + tuple(toWorld(0, 0, 0)) + " radius,slices,stacks " + tuple({radius, 1. * slices, 1. * stacks}));
}

void glPolygonMode(GLenum face, GLenum mode) { log("polygonMode " + name(faces, face) + " " + name(fillModes, mode)); }
void glLightModeli(GLenum pname, GLint on) { log("lightModel " + name(lightModels, pname) + " " + std::to_string(on)); }

void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { log("viewport " + tuple({1. * x, 1. * y, 1. * w, 1. * h})); }
void glClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a) { log("clearColor " + tuple({r, g, b, a})); }
void glEnable(GLenum cap) { log("enable " + name(caps, cap)); gl.enabled.insert(cap); }
void glDisable(GLenum cap) { log("disable " + name(caps, cap)); gl.enabled.erase(cap); }
GLboolean glIsEnabled(GLenum cap) { checkNotInBegin(__func__); name(caps, cap); return gl.enabled.count(cap); }
void glShadeModel(GLenum mode) { log("shadeModel " + name(shadeModels, mode)); }
void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl.normal = {x, y, z}; }
void glFlush() { log("flush"); }
void glutSwapBuffers() { log("swap"); }
void glutPostRedisplay() { ++gl.record.redraws; }
void glutIdleFunc(void (*callback)()) { gl.record.idle = callback; }
void glutFullScreen() { log("fullScreen"); gl.record.window.toggle |= !gl.record.window.fullScreen; }
void glutLeaveFullScreen() { log("leaveFullScreen"); gl.record.window.toggle |= gl.record.window.fullScreen; }
void glutPositionWindow(int x, int y)
{
    log("positionWindow " + tuple({0.0 + x, 0.0 + y}));
    Record::Window& w = gl.record.window;
    w.toggle |= w.fullScreen;
    w.move = true, w.wantedPlace[0] = x, w.wantedPlace[1] = y;
}
void glutReshapeWindow(int width, int height)
{
    log("reshapeWindow " + tuple({0.0 + width, 0.0 + height}));
    Record::Window& w = gl.record.window;
    w.toggle |= w.fullScreen;
    w.resize = true, w.wanted[0] = width, w.wanted[1] = height;
}
int glutGet(GLenum what)
{
    checkNotInBegin(__func__);
    if (what == GLUT_SCREEN_WIDTH) return screenWidth * gl.record.window.monitors;
    if (what == GLUT_SCREEN_HEIGHT) return screenHeight;
    if (what == GLUT_WINDOW_X) return gl.record.window.place[0];
    if (what == GLUT_WINDOW_Y) return gl.record.window.place[1];
    if (what == GLUT_WINDOW_HEADER_HEIGHT) {
        const Record::Window& w = gl.record.window;
        return w.restoresPlace && !w.untitled ? Record::titleHeight : 0;
    }
    error("glutGet: a state other than the screen's size or the window's place or title bar");
    return 0;
}
#if defined(FAIRGROUND_X11)
bool fillsAMonitor(int width, int height)
{
    return height == screenHeight && (width == screenWidth || width == screenWidth * gl.record.window.monitors);
}
#endif
void glutTimerFunc(unsigned milliseconds, void (*callback)(int), int value)
{
    log("timer " + std::to_string(milliseconds));
    gl.record.timers.push_back({milliseconds, callback, value});
}
