#pragma once

// What the page's GL, its lighting, its sphere and its GLUT share. GL's
// state lives here on the CPU; WebGL only rasterises what this hands it:
// clip-space positions with a front and a back colour per vertex.

#include "app/platform.h"

#include <array>

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

// The colour GL's lighting gives a vertex at `eye` (eye coordinates) with
// the eye-space normal `normal`, which is used as it is, never normalised.
Vector litColour(const Vector& eye, const std::array<float, 3>& normal, const Material& material,
                 const Light (&lights)[4]);

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
void webDraw(const float* vertices, int count, int lines);
}
