#pragma once

// What the page's GL, its lighting, its sphere and its GLUT share. GL's
// state lives here on the CPU; WebGL only rasterises what this hands it:
// clip-space positions with a front and a back colour per vertex, and the
// vertices of each triangle or line by index.

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
    std::array<float, 3> place;  // the position divided by its w
    Vector ambient, diffuse, specular;
};

struct Material {
    Vector ambient, diffuse, specular, emission;
    float shininess;
};

// What GL's lighting makes of a material under the lights, worked out once
// for all the vertices lit with both: the light that falls everywhere
// (emission and ambient), and for each light that shines, what its diffuse
// and specular light add. A light whose colours are all black, as the
// scene's lights 1 to 3, adds nothing wherever it is.
struct Shading {
    Vector base;  // alpha: the diffuse colour's
    float shininess;
    struct Lit {
        const Light* light;
        std::array<float, 3> diffuse, specular;
    };
    std::array<Lit, 4> lights;
    int shining;  // of the lights
};
Shading shading(const Material& material, const Light (&lights)[4]);

// The colour GL's lighting gives a vertex at `eye` (eye coordinates) with
// the eye-space normal `normal`, which is used as it is, never normalised.
Vector litColour(const Vector& eye, const std::array<float, 3>& normal, const Shading& shading);

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
void webDraw(const void* vertices, int count, const std::uint16_t* indices, int indexCount, int lines);
}
