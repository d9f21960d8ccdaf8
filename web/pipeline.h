#pragma once

// What the page's GL, its sphere and its GLUT share. GL's state lives here
// on the CPU, which transforms each vertex; WebGL's shader lights it as GL
// does and rasterises the triangles and lines that this hands it by index.

#include "app/platform.h"

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace web {

using Vector = std::array<float, 4>;
using Matrix = std::array<float, 16>;  // column-major, as GL keeps it

struct Light {
    bool enabled;
    Vector position;  // in eye coordinates, as GL keeps it
    Vector ambient, diffuse, specular;
};

struct Material {
    Vector ambient, diffuse, specular, emission;
    float shininess;
};

// A shape drawn again and again under other matrices and materials,
// recorded once: each distinct point (position and normal) is then
// transformed and lit once a drawing, however many polygons share it.
struct Shape {
    std::vector<std::array<float, 6>> points;  // position, normal
    std::vector<std::uint16_t> corners;  // of each polygon in turn, as indices into points
    std::vector<std::uint16_t> sizes;  // corners of each polygon
    // For each polygon's edges in turn, whether an earlier polygon has the
    // same edge: drawn again as a line, from the same vertices at the same
    // depth, it would change no pixel.
    std::vector<std::uint8_t> repeated;
    int primitives = 0;  // glBegin calls recorded
    bool solid = false;  // closed and convex, its polygons wound counter-clockwise seen from outside
};

// Runs `draw`, whose glNormal3f, glBegin, glVertex3f and glEnd go into
// `shape` instead of being drawn.
void record(Shape& shape, const std::function<void()>& draw);

// Draws `shape` with its positions scaled by `scale`. Its polygons share
// one step back in depth (see gl.cpp), which is enough as long as they do
// not overlap one another.
void drawShape(const Shape& shape, float scale);

// Stops the page with a message shown in it: the program asked for
// something that this GL or GLUT does not do.
[[noreturn]] void fail(const char* what);

}  // namespace web

// Provided by page.js.
extern "C" {
void webFail(const char* message);
void webClear(float red, float green, float blue, float alpha, unsigned mask);
void webViewport(int x, int y, int width, int height);
void webDepthTest(int on);
// Draws a batch, the frame's `batch`th: of it, only the vertices from
// `changedFrom` to `changedTo` and the indices from `indicesFrom` to
// `indicesTo` differ from the same batch of the last frame.
void webMaterials(const float* materials, int count);
void webLights(const float* lights);
void webDraw(const void* vertices, int count, const std::uint16_t* indices, int indexCount, int lines, int batch,
             int changedFrom, int changedTo, int indicesFrom, int indicesTo);
}
