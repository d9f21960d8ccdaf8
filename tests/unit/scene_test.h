#pragma once

#include "app/scene_state.h"
#include "stand_in.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

using standin::Primitive;
using standin::Vec3;

// Every test starts from the program's initial state and a fresh GL.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        standin::reset();
        scene = initialSceneState();
    }
};

// The lights that start-up switches on.
inline void enableLights()
{
    for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) standin::gl().enabled.insert(light);
}

inline int redraws() { return standin::gl().redisplayRequests; }

// A handler that touches nothing writes none of the record's bytes.
inline SceneState snapshot() { SceneState copy; std::memcpy(&copy, &scene, sizeof scene); return copy; }
inline bool unchanged(const SceneState& before) { return std::memcmp(&before, &scene, sizeof scene) == 0; }

inline double distance(const Vec3& a, const Vec3& b) { return std::hypot(a[0] - b[0], a[1] - b[1], a[2] - b[2]); }

template <typename T>
::testing::AssertionResult differs(const T& actual, const T& expected)
{
    return ::testing::AssertionFailure() << ::testing::PrintToString(actual) << " instead of "
                                         << ::testing::PrintToString(expected);
}

inline ::testing::AssertionResult near(const Vec3& actual, const Vec3& expected, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (!(std::fabs(actual[i] - expected[i]) <= tolerance)) return differs(actual, expected);
    return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult sameColor(const standin::Color& actual, const float* expected)
{
    const standin::Color wanted{expected[0], expected[1], expected[2], expected[3]};
    return actual == wanted ? ::testing::AssertionSuccess() : differs(actual, wanted);
}

// Ambient and diffuse, the pair that GL_AMBIENT_AND_DIFFUSE sets.
inline ::testing::AssertionResult coloured(const standin::Material& m, const float* color)
{
    const auto ambient = sameColor(m.ambient, color);
    return ambient ? sameColor(m.diffuse, color) : ambient;
}

struct Box {
    Vec3 lo, hi;
};

inline Box worldBox(const Primitive& p)
{
    Box box{p.world.front(), p.world.front()};
    for (const Vec3& v : p.world)
        for (int i = 0; i < 3; ++i) {
            box.lo[i] = std::fmin(box.lo[i], v[i]);
            box.hi[i] = std::fmax(box.hi[i], v[i]);
        }
    return box;
}

inline ::testing::AssertionResult boxIs(const Primitive& p, const Vec3& lo, const Vec3& hi)
{
    const Box box = worldBox(p);
    const auto low = near(box.lo, lo, 1e-5);
    return low ? near(box.hi, hi, 1e-5) : low;
}

// The normal of the side from which the vertices as given run
// counter-clockwise (Newell's method), not normalised.
inline Vec3 windingNormal(const Primitive& p)
{
    Vec3 n{0, 0, 0};
    for (std::size_t i = 0; i < p.vertices.size(); ++i) {
        const Vec3& a = p.vertices[i];
        const Vec3& b = p.vertices[(i + 1) % p.vertices.size()];
        for (int k = 0; k < 3; ++k) n[k] += (a[(k + 1) % 3] - b[(k + 1) % 3]) * (a[(k + 2) % 3] + b[(k + 2) % 3]);
    }
    return n;
}

inline double dot(const Vec3& a, const Vec3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

// The faces drawn from exactly these vertices in their own coordinates (one
// piece drawn under several matrices), in drawing order.
inline std::vector<const Primitive*> drawnFrom(const std::vector<Vec3>& vertices)
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : standin::gl().primitives)
        if (std::equal(p.vertices.begin(), p.vertices.end(), vertices.begin(), vertices.end(),
                       [](const Vec3& a, const Vec3& b) { return bool(near(a, b, 1e-6)); }))
            found.push_back(&p);
    return found;
}

inline std::vector<const Primitive*> gondolaFloors()
{
    return drawnFrom({{-0.3, 0, -0.3}, {-0.3, 0, 0.3}, {0.3, 0, 0.3}, {0.3, 0, -0.3}});
}

// A gondola's origin is the centre of its floor.
inline std::vector<Vec3> gondolaOrigins()
{
    std::vector<Vec3> origins;
    for (const Primitive* floor : gondolaFloors())
        origins.push_back(standin::transformPoint(floor->toWorld, {0, 0, 0}));
    return origins;
}

// The fence posts' corners (x, z), in the order the fence draws them.
inline const double postCorners[8][2] = {{5, -2.5}, {5, 2.5},   {2.5, 5},   {-2.5, 5},
                                         {-5, 2.5}, {-5, -2.5}, {-2.5, -5}, {2.5, -5}};

inline int cornerIndex(const Vec3& v)
{
    for (int i = 0; i < 8; ++i)
        if (std::hypot(postCorners[i][0] - v[0], postCorners[i][1] - v[2]) < 1e-5) return i;
    return -1;
}

// A whole frame draws the ground, the fence (8 posts of 6 faces, 16 rails),
// the plaza, 87 tiles, 4 tower sides, then the wheel (an axle plate, 4
// spokes, 4 chords, 4 gondolas of 18 faces).
constexpr std::size_t plazaFace = 1 + 8 * 6 + 16, wheelFace = plazaFace + 1 + 87 + 4,
                      frameFaceCount = wheelFace + 1 + 4 + 4 + 4 * 18;
