#pragma once

// The page's GL state, and what gl.cpp, batch.cpp (handing vertices on to
// WebGL) and shape.cpp share of it.

#include "web/pipeline.h"

#include <cstdint>
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
// y over w); its position and normal are taken to eye space for lighting
// once it is handed on.
struct Vertex {
    Vector clip;
    std::array<float, 2> window;
    std::array<float, 3> position, normal;
};

// How the shader colours a vertex (page.js): white, as with lighting off;
// lit for the front, its back taking the same colour, as GL does without
// two-sided lighting; lit for each side; or, as a line of a polygon that
// shows its back, lit for the back only.
enum Lit : std::uint8_t { unlit, frontLit, bothSidesLit, backLit };

// A vertex as WebGL takes it: the position in clip space, the position and
// the normal in eye space, the places of its front and back materials in
// the batch's `materials`, and how it is lit.
struct Handed {
    Vector clip;
    std::array<float, 3> eye, normal;
    std::uint8_t front, back;
    Lit lit;
    std::uint8_t unused;
};
static_assert(sizeof(Handed) == 44, "page.js reads vertices of 44 bytes");

// The shader's uniforms: a material as ambient, diffuse, specular and
// emission colours, then the shininess and three zeros; and the lights as
// position (eye coordinates), ambient, diffuse and specular each. A light
// that is off is black everywhere.
using MaterialUniform = std::array<float, 20>;
using LightsUniform = std::array<float, 4 * 16>;
// Materials a batch can hold: with the lights, within the 128 vectors of
// uniforms that every WebGL offers a vertex shader.
constexpr std::size_t mostMaterials = 16;

// Indices are 16 bits, the size every WebGL draws.
constexpr std::size_t mostHanded = 65536;
constexpr std::size_t mostInPrimitive = mostHanded / 2;

// Batches of a frame whose buffers page.js keeps for the next frame.
constexpr std::uint32_t mostKeptBatches = 8;

// A point as the program gives it: position, then normal.
using Point = std::array<float, 6>;

// A primitive or a shape drawn since the depth buffer was cleared: what went
// into the vertices it handed on besides the state that page.js keeps, and
// where they went. The next frame takes them as they are where all of that
// is the same again, as it is for all but what moves.
struct Drawn {
    const Shape* shape;  // or nullptr: a primitive, whose points follow
    float scale;
    GLenum primitive;
    int first;  // the glBegin since the depth buffer was cleared that it starts as
    bool filled, lighting, twoSide;
    std::array<std::uint8_t, 2> materials;  // their places in the batch's
    std::uint32_t pointsFrom, pointsTo;  // in the frame's `points`
    Matrix modelView, projection;
    // What came of it: nothing, when it was out of sight.
    bool seen;
    std::uint32_t batch;  // the frame's flush it went with
    std::uint32_t handedFrom, handedTo, indicesFrom, indicesTo;  // in the frame's
    std::uint32_t handedAt, indicesAt;  // where it began in its batch
};

// What a frame has handed on so far: the vertices and indices of each batch
// in turn (a batch's indices count from its first vertex), and what they
// came from.
struct Frame {
    std::vector<Handed> handed;
    std::vector<std::uint16_t> indices;
    std::vector<Drawn> drawn;
    std::vector<Point> points;
};

struct State {
    std::vector<Matrix> modelView{identity}, projection{identity};
    std::vector<Matrix>* stack = &modelView;
    bool matricesChanged = true;  // since the two below were worked out
    Matrix modelViewProjection;
    std::array<float, 9> normalMatrix;  // row-major
    float modelViewDeterminant;  // of the upper 3x3
    Light lights[4] = {{false, {0, 0, 1, 0}, black, {1, 1, 1, 1}, {1, 1, 1, 1}},
                       {false, {0, 0, 1, 0}, black, black, black},
                       {false, {0, 0, 1, 0}, black, black, black},
                       {false, {0, 0, 1, 0}, black, black, black}};
    Material material[2] = {initialMaterial, initialMaterial};  // front, back
    std::vector<MaterialUniform> materials;  // of the batch not yet drawn
    std::array<std::uint8_t, 2> materialAt{};  // the places of the front and back materials in it
    std::array<bool, 2> materialChanged{true, true};  // since the last drawing took their places
    LightsUniform lightsNow{};  // of the batch not yet drawn
    bool lightsChanged = true;  // since then
    // What page.js's shader holds.
    std::vector<MaterialUniform> materialsUploaded;
    LightsUniform lightsUploaded{};
    bool lighting = false, depthTest = false, twoSide = false, filled = true;
    std::array<float, 3> normal{0, 0, 1};
    Vector clearColour{0, 0, 0, 0};
    GLenum primitive = 0;  // 0: outside glBegin and glEnd
    int primitivesSinceClear = 0;  // glBegin calls since the depth buffer was cleared
    std::vector<Vertex> vertices;  // of the primitive or the shape being handed on
    std::size_t pointsFrom = 0;  // the primitive's, in frame.points
    Shape* recording = nullptr;
    std::set<std::pair<std::uint16_t, std::uint16_t>> edges;  // of the shape recorded, by its points, the lesser first
    std::vector<std::uint16_t> recorded;  // the primitive's vertices, as points of the shape recorded
    std::vector<std::uint16_t> sequence;  // 0, 1, 2 ...: a GL_POLYGON's corners

    // This frame's and the last one's. The batch not yet drawn starts at
    // `batchStart` and `indicesStart`; what of it differs from the same batch
    // of the last frame, which page.js still holds, lies in `changed` and
    // `indicesChanged` (from, to; counted from the batch's start).
    Frame frame, lastFrame;
    std::size_t batchStart = 0, indicesStart = 0;
    std::uint32_t batches = 0;  // drawn this frame
    std::array<std::size_t, 2> changed{SIZE_MAX, 0}, indicesChanged{SIZE_MAX, 0};
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

inline Vector transform(const Matrix& m, const Vector& v)
{
    Vector r{};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k) r[row] += m[k * 4 + row] * v[k];
    return r;
}

// The vertex at (x, y, z) in object coordinates, with the normal `normal`.
Vertex vertexAt(float x, float y, float z, const float* normal);

// Draws the batch not yet drawn, and begins the next.
void flush();

// Flushes first where a drawing of `count` vertices, as triangles or as
// lines, would not fit in the batch.
void makeRoom(bool lines, std::size_t count);

// Takes the places of the front and back materials in the batch, and the
// lights for it: either may begin the next batch.
void takeMaterialsAndLights();
// Hands the shader the materials and lights of the batch to be drawn.
void uploadMaterialsAndLights();

// Begins to hand on the drawing's `count` vertices, in the batch that
// drawnAsBefore made room in.
void handOn(const Vertex* vertices, std::size_t count);

// A new frame: the depth buffer was cleared.
void startFrame();

// Before a glBegin or a shape: a frame that never clears the depth buffer
// is cut where its record would grow too large.
void roomForDrawing();

// Begins a drawing of `count` vertices as triangles or as `lines`: of
// `shape`, or, with nullptr, of the primitive whose points are frame.points
// from gl.pointsFrom on. Returns whether the last frame's drawing in its
// place had the same inputs: its vertices and indices are then handed on
// again and the drawing is done. Otherwise the caller works it out and
// calls drawnAnew.
bool drawnAsBefore(const Shape* shape, float scale, GLenum primitive, int first, bool lines, std::size_t count);
void drawnAnew();

// Whether all the vertices lie beyond one of the planes that bound what the
// viewer sees: then GL clips away all that they make.
bool outOfSight(const Vertex* vertices, std::size_t count);

// A polygon of the vertices handed on, by their indices.
void polygon(const std::uint16_t* corners, std::size_t count, const std::uint8_t* repeated = nullptr);

// The primitive's polygons or lines, by the indices of its vertices.
void assemble(GLenum primitive, std::size_t n);

}  // namespace web
