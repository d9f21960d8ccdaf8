#pragma once

// A recording stand-in for the GL, GLU and GLUT functions the program calls.
// It is linked in place of the real libraries and keeps the state that the
// tests reason about: both matrix stacks with real matrix math, the current
// normal, the material of each face, enabled capabilities, polygon mode, the
// light positions and spheres drawn, redraw requests and the idle callback.

#include <GL/glut.h>

#include <array>
#include <set>
#include <string>
#include <vector>

namespace standin {

using Vec3 = std::array<double, 3>;
using Vec4 = std::array<double, 4>;
using Color = std::array<float, 4>;
using Mat4 = std::array<double, 16>;  // column-major, as OpenGL stores it

Mat4 identity();
Mat4 multiply(const Mat4& a, const Mat4& b);
Mat4 inverse(const Mat4& m);
Vec4 transform(const Mat4& m, const Vec4& v);
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
    std::vector<Vec3> vertices;  // as given to glVertex
    std::vector<Vec3> world;     // in world coordinates (the camera removed)
    Vec3 normal{};               // the current normal at glBegin, as given
    Vec3 worldNormal{};          // that normal turned into world axes
    Material front;
    Material back;
    GLenum polygonModeFront = GL_FILL;
    GLenum polygonModeBack = GL_FILL;
    Mat4 modelView{};
};

struct Sphere {
    Vec3 world{};  // the centre, in world coordinates
    double radius = 0;
    int slices = 0;
    int stacks = 0;
    Material front;
    Material back;
};

struct LightPosition {
    GLenum light = 0;
    Color given{};
    Vec4 eyeSpace{};
    Vec3 world{};
};

struct Recorder {
    // matrices
    GLenum matrixMode = GL_MODELVIEW;
    std::vector<Mat4> modelViewStack{identity()};
    std::vector<Mat4> projectionStack{identity()};
    Mat4 view = identity();  // model-view right after the latest gluLookAt

    // fixed-function state
    std::set<GLenum> enabled;
    Material front;
    Material back;
    Vec3 normal{0, 0, 1};
    GLenum polygonModeFront = GL_FILL;
    GLenum polygonModeBack = GL_FILL;
    GLenum shadeModel = GL_SMOOTH;
    int lightModelTwoSide = 0;
    Color clearColor{0, 0, 0, 0};
    std::array<int, 4> viewport{0, 0, 0, 0};

    // what was drawn
    std::vector<Primitive> primitives;
    std::vector<Sphere> spheres;
    std::vector<LightPosition> lightPositions;
    std::vector<GLbitfield> clears;
    int flushes = 0;
    int swaps = 0;
    bool insideBegin = false;
    Primitive current;

    // GLUT
    int redisplayRequests = 0;
    void (*idle)() = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*reshape)(int, int) = nullptr;
    void (*display)() = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    unsigned int displayMode = 0;
    std::string windowTitle;
    std::array<int, 2> initWindowSize{0, 0};
    std::array<int, 2> initWindowPosition{0, 0};
    std::vector<std::array<int, 2>> windowMoves;
    std::vector<std::array<int, 2>> windowResizes;
    int fullScreenRequests = 0;

    // Every call by name, in order, for the few places where order is the
    // point (start-up); and misuse that real GL would flag as an error.
    std::vector<std::string> calls;
    std::vector<std::string> errors;

    const Mat4& modelView() const { return modelViewStack.back(); }
    const Mat4& projection() const { return projectionStack.back(); }
    const Material& material(GLenum face) const { return face == GL_BACK ? back : front; }
    bool isEnabled(GLenum cap) const { return enabled.count(cap) != 0; }
    std::vector<const Primitive*> primitivesOfMode(GLenum mode) const;
};

// The one recorder; reset() brings it back to OpenGL's initial state and
// forgets everything recorded.
Recorder& gl();
void reset();
// Forget what was drawn and called, keeping the GL state.
void clearRecords();

}  // namespace standin
