#pragma once

// Small geometry helpers for the scene tests: bounding boxes and centres in
// world coordinates, finding primitives by what was given or where they
// landed, winding, a point-in-convex-polygon test, and the whole frame cut
// into its elements in drawing order.

#include "stand_in.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace geometry {

using standin::Primitive;
using standin::Vec3;
using Point2 = std::array<double, 2>;  // x, z on the ground plane

struct Box {
    Vec3 lo;
    Vec3 hi;
};

inline Box worldBox(const Primitive& p)
{
    Box box{p.world.front(), p.world.front()};
    for (const Vec3& v : p.world)
        for (int i = 0; i < 3; ++i) {
            box.lo[i] = std::min(box.lo[i], v[i]);
            box.hi[i] = std::max(box.hi[i], v[i]);
        }
    return box;
}

inline bool near(const Vec3& a, const Vec3& b, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        if (std::fabs(a[i] - b[i]) > tolerance) return false;
    return true;
}

inline bool boxIs(const Primitive& p, const Vec3& lo, const Vec3& hi, double tolerance = 1e-5)
{
    const Box box = worldBox(p);
    return near(box.lo, lo, tolerance) && near(box.hi, hi, tolerance);
}

// The primitives whose world bounding box is lo..hi.
inline std::vector<const Primitive*> withWorldBox(const Vec3& lo, const Vec3& hi, double tolerance = 1e-5)
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : standin::gl().primitives)
        if (boxIs(p, lo, hi, tolerance)) found.push_back(&p);
    return found;
}

// The primitives drawn from exactly these vertices, in this order, in their
// own coordinates (one piece drawn several times under different matrices).
inline std::vector<const Primitive*> withLocalVertices(const std::vector<Vec3>& vertices)
{
    std::vector<const Primitive*> found;
    for (const Primitive& p : standin::gl().primitives) {
        if (p.vertices.size() != vertices.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < vertices.size(); ++i) same = same && near(p.vertices[i], vertices[i], 1e-6);
        if (same) found.push_back(&p);
    }
    return found;
}

inline Vec3 worldCentre(const Primitive& p)
{
    Vec3 sum{0, 0, 0};
    for (const Vec3& v : p.world)
        for (int i = 0; i < 3; ++i) sum[i] += v[i] / p.world.size();
    return sum;
}

// The matrix that took the primitive's own coordinates to world coordinates.
inline standin::Mat4 toWorld(const Primitive& p)
{
    return standin::multiply(standin::inverse(standin::gl().view), p.modelView);
}

inline double dot(const Vec3& a, const Vec3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

// The normal of the side from which the given vertices run counter-clockwise
// (Newell's method on the vertices as given), not normalised.
inline Vec3 windingNormal(const Primitive& p)
{
    Vec3 n{0, 0, 0};
    const std::size_t count = p.vertices.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Vec3& a = p.vertices[i];
        const Vec3& b = p.vertices[(i + 1) % count];
        n[0] += (a[1] - b[1]) * (a[2] + b[2]);
        n[1] += (a[2] - b[2]) * (a[0] + b[0]);
        n[2] += (a[0] - b[0]) * (a[1] + b[1]);
    }
    return n;
}

// Whether p lies inside or on a convex polygon (corners in either turning
// order), within tolerance of its edges.
inline bool insideConvex(const Point2& p, const std::vector<Point2>& polygon, double tolerance = 1e-9)
{
    bool anyPositive = false;
    bool anyNegative = false;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point2& a = polygon[i];
        const Point2& b = polygon[(i + 1) % polygon.size()];
        const double edgeLength = std::hypot(b[0] - a[0], b[1] - a[1]);
        const double side = ((b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])) / edgeLength;
        anyPositive = anyPositive || side > tolerance;
        anyNegative = anyNegative || side < -tolerance;
    }
    return !(anyPositive && anyNegative);
}

inline ::testing::AssertionResult sameColor(const standin::Color& actual, const float* expected)
{
    for (int i = 0; i < 4; ++i)
        if (actual[i] != expected[i])
            return ::testing::AssertionFailure()
                   << "(" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", " << actual[3]
                   << ") instead of (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ", "
                   << expected[3] << ")";
    return ::testing::AssertionSuccess();
}

// Ambient and diffuse, the pair that glMaterialfv(GL_AMBIENT_AND_DIFFUSE) sets.
inline ::testing::AssertionResult coloured(const standin::Material& m, const float* color)
{
    const auto ambient = sameColor(m.ambient, color);
    if (!ambient) return ::testing::AssertionFailure() << "ambient " << ambient.message();
    const auto diffuse = sameColor(m.diffuse, color);
    if (!diffuse) return ::testing::AssertionFailure() << "diffuse " << diffuse.message();
    return ::testing::AssertionSuccess();
}

// One whole frame's primitives, cut into the elements in the order that
// drawFrame draws them, with the count of faces in each.
struct FrameParts {
    static constexpr std::size_t groundCount = 1;
    static constexpr std::size_t fenceCount = 8 * 6 + 16;    // posts, rails
    static constexpr std::size_t plazaCount = 1;
    static constexpr std::size_t tileCount = 87;
    static constexpr std::size_t towerCount = 4;
    static constexpr std::size_t wheelCount = 1 + 4 + 4 + 4 * 18;  // axle, spokes, chords, gondolas
    static constexpr std::size_t total = groundCount + fenceCount + plazaCount + tileCount + towerCount + wheelCount;

    std::vector<const Primitive*> ground, fence, plaza, tiles, tower, wheel;

    // Empty parts if the frame does not hold the expected number of faces.
    static FrameParts of(const std::vector<Primitive>& drawn)
    {
        FrameParts parts;
        if (drawn.size() != total) return parts;
        std::size_t next = 0;
        auto take = [&](std::vector<const Primitive*>& part, std::size_t count) {
            for (std::size_t i = 0; i < count; ++i) part.push_back(&drawn[next++]);
        };
        take(parts.ground, groundCount);
        take(parts.fence, fenceCount);
        take(parts.plaza, plazaCount);
        take(parts.tiles, tileCount);
        take(parts.tower, towerCount);
        take(parts.wheel, wheelCount);
        return parts;
    }
};

// The gondola floor as drawGondola gives it; its centre is the gondola's origin.
inline const std::vector<Vec3>& gondolaFloor()
{
    static const std::vector<Vec3> floor{{-0.3, 0, -0.3}, {-0.3, 0, 0.3}, {0.3, 0, 0.3}, {0.3, 0, -0.3}};
    return floor;
}

}  // namespace geometry
