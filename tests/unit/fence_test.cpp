#include "geometry_helpers.h"
#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

#include <set>
#include <utility>
#include <vector>

namespace {

using FenceTest = SceneTest;
using geometry::Point2;
using standin::Vec3;

// The post corners (x, z) in the order the fence draws them.
const std::vector<Point2> postCorners{{5, -2.5}, {5, 2.5},   {2.5, 5},   {-2.5, 5},
                                      {-5, 2.5}, {-5, -2.5}, {-2.5, -5}, {2.5, -5}};

int cornerIndex(double x, double z)
{
    for (std::size_t i = 0; i < postCorners.size(); ++i)
        if (std::hypot(postCorners[i][0] - x, postCorners[i][1] - z) < 1e-5) return static_cast<int>(i);
    return -1;
}

TEST_F(FenceTest, EightPostsStandOnTheCornersEachCrownedWithALamp)
{
    drawFence();
    const standin::Recorder& r = standin::gl();
    ASSERT_EQ(r.primitives.size(), 8u * 6 + 16);
    ASSERT_EQ(r.spheres.size(), 8u);

    // bottom, front, back, left, right, top; the bottom's normal is the front's.
    const Vec3 normals[6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (std::size_t post = 0; post < 8; ++post) {
        const double x = postCorners[post][0], z = postCorners[post][1];
        SCOPED_TRACE(::testing::Message() << "post " << post << " at (" << x << ", " << z << ")");
        const Vec3 lo{x - 0.1, 0, z - 0.1}, hi{x + 0.1, 1, z + 0.1};
        // Each face is the post's box flattened onto one of its sides.
        const Vec3 faceLo[6] = {lo, {lo[0], 0, hi[2]}, lo, lo, {hi[0], 0, lo[2]}, {lo[0], 1, lo[2]}};
        const Vec3 faceHi[6] = {{hi[0], 0, hi[2]}, hi, {hi[0], 1, lo[2]}, {lo[0], 1, hi[2]}, hi, hi};
        for (int face = 0; face < 6; ++face) {
            const standin::Primitive& p = r.primitives[post * 6 + face];
            EXPECT_EQ(p.mode, static_cast<GLenum>(GL_POLYGON)) << "face " << face;
            EXPECT_EQ(p.vertices.size(), 4u) << "face " << face;
            EXPECT_TRUE(geometry::boxIs(p, faceLo[face], faceHi[face])) << "face " << face;
            EXPECT_NEAR_VEC3(p.normal, normals[face][0], normals[face][1], normals[face][2], 0);
        }
        const standin::Sphere& lamp = r.spheres[post];
        EXPECT_NEAR_VEC3(lamp.world, x, 1, z, 1e-6);
        EXPECT_DOUBLE_EQ(lamp.radius, 0.1);
        EXPECT_EQ(lamp.slices, 10);
        EXPECT_EQ(lamp.stacks, 8);
        EXPECT_TRUE(geometry::sameColor(lamp.front.emission, scene.lampColor));
    }

    // After the last post's restoreSurfaceMaterial.
    EXPECT_TRUE(geometry::sameColor(r.front.emission, scene.blackEmission));
    EXPECT_TRUE(geometry::sameColor(r.front.specular, scene.surfaceColor));
    EXPECT_EQ(r.front.shininess, scene.lampColor[0]);
    EXPECT_TRUE(geometry::coloured(r.front, scene.surfaceColor));
    EXPECT_TRUE(geometry::coloured(r.back, scene.surfaceColor));
}

TEST_F(FenceTest, TwoRailsJoinEachPairOfNeighbouringPostsWithTheNormalsAsGiven)
{
    drawFence();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 8u * 6 + 16);

    // Rails 1 to 16: the normal current at each, and on which side of the
    // rail's winding it lies (+1 the counter-clockwise side, -1 the other,
    // 0 in the rail's own plane).
    const Vec3 normals[16] = {{0, 0, 1},     {0, 0, 1},     {0, 0, 1},     {0, 0, 1},   {1, 0, 0},   {1, 0, 0},
                              {1, 0, 0},     {1, 0, 0},     {-0.5, 0, 0.5}, {-0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0.5},
                              {0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0.5}};
    const int sides[16] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, -1, -1, 1, 1, 0, 0};

    std::set<std::pair<int, int>> joined;  // neighbouring corner pairs, lower index first
    for (int rail = 0; rail < 16; ++rail) {
        SCOPED_TRACE(::testing::Message() << "rail " << rail + 1);
        const standin::Primitive& p = drawn[48 + rail];
        ASSERT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
        ASSERT_EQ(p.world.size(), 4u);
        const geometry::Box box = geometry::worldBox(p);
        const bool upper = rail % 2 == 0;
        EXPECT_NEAR(box.lo[1], upper ? 0.8 : 0.2, 1e-6);
        EXPECT_NEAR(box.hi[1], upper ? 0.9 : 0.3, 1e-6);

        const int a = cornerIndex(p.world[0][0], p.world[0][2]);
        const int b = cornerIndex(p.world[1][0], p.world[1][2]);
        EXPECT_EQ(cornerIndex(p.world[3][0], p.world[3][2]), a);
        EXPECT_EQ(cornerIndex(p.world[2][0], p.world[2][2]), b);
        ASSERT_TRUE(a >= 0 && b >= 0) << "each rail runs from post to post";
        EXPECT_TRUE((a + 1) % 8 == b || (b + 1) % 8 == a) << "between neighbouring posts";
        joined.insert({std::min(a, b), std::max(a, b)});

        EXPECT_NEAR_VEC3(p.normal, normals[rail][0], normals[rail][1], normals[rail][2], 0);
        const double side = geometry::dot(geometry::windingNormal(p), p.normal);
        if (sides[rail] == 0)
            EXPECT_NEAR(side, 0, 1e-9);
        else
            EXPECT_GT(side * sides[rail], 0);
    }
    EXPECT_EQ(joined.size(), 8u) << "every side of the octagon has its rails";
}

TEST_F(FenceTest, ChangingTheSurfaceColourRecoloursPostsAndRailsFrontAndBack)
{
    enableStartupLights();
    for (int press = 0; press < 2; ++press) {
        if (press == 1) scene.surfaceColor[0] = static_cast<float>(scene.surfaceColor[0] + 0.05);  // key R
        standin::clearRecords();
        drawFrame();
        const geometry::FrameParts parts = geometry::FrameParts::of(standin::gl().primitives);
        ASSERT_EQ(parts.fence.size(), geometry::FrameParts::fenceCount);
        for (const standin::Primitive* p : parts.fence) {
            EXPECT_TRUE(geometry::coloured(p->front, scene.surfaceColor)) << "press " << press;
            EXPECT_TRUE(geometry::coloured(p->back, scene.surfaceColor)) << "press " << press;
            EXPECT_TRUE(geometry::sameColor(p->front.specular, scene.surfaceColor)) << "press " << press;
        }
    }
    EXPECT_FLOAT_EQ(scene.surfaceColor[0], 0.15f);
}

}  // namespace
