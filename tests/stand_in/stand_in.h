#pragma once

// A recording stand-in for the GL, GLU and GLUT functions the program calls,
// linked in place of the real libraries. It keeps what the tests reason
// about: both matrix stacks with real matrix math, the current normal, each
// face's material, enabled capabilities, polygon mode, light positions, the
// faces and spheres drawn, redraw requests and the callbacks.

#include "app/platform.h"

#include <array>
#include <set>
#include <string>
#include <vector>

namespace standin {

using Vec3 = std::array<double, 3>;
using Color = std::array<float, 4>;
using Mat4 = std::array<double, 16>;  // column-major, as OpenGL stores it

Mat4 identity();
Vec3 transformPoint(const Mat4& m, const Vec3& p);
Vec3 transformDirection(const Mat4& m, const Vec3& d);

struct Material {
    Color ambient{0.2f, 0.2f, 0.2f, 1.0f};
    Color diffuse{0.8f, 0.8f, 0.8f, 1.0f};
    Color specular{0.0f, 0.0f, 0.0f, 1.0f};
    Color emission{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
};

// One glBegin/glEnd pair, with the state it was drawn in.
struct Primitive {
    GLenum mode = 0;
    Vec3 normal{};               // the current normal at glBegin, as given
    std::vector<Vec3> vertices;  // as given to glVertex
    std::vector<Vec3> world;     // in world coordinates (the camera removed)
    Mat4 toWorld{};              // from the vertices' own coordinates to world
    Material front, back;
};

struct Sphere {
    Vec3 world{};  // the centre
    double radius = 0;
    int slices = 0, stacks = 0;
    Material front;
};

struct LightPosition {
    GLenum light = 0;
    Vec3 world{};
};

struct Recorder {
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Mat4> modelViewStack{identity()}, projectionStack{identity()};
    Mat4 view = identity();     // model-view right after the latest gluLookAt
    Mat4 viewInverse = identity();

    std::set<GLenum> enabled;
    Material front, back;
    Vec3 normal{0, 0, 1};
    GLenum polygonModeFront = GL_FILL, polygonModeBack = GL_FILL;
    GLenum shadeModel = GL_SMOOTH;
    int lightModelTwoSide = 0;
    Color clearColor{};
    GLbitfield clearMask = 0;
    std::array<int, 4> viewport{};

    std::vector<Primitive> primitives;
    std::vector<Sphere> spheres;
    std::vector<LightPosition> lightPositions;
    bool insideBegin = false;
    int swaps = 0;
    int redisplayRequests = 0;

    void (*idle)() = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*display)() = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;

    // Window and start-up calls with their arguments, in order, where the
    // order or the window itself is the point; misuse real GL would flag.
    std::vector<std::string> calls;
    std::vector<std::string> errors;

    const Mat4& modelView() const { return modelViewStack.back(); }
    const Mat4& projection() const { return projectionStack.back(); }
};

Recorder& gl();
// Back to OpenGL's initial state with nothing recorded.
void reset();

}  // namespace standin
