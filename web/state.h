#pragma once

// The page's GL state, and what gl.cpp, batch.cpp (handing vertices on to
// WebGL) and shape.cpp share of it.

#include "web/pipeline.h"

#include <set>
#include <string>
#include <utility>
#include <vector>

namespace web {

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
};
extern State gl;

// A call that real GL would reject: GL notes an error and goes on, which
// this program never expects, so the page stops and says so.
[[noreturn]] void glError(const std::string& what);
void outsideBegin(const char* call);

Vector transform(const Matrix& m, const Vector& v);

// The vertex at (x, y, z) in object coordinates, with the normal `normal`.
Vertex vertexAt(float x, float y, float z, const float* normal);

void flush();

// Begins to hand on `count` vertices, drawn as triangles or as lines, as
// the given glBegin since the depth buffer was cleared.
void handOn(const Vertex* vertices, std::size_t count, bool lines, int primitive);

// Whether all the vertices lie beyond one of the planes that bound what the
// viewer sees: then GL clips away all that they make.
bool outOfSight(const Vertex* vertices, std::size_t count);

// A polygon of the vertices handed on, by their indices.
void polygon(const std::uint16_t* corners, std::size_t count, const std::uint8_t* repeated = nullptr);

// The primitive's polygons or lines, by the indices of its vertices.
void assemble(GLenum primitive, std::size_t n);

}  // namespace web
