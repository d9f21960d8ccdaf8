// The part of OpenGL 1.x and GLU that the program uses, done on the CPU in
// float as fixed-function GL does it, with WebGL to rasterise the result.

#include "web/pipeline.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace web {
namespace {

constexpr Matrix identity{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
constexpr Vector black{0, 0, 0, 1};
// Where two filled surfaces lie at one depth and overlap, as two spokes of
// the wheel do at the hub, GL_LESS keeps the one drawn first; Chromium's
// software renderer rounds so that the later one often wins. So each glBegin
// since the depth buffer was cleared moves its polygons this much further
// back (in normalised device coordinates, towards the far plane, which it
// never crosses): a few steps of a 24-bit depth buffer, and over a frame's
// few hundred primitives still far less than the depth between any two
// surfaces that are really apart. Lines are left alone: edges that two
// polygons share are drawn from the same vertices and so tie exactly.
constexpr float depthStepPerPrimitive = 1.0f / (1 << 21);
constexpr Material initialMaterial{{0.2f, 0.2f, 0.2f, 1}, {0.8f, 0.8f, 0.8f, 1}, black, black, 0};

struct Vertex {
    Vector clip, front, back;
};

struct State {
    std::vector<Matrix> modelView{identity}, projection{identity};
    std::vector<Matrix>* stack = &modelView;
    Light lights[4] = {{false, {0, 0, 1, 0}, black, {1, 1, 1, 1}, {1, 1, 1, 1}},
                       {false, {0, 0, 1, 0}, black, black, black},
                       {false, {0, 0, 1, 0}, black, black, black},
                       {false, {0, 0, 1, 0}, black, black, black}};
    Material material[2] = {initialMaterial, initialMaterial};  // front, back
    bool lighting = false, depthTest = false, twoSide = false, filled = true;
    std::array<float, 3> normal{0, 0, 1};
    Vector clearColour{0, 0, 0, 0};
    GLenum primitive = 0;  // 0: outside glBegin and glEnd
    int primitivesSinceClear = 0;  // glBegin calls since the depth buffer was cleared
    std::vector<Vertex> vertices;  // of the primitive being drawn
    std::vector<float> pending;  // for WebGL, not yet drawn
    bool pendingLines = false;
} gl;

// A call that real GL would reject: GL notes an error and goes on, which
// this program never expects, so the page stops and says so.
[[noreturn]] void glError(const std::string& what) { fail(("GL error: " + what).c_str()); }
void unsupported(const std::string& call, GLenum value)
{
    fail((call + ": " + std::to_string(value) + " is not done in the browser").c_str());
}
void outsideBegin(const char* call)
{
    if (gl.primitive) glError(std::string(call) + " between glBegin and glEnd");
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) m[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return m;
}

Vector transform(const Matrix& m, const Vector& v)
{
    Vector r{};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k) r[row] += m[k * 4 + row] * v[k];
    return r;
}

void multiplyTop(const Matrix& m)
{
    outsideBegin("a matrix operation");
    gl.stack->back() = multiply(gl.stack->back(), m);
}

// Normals go to eye space by the inverse transpose of the model-view
// matrix's upper 3x3: the cofactors divided by the determinant.
std::array<float, 3> eyeNormal()
{
    const Matrix& m = gl.modelView.back();
    auto at = [&m](int row, int column) { return m[column * 4 + row]; };
    float cofactor[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            cofactor[r][c] = at((r + 1) % 3, (c + 1) % 3) * at((r + 2) % 3, (c + 2) % 3) -
                             at((r + 1) % 3, (c + 2) % 3) * at((r + 2) % 3, (c + 1) % 3);
    const float determinant = at(0, 0) * cofactor[0][0] + at(0, 1) * cofactor[0][1] + at(0, 2) * cofactor[0][2];
    std::array<float, 3> n{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) n[r] += cofactor[r][c] * gl.normal[c] / determinant;
    return n;
}

void flush()
{
    if (gl.pending.empty()) return;
    webDraw(gl.pending.data(), static_cast<int>(gl.pending.size() / 12), gl.pendingLines);
    gl.pending.clear();
}

void emit(const Vertex& v, bool lines, const Vector* colour = nullptr)
{
    if (lines != gl.pendingLines) flush();
    gl.pendingLines = lines;
    gl.pending.insert(gl.pending.end(), v.clip.begin(), v.clip.end());
    gl.pending.insert(gl.pending.end(), (colour ? *colour : v.front).begin(), (colour ? *colour : v.front).end());
    gl.pending.insert(gl.pending.end(), (colour ? *colour : v.back).begin(), (colour ? *colour : v.back).end());
}

// Twice the signed area in window coordinates, as GL decides which side of
// a polygon faces the viewer.
float area(const std::vector<const Vertex*>& polygon)
{
    float sum = 0;
    for (size_t i = 0; i < polygon.size(); ++i) {
        const Vector& a = polygon[i]->clip;
        const Vector& b = polygon[(i + 1) % polygon.size()]->clip;
        sum += a[0] / a[3] * (b[1] / b[3]) - b[0] / b[3] * (a[1] / a[3]);
    }
    return sum;
}

// A filled polygon as a fan of triangles, or in polygon mode GL_LINE its
// edges in the colour of the side it shows. An edge that two polygons share
// is drawn in one direction, so both draw the same pixels.
void polygon(const std::vector<const Vertex*>& corners)
{
    if (gl.filled) {
        for (size_t i = 1; i + 1 < corners.size(); ++i)
            for (const Vertex* v : {corners[0], corners[i], corners[i + 1]}) emit(*v, false);
        return;
    }
    const bool back = gl.twoSide && area(corners) < 0;
    for (size_t i = 0; i < corners.size(); ++i) {
        const Vertex* a = corners[i];
        const Vertex* b = corners[(i + 1) % corners.size()];
        if (std::make_pair(b->clip[0] / b->clip[3], b->clip[1] / b->clip[3]) <
            std::make_pair(a->clip[0] / a->clip[3], a->clip[1] / a->clip[3]))
            std::swap(a, b);
        emit(*a, true, back ? &a->back : &a->front);
        emit(*b, true, back ? &b->back : &b->front);
    }
}

void assemble(GLenum primitive, const std::vector<Vertex>& v)
{
    const size_t n = v.size();
    switch (primitive) {
    case GL_LINES:
        for (size_t i = 0; i + 1 < n; i += 2) emit(v[i], true), emit(v[i + 1], true);
        break;
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < n; i += 3) polygon({&v[i], &v[i + 1], &v[i + 2]});
        break;
    case GL_TRIANGLE_STRIP:  // every other triangle turned, so that all face the same way
        for (size_t i = 0; i + 2 < n; ++i)
            polygon(i % 2 ? std::vector<const Vertex*>{&v[i + 1], &v[i], &v[i + 2]}
                          : std::vector<const Vertex*>{&v[i], &v[i + 1], &v[i + 2]});
        break;
    case GL_QUADS:
        for (size_t i = 0; i + 3 < n; i += 4) polygon({&v[i], &v[i + 1], &v[i + 2], &v[i + 3]});
        break;
    case GL_POLYGON:
        if (n >= 3) {
            std::vector<const Vertex*> corners;
            for (const Vertex& vertex : v) corners.push_back(&vertex);
            polygon(corners);
        }
        break;
    }
}

Light& light(const char* call, GLenum which)
{
    if (which < GL_LIGHT0 || which > GL_LIGHT3) unsupported(call, which);
    return gl.lights[which - GL_LIGHT0];
}

bool& capability(const char* call, GLenum cap)
{
    outsideBegin(call);
    if (cap == GL_DEPTH_TEST) return gl.depthTest;
    if (cap == GL_LIGHTING) return gl.lighting;
    return light(call, cap).enabled;
}

void setCapability(const char* call, GLenum cap, bool on)
{
    bool& enabled = capability(call, cap);
    if (cap == GL_DEPTH_TEST && enabled != on) {
        flush();
        webDepthTest(on);
    }
    enabled = on;
}

}  // namespace

}  // namespace web

using namespace web;

void glMatrixMode(GLenum mode)
{
    outsideBegin(__func__);
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) unsupported(__func__, mode);
    gl.stack = mode == GL_MODELVIEW ? &gl.modelView : &gl.projection;
}

void glLoadIdentity()
{
    outsideBegin(__func__);
    gl.stack->back() = identity;
}

void glPushMatrix()
{
    outsideBegin(__func__);
    if (gl.stack->size() == (gl.stack == &gl.modelView ? 32u : 2u)) glError("stack overflow");
    gl.stack->push_back(gl.stack->back());
}

void glPopMatrix()
{
    outsideBegin(__func__);
    if (gl.stack->size() == 1) glError("stack underflow");
    gl.stack->pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) { multiplyTop({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1}); }

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    const float length = std::sqrt(x * x + y * y + z * z);
    if (length == 0) return;
    const float u[3] = {x / length, y / length, z / length};
    // The sine and cosine in double, as Mesa takes them: a half turn then
    // leaves a plane at one depth, not tilted by float's error in pi.
    const float c = static_cast<float>(std::cos(angle * M_PI / 180));
    const float s = static_cast<float>(std::sin(angle * M_PI / 180));
    Matrix m = identity;
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row)
            m[column * 4 + row] = u[row] * u[column] * (1 - c) +
                                  (row == column ? c : (column == (row + 1) % 3 ? -s : s) * u[3 - row - column]);
    multiplyTop(m);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    const double f = 1 / std::tan(fovy * M_PI / 360), depth = zNear - zFar;
    if (depth == 0 || aspect == 0 || f == 0) return;  // as GLU, which leaves the matrix
    const auto single = [](double value) { return static_cast<float>(value); };
    multiplyTop({single(f / aspect), 0, 0, 0, 0, single(f), 0, 0, 0, 0, single((zFar + zNear) / depth), -1, 0, 0,
                 single(2 * zFar * zNear / depth), 0});
}

// As GLU does it: the axes in float, then a translation to the eye.
void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centerX, GLdouble centerY, GLdouble centerZ,
               GLdouble upX, GLdouble upY, GLdouble upZ)
{
    auto normalised = [](std::array<float, 3> v) {
        const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        if (length != 0)
            for (float& c : v) c /= length;
        return v;
    };
    auto cross = [](const std::array<float, 3>& a, const std::array<float, 3>& b) {
        return std::array<float, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const auto forward = normalised({static_cast<float>(centerX - eyeX), static_cast<float>(centerY - eyeY),
                                     static_cast<float>(centerZ - eyeZ)});
    const auto side = normalised(cross(forward, {static_cast<float>(upX), static_cast<float>(upY),
                                                 static_cast<float>(upZ)}));
    const auto up = cross(side, forward);
    multiplyTop({side[0], up[0], -forward[0], 0, side[1], up[1], -forward[1], 0, side[2], up[2], -forward[2], 0,
                 0, 0, 0, 1});
    glTranslatef(static_cast<float>(-eyeX), static_cast<float>(-eyeY), static_cast<float>(-eyeZ));
}

void glEnable(GLenum cap) { setCapability(__func__, cap, true); }
void glDisable(GLenum cap) { setCapability(__func__, cap, false); }
GLboolean glIsEnabled(GLenum cap) { return capability(__func__, cap); }

void glShadeModel(GLenum mode)
{
    outsideBegin(__func__);
    if (mode != GL_SMOOTH) unsupported(__func__, mode);
}

void glLightModeli(GLenum pname, GLint value)
{
    outsideBegin(__func__);
    if (pname != GL_LIGHT_MODEL_TWO_SIDE) unsupported(__func__, pname);
    gl.twoSide = value != 0;
}

void glPolygonMode(GLenum face, GLenum mode)
{
    outsideBegin(__func__);
    if (face != GL_FRONT_AND_BACK) unsupported(__func__, face);
    if (mode != GL_FILL && mode != GL_LINE) unsupported(__func__, mode);
    gl.filled = mode == GL_FILL;
}

void glLightfv(GLenum which, GLenum pname, const GLfloat* params)
{
    outsideBegin(__func__);
    if (pname != GL_POSITION) unsupported(__func__, pname);
    light(__func__, which).position = transform(gl.modelView.back(), {params[0], params[1], params[2], params[3]});
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) glError("glMaterialfv: invalid face");
    if (pname == GL_SHININESS && (params[0] < 0 || params[0] > 128)) glError("glMaterialfv: shininess out of range");
    const Vector v{params[0], params[1], params[2], params[3]};
    for (int side = 0; side < 2; ++side) {
        if (face == (side ? GL_FRONT : GL_BACK)) continue;
        Material& m = gl.material[side];
        switch (pname) {
        case GL_AMBIENT_AND_DIFFUSE: m.ambient = m.diffuse = v; break;
        case GL_SPECULAR: m.specular = v; break;
        case GL_EMISSION: m.emission = v; break;
        case GL_SHININESS: m.shininess = params[0]; break;
        default: unsupported(__func__, pname);
        }
    }
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl.normal = {x, y, z}; }

void glBegin(GLenum mode)
{
    outsideBegin(__func__);
    if (mode != GL_LINES && mode != GL_TRIANGLES && mode != GL_TRIANGLE_STRIP && mode != GL_QUADS &&
        mode != GL_POLYGON)
        unsupported(__func__, mode);
    gl.primitive = mode;
    gl.vertices.clear();
    ++gl.primitivesSinceClear;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gl.primitive) return;  // GL ignores a vertex outside glBegin and glEnd
    const Vector eye = transform(gl.modelView.back(), {x, y, z, 1});
    // The position by the product of the two matrices, as Mesa does it, so
    // that surfaces at one depth are ordered alike.
    const Matrix modelViewProjection = multiply(gl.projection.back(), gl.modelView.back());
    Vertex v{transform(modelViewProjection, {x, y, z, 1}), {1, 1, 1, 1}, {1, 1, 1, 1}};  // unlit: white
    if (gl.filled)
        v.clip[2] += static_cast<float>(gl.primitivesSinceClear) * depthStepPerPrimitive * (v.clip[3] - v.clip[2]);
    if (gl.lighting) {
        const std::array<float, 3> n = eyeNormal();
        v.front = litColour(eye, n, gl.material[0], gl.lights);
        v.back = gl.twoSide ? litColour(eye, {-n[0], -n[1], -n[2]}, gl.material[1], gl.lights) : v.front;
    }
    gl.vertices.push_back(v);
}

void glEnd()
{
    if (!gl.primitive) glError("glEnd without glBegin");
    assemble(gl.primitive, gl.vertices);
    gl.primitive = 0;
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    outsideBegin(__func__);
    if (width < 0 || height < 0) glError("glViewport: negative size");
    flush();
    webViewport(x, y, width, height);
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha)
{
    outsideBegin(__func__);
    auto clamped = [](float c) { return c < 0 ? 0 : c > 1 ? 1 : c; };
    gl.clearColour = {clamped(red), clamped(green), clamped(blue), clamped(alpha)};
}

void glClear(GLbitfield mask)
{
    outsideBegin(__func__);
    if (mask & ~static_cast<GLbitfield>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT)) unsupported(__func__, mask);
    flush();
    if (mask & GL_DEPTH_BUFFER_BIT) gl.primitivesSinceClear = 0;
    webClear(gl.clearColour[0], gl.clearColour[1], gl.clearColour[2], gl.clearColour[3], mask);
}

void glFlush()
{
    outsideBegin(__func__);
    flush();
}

void glGetFloatv(GLenum pname, GLfloat* params)
{
    if (pname != GL_CURRENT_NORMAL) unsupported(__func__, pname);
    for (float c : gl.normal) *params++ = c;
}
