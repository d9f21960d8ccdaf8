// The part of OpenGL 1.x and GLU that the program uses, done on the CPU in
// float as fixed-function GL does it, with WebGL to rasterise the result.

#include "web/pipeline.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
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

// A vertex transformed to clip space and, as lines, to window space (x and
// y over w); lit from its position and normal once it is known which of
// its sides are shown.
struct Vertex {
    Vector clip;
    std::array<float, 2> window;
    std::array<float, 3> position, normal;
};

// A vertex as WebGL takes it: the position in clip space, then the front
// and the back colour in a byte a component.
struct Handed {
    Vector clip;
    std::uint32_t front, back;
};
static_assert(sizeof(Handed) == 24, "page.js reads vertices of 24 bytes");
constexpr std::uint32_t white = 0xffffffff;

// Indices are 16 bits, the size every WebGL draws.
constexpr std::size_t mostHanded = 65536;
constexpr std::size_t mostInPrimitive = mostHanded / 2;

struct State {
    std::vector<Matrix> modelView{identity}, projection{identity};
    std::vector<Matrix>* stack = &modelView;
    bool matricesChanged = true;  // since the two below were worked out
    Matrix modelViewProjection;
    std::array<float, 9> normalMatrix;  // row-major
    float modelViewDeterminant;  // of the upper 3x3
    Light lights[4] = {{false, {0, 0, 1, 0}, {}, black, {1, 1, 1, 1}, {1, 1, 1, 1}},
                       {false, {0, 0, 1, 0}, {}, black, black, black},
                       {false, {0, 0, 1, 0}, {}, black, black, black},
                       {false, {0, 0, 1, 0}, {}, black, black, black}};
    Material material[2] = {initialMaterial, initialMaterial};  // front, back
    Shading shading[2];
    bool shadingChanged[2] = {true, true};  // since `shading` was worked out
    bool lighting = false, depthTest = false, twoSide = false, filled = true;
    std::array<float, 3> normal{0, 0, 1};
    Vector clearColour{0, 0, 0, 0};
    GLenum primitive = 0;  // 0: outside glBegin and glEnd
    int primitivesSinceClear = 0;  // glBegin calls since the depth buffer was cleared
    std::vector<Vertex> vertices;  // of the primitive being drawn, or of the shape
    Shape* recording = nullptr;
    std::set<std::pair<std::uint16_t, std::uint16_t>> edges;  // of the shape recorded, by its points, the lesser first
    std::vector<std::uint16_t> recorded;  // the primitive's vertices, as points of the shape recorded
    std::vector<std::uint16_t> sequence;  // 0, 1, 2 ...: a GL_POLYGON's corners

    // For WebGL, not yet drawn.
    std::vector<Handed> handed;
    std::vector<std::uint16_t> indices;
    bool handedLines = false;

    // The vertices being handed on, a primitive's or a shape's, and where
    // each is in `handed`, lit for its front and for its back (-1: not yet).
    const Vertex* batch = nullptr;
    float depthOffset = 0;
    std::vector<std::int32_t> slots;
    bool backsHidden = false;  // the batch's polygons that turn their back are not drawn
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

std::uint32_t packed(const Vector& colour)
{
    std::uint32_t bytes = 0;
    for (int c = 3; c >= 0; --c) bytes = bytes << 8 | static_cast<std::uint32_t>(colour[c] * 255 + 0.5f);
    return bytes;
}

// Whether the back of a polygon looks other than its front.
bool twoSided() { return gl.lighting && gl.twoSide; }

// The vertex at (x, y, z) in object coordinates, with the normal `normal`.
Vertex vertexAt(float x, float y, float z, const float* normal)
{
    if (gl.matricesChanged) updateMatrices();
    Vertex v{transform(gl.modelViewProjection, {x, y, z, 1}), {}, {x, y, z}, {normal[0], normal[1], normal[2]}};
    if (!gl.filled) v.window = {v.clip[0] / v.clip[3], v.clip[1] / v.clip[3]};
    return v;
}

// Without two-sided lighting the back takes the front's colour.
std::uint32_t colourOf(const Vertex& v, bool back)
{
    if (!gl.lighting) return white;
    if (gl.shadingChanged[back]) {
        gl.shading[back] = shading(gl.material[back], gl.lights);
        gl.shadingChanged[back] = false;
    }
    std::array<float, 3> n{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) n[r] += gl.normalMatrix[r * 3 + c] * v.normal[c];
    if (back) n = {-n[0], -n[1], -n[2]};
    const auto& p = v.position;
    return packed(litColour(transform(gl.modelView.back(), {p[0], p[1], p[2], 1}), n, gl.shading[back]));
}

void flush()
{
    if (!gl.indices.empty())
        webDraw(gl.handed.data(), static_cast<int>(gl.handed.size()), gl.indices.data(),
                static_cast<int>(gl.indices.size()), gl.handedLines);
    gl.handed.clear();
    gl.indices.clear();
}

std::int32_t hand(const Vertex& v, std::uint32_t front, std::uint32_t back)
{
    Handed h{v.clip, front, back};
    if (gl.filled) h.clip[2] += gl.depthOffset * (h.clip[3] - h.clip[2]);
    gl.handed.push_back(h);
    return static_cast<std::int32_t>(gl.handed.size() - 1);
}

// Begins to hand on `count` vertices, drawn as triangles or as lines, as
// the given glBegin since the depth buffer was cleared.
void handOn(const Vertex* vertices, std::size_t count, bool lines, int primitive)
{
    if (lines != gl.handedLines) flush();
    gl.handedLines = lines;
    if (gl.handed.size() + (lines ? 2 : 1) * count > mostHanded) flush();
    gl.batch = vertices;
    gl.depthOffset = static_cast<float>(primitive) * depthStepPerPrimitive;
    gl.slots.assign(2 * count, -1);
}

// Hands on the batch's vertex for a polygon that shows its back or its
// front, lit for that side. Filled, it goes once, with the colour of each
// side as that side is first asked for (the other side takes the same
// colour until then, should the rasteriser see it); as lines, it goes once
// for each side.
std::int32_t handFor(std::uint16_t vertex, bool back)
{
    const Vertex& v = gl.batch[vertex];
    const std::uint32_t colour = colourOf(v, back);
    const std::int32_t other = gl.slots[2 * vertex + !back];
    if (gl.handedLines || other < 0) return hand(v, colour, colour);
    (back ? gl.handed[other].back : gl.handed[other].front) = colour;
    return other;
}

inline std::uint16_t handedAs(std::uint16_t vertex, bool back)
{
    std::int32_t& slot = gl.slots[2 * vertex + back];
    if (slot < 0) slot = handFor(vertex, back);
    return static_cast<std::uint16_t>(slot);
}

// Whether a polygon shows its back: the sign of its area in window
// coordinates, as GL decides it, taken in homogeneous coordinates so that
// it holds for the part in front of the viewer even when corners lie
// behind (w < 0), as a polygon seen edge-on from nearby has them.
bool turned(const std::uint16_t* corners, std::size_t count)
{
    const Vector& a = gl.batch[corners[0]].clip;
    float sum = 0;
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const Vector& b = gl.batch[corners[i]].clip;
        const Vector& c = gl.batch[corners[i + 1]].clip;
        sum += a[0] * (b[1] * c[3] - b[3] * c[1]) - a[1] * (b[0] * c[3] - b[3] * c[0]) +
               a[3] * (b[0] * c[1] - b[1] * c[0]);
    }
    return sum < 0;
}

// Whether all the vertices lie beyond one of the planes that bound what the
// viewer sees: then GL clips away all that they make.
bool outOfSight(const Vertex* vertices, std::size_t count)
{
    for (int axis = 0; axis < 3; ++axis)
        for (const float side : {-1.0f, 1.0f}) {
            std::size_t i = 0;
            while (i < count && side * vertices[i].clip[axis] > vertices[i].clip[3]) ++i;
            if (i == count) return true;
        }
    return false;
}

// A filled polygon as a fan of triangles, or in polygon mode GL_LINE its
// edges in the colour of the side it shows. An edge that two polygons share
// is drawn in one direction, so both draw the same pixels.
void polygon(const std::uint16_t* corners, std::size_t count, const std::uint8_t* repeated = nullptr)
{
    if (gl.recording) {
        Shape& shape = *gl.recording;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t a = gl.recorded[corners[i]], b = gl.recorded[corners[(i + 1) % count]];
            shape.corners.push_back(a);
            shape.repeated.push_back(!gl.edges.insert({std::min(a, b), std::max(a, b)}).second);
        }
        shape.sizes.push_back(static_cast<std::uint16_t>(count));
        return;
    }
    // Filled, a triangle with two corners the same, as at a sphere's poles,
    // has no area: nothing to draw.
    if (!gl.handedLines && count == 3 &&
        (corners[0] == corners[1] || corners[1] == corners[2] || corners[2] == corners[0]))
        return;
    const bool away = (twoSided() || gl.backsHidden) && turned(corners, count);
    const bool back = away && twoSided();
    if (!gl.handedLines) {
        if (away && gl.backsHidden) return;
        const std::uint16_t first = handedAs(corners[0], back);
        std::uint16_t last = handedAs(corners[1], back);
        for (std::size_t i = 2; i < count; ++i) {
            const std::uint16_t next = handedAs(corners[i], back);
            gl.indices.insert(gl.indices.end(), {first, last, next});
            last = next;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (repeated && repeated[i]) continue;
        std::uint16_t a = corners[i], b = corners[(i + 1) % count];
        if (gl.batch[b].window < gl.batch[a].window) std::swap(a, b);
        gl.indices.push_back(handedAs(a, back));
        gl.indices.push_back(handedAs(b, back));
    }
}

void line(std::uint16_t a, std::uint16_t b)
{
    if (gl.recording) fail("lines in a recorded shape are not done in the browser");
    gl.indices.push_back(handedAs(a, false));
    gl.indices.push_back(handedAs(b, false));
}

// The primitive's polygons or lines, by the indices of its vertices.
void assemble(GLenum primitive, std::size_t n)
{
    using Index = std::uint16_t;
    switch (primitive) {
    case GL_LINES:
        for (Index i = 0; i + 1u < n; i += 2) line(i, i + 1);
        break;
    case GL_TRIANGLES:
        for (Index i = 0; i + 2u < n; i += 3) {
            const Index corners[] = {i, Index(i + 1), Index(i + 2)};
            polygon(corners, 3);
        }
        break;
    case GL_TRIANGLE_STRIP:  // every other triangle turned, so that all face the same way
        for (Index i = 0; i + 2u < n; ++i) {
            const Index corners[] = {Index(i + i % 2), Index(i + 1 - i % 2), Index(i + 2)};
            polygon(corners, 3);
        }
        break;
    case GL_QUADS:
        for (Index i = 0; i + 3u < n; i += 4) {
            const Index corners[] = {i, Index(i + 1), Index(i + 2), Index(i + 3)};
            polygon(corners, 4);
        }
        break;
    case GL_POLYGON:
        if (n >= 3) {
            for (std::size_t i = gl.sequence.size(); i < n; ++i) gl.sequence.push_back(static_cast<Index>(i));
            polygon(gl.sequence.data(), n);
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
    gl.shadingChanged[0] = gl.shadingChanged[1] = true;
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
    for (int c = 0; c < 3; ++c) l.place[c] = l.position[c] / l.position[3];
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
        if (std::memcmp(&before, &m, sizeof m) != 0) gl.shadingChanged[side] = true;
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
    gl.recorded.clear();
    ++(gl.recording ? gl.recording->primitives : gl.primitivesSinceClear);
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!gl.primitive) return;  // GL ignores a vertex outside glBegin and glEnd
    if (gl.vertices.size() + gl.recorded.size() == mostInPrimitive)
        fail("more vertices between glBegin and glEnd than the browser's GL draws at once");
    if (!gl.recording) {
        gl.vertices.push_back(vertexAt(x, y, z, gl.normal.data()));
        return;
    }
    const std::array<float, 6> point{x, y, z, gl.normal[0], gl.normal[1], gl.normal[2]};
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
    if (!gl.recording) {
        if (outOfSight(gl.vertices.data(), gl.vertices.size())) return;
        handOn(gl.vertices.data(), gl.vertices.size(), primitive == GL_LINES || !gl.filled, gl.primitivesSinceClear);
    }
    assemble(primitive, gl.recording ? gl.recorded.size() : gl.vertices.size());
}

namespace web {
namespace {

// A convex solid seen from outside hides, filled, the polygons that turn
// their back on the viewer: seen in perspective (w = -z, the viewer at the
// origin), neither mirrored nor turned inside out, and wholly in front of
// the viewer and of the near plane, which would otherwise open it.
bool hidesBacks(const Shape& shape, float scale)
{
    const Matrix& p = gl.projection.back();
    const bool perspective = p[3] == 0 && p[7] == 0 && p[11] < 0 && p[15] == 0;
    if (!shape.solid || !gl.filled || !(scale > 0) || !perspective || !(p[0] * p[5] - p[4] * p[1] > 0) ||
        !(gl.modelViewDeterminant > 0))
        return false;
    for (const Vertex& v : gl.vertices)
        if (!(v.clip[3] > 0 && v.clip[2] >= -v.clip[3])) return false;
    return true;
}

}  // namespace

void record(Shape& shape, const std::function<void()>& draw)
{
    outsideBegin(__func__);
    const auto normal = gl.normal;
    gl.recording = &shape;
    gl.edges.clear();
    draw();
    gl.recording = nullptr;
    gl.normal = normal;
}

void drawShape(const Shape& shape, float scale)
{
    outsideBegin(__func__);
    gl.vertices.clear();
    for (const auto& p : shape.points) gl.vertices.push_back(vertexAt(p[0] * scale, p[1] * scale, p[2] * scale, &p[3]));
    const int first = gl.primitivesSinceClear + 1;
    gl.primitivesSinceClear += shape.primitives;
    if (outOfSight(gl.vertices.data(), gl.vertices.size())) return;
    handOn(gl.vertices.data(), gl.vertices.size(), !gl.filled, first);
    gl.backsHidden = hidesBacks(shape, scale);
    const std::uint16_t* corners = shape.corners.data();
    const std::uint8_t* repeated = shape.repeated.data();
    for (const std::uint16_t size : shape.sizes) {
        polygon(corners, size, repeated);
        corners += size;
        repeated += size;
    }
    gl.backsHidden = false;
}

}  // namespace web

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
