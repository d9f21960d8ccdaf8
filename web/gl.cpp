// The part of OpenGL 1.x and GLU that the program uses, done on the CPU in
// float as fixed-function GL does it, with WebGL to rasterise the result.

#include "web/state.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace web {

State gl;

void glError(const std::string& what) { fail(("GL error: " + what).c_str()); }

void outsideBegin(const char* call)
{
    if (gl.primitive) glError(std::string(call) + " between glBegin and glEnd");
}

namespace {

void unsupported(const std::string& call, GLenum value)
{
    fail((call + ": " + std::to_string(value) + " is not done in the browser").c_str());
}

Matrix multiply(const Matrix& a, const Matrix& b)
{
    Matrix m{};
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k) m[column * 4 + row] += a[k * 4 + row] * b[column * 4 + k];
    return m;
}

void multiplyTop(const Matrix& m)
{
    outsideBegin("a matrix operation");
    gl.stack->back() = multiply(gl.stack->back(), m);
    gl.matricesChanged = true;
}

// The position goes to clip space by the product of the two matrices, as
// Mesa does it, so that surfaces at one depth are ordered alike. Normals go
// to eye space by the inverse transpose of the model-view matrix's upper
// 3x3: the cofactors divided by the determinant.
void updateMatrices()
{
    const Matrix& m = gl.modelView.back();
    gl.modelViewProjection = multiply(gl.projection.back(), m);
    auto at = [&m](int row, int column) { return m[column * 4 + row]; };
    float cofactor[3][3];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            cofactor[r][c] = at((r + 1) % 3, (c + 1) % 3) * at((r + 2) % 3, (c + 2) % 3) -
                             at((r + 1) % 3, (c + 2) % 3) * at((r + 2) % 3, (c + 1) % 3);
    const float determinant = at(0, 0) * cofactor[0][0] + at(0, 1) * cofactor[0][1] + at(0, 2) * cofactor[0][2];
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) gl.normalMatrix[r * 3 + c] = cofactor[r][c] / determinant;
    gl.modelViewDeterminant = determinant;
    gl.matricesChanged = false;
}

}  // namespace

// The vertex at (x, y, z) in object coordinates, with the normal `normal`.
Vertex vertexAt(float x, float y, float z, const float* normal)
{
    if (gl.matricesChanged) updateMatrices();
    Vertex v{transform(gl.modelViewProjection, {x, y, z, 1}), {}, {x, y, z}, {normal[0], normal[1], normal[2]}};
    if (!gl.filled) v.window = {v.clip[0] / v.clip[3], v.clip[1] / v.clip[3]};
    return v;
}

namespace {

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
    gl.lightsChanged = true;
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
    gl.matricesChanged = true;
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
    gl.matricesChanged = true;
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
    Light& l = light(__func__, which);
    l.position = transform(gl.modelView.back(), {params[0], params[1], params[2], params[3]});
    gl.lightsChanged = true;
}

void glMaterialfv(GLenum face, GLenum pname, const GLfloat* params)
{
    // GL allows it, but the vertices of a primitive are lit at glEnd.
    if (gl.primitive) fail("glMaterialfv between glBegin and glEnd is not done in the browser");
    if (face != GL_FRONT && face != GL_BACK && face != GL_FRONT_AND_BACK) glError("glMaterialfv: invalid face");
    if (pname == GL_SHININESS && (params[0] < 0 || params[0] > 128)) glError("glMaterialfv: shininess out of range");
    const Vector v{params[0], params[1], params[2], params[3]};
    for (int side = 0; side < 2; ++side) {
        if (face == (side ? GL_FRONT : GL_BACK)) continue;
        Material& m = gl.material[side];
        const Material before = m;
        switch (pname) {
        case GL_AMBIENT_AND_DIFFUSE: m.ambient = m.diffuse = v; break;
        case GL_SPECULAR: m.specular = v; break;
        case GL_EMISSION: m.emission = v; break;
        case GL_SHININESS: m.shininess = params[0]; break;
        default: unsupported(__func__, pname);
        }
        // The program sets the same material again and again.
        if (std::memcmp(&before, &m, sizeof m) != 0) gl.materialChanged[side] = true;
    }
}

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) { gl.normal = {x, y, z}; }

void glBegin(GLenum mode)
{
    outsideBegin(__func__);
    if (mode != GL_LINES && mode != GL_TRIANGLES && mode != GL_TRIANGLE_STRIP && mode != GL_QUADS &&
        mode != GL_POLYGON)
        unsupported(__func__, mode);
    if (!gl.recording) roomForDrawing();
    gl.primitive = mode;
    gl.pointsFrom = gl.frame.points.size();
    gl.recorded.clear();
    ++(gl.recording ? gl.recording->primitives : gl.primitivesSinceClear);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gl.primitive) return;  // GL ignores a vertex outside glBegin and glEnd
    if ((gl.recording ? gl.recorded.size() : gl.frame.points.size() - gl.pointsFrom) == mostInPrimitive)
        fail("more vertices between glBegin and glEnd than the browser's GL draws at once");
    const Point point{x, y, z, gl.normal[0], gl.normal[1], gl.normal[2]};
    if (!gl.recording) {
        gl.frame.points.push_back(point);
        return;
    }
    auto& points = gl.recording->points;
    const auto same = std::find(points.begin(), points.end(), point);
    gl.recorded.push_back(static_cast<std::uint16_t>(same - points.begin()));
    if (same != points.end()) return;
    if (points.size() == mostInPrimitive) fail("a shape larger than the browser's GL draws at once");
    points.push_back(point);
}

void glEnd()
{
    if (!gl.primitive) glError("glEnd without glBegin");
    const GLenum primitive = gl.primitive;
    gl.primitive = 0;
    if (gl.recording) {
        assemble(primitive, gl.recorded.size());
        return;
    }
    const bool lines = primitive == GL_LINES || !gl.filled;
    if (drawnAsBefore(nullptr, 1, primitive, gl.primitivesSinceClear, lines, gl.frame.points.size() - gl.pointsFrom))
        return;
    gl.vertices.clear();
    for (std::size_t i = gl.pointsFrom; i < gl.frame.points.size(); ++i) {
        const Point& p = gl.frame.points[i];
        gl.vertices.push_back(vertexAt(p[0], p[1], p[2], &p[3]));
    }
    if (!outOfSight(gl.vertices.data(), gl.vertices.size())) {
        handOn(gl.vertices.data(), gl.vertices.size());
        assemble(primitive, gl.vertices.size());
    }
    drawnAnew();
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
    if (mask & GL_DEPTH_BUFFER_BIT) {
        gl.primitivesSinceClear = 0;
        startFrame();
    }
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
