#include "scene/elements.h"
#include "scene_test.h"

#include <set>
#include <utility>

namespace {

using FenceTest = SceneTest;

TEST_F(FenceTest, EightPostsStandOnTheCornersWithTheNormalsAsGiven)
{
    drawFence();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 8u * 6 + 16);
    // bottom, front, back, left, right, top; the bottom's normal is the front's.
    const Vec3 normals[6] = {{0, 0, 1}, {0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    for (int post = 0; post < 8; ++post) {
        const double x = postCorners[post][0], z = postCorners[post][1];
        SCOPED_TRACE(::testing::Message() << "post at (" << x << ", " << z << ")");
        // Each face is the post's box flattened onto one of its sides.
        const Vec3 lo{x - 0.1, 0, z - 0.1}, hi{x + 0.1, 1, z + 0.1};
        const Vec3 faceLo[6] = {lo, {lo[0], 0, hi[2]}, lo, lo, {hi[0], 0, lo[2]}, {lo[0], 1, lo[2]}};
        const Vec3 faceHi[6] = {{hi[0], 0, hi[2]}, hi, {hi[0], 1, lo[2]}, {lo[0], 1, hi[2]}, hi, hi};
        for (int face = 0; face < 6; ++face) {
            const Primitive& p = drawn[post * 6 + face];
            EXPECT_EQ(p.vertices.size(), 4u);
            EXPECT_TRUE(boxIs(p, faceLo[face], faceHi[face])) << "face " << face;
            EXPECT_EQ(p.normal, normals[face]) << "face " << face;
        }
    }
}

TEST_F(FenceTest, TwoRailsJoinEachPairOfNeighbouringPostsWithTheNormalsAsGiven)
{
    drawFence();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 8u * 6 + 16);
    // Rails 1 to 16: the normal current at each, and on which side of the
    // rail's winding it lies (+1 the counter-clockwise side, -1 the other,
    // 0 in the rail's own plane).
    const Vec3 normals[8] = {{0, 0, 1},     {0, 0, 1},    {1, 0, 0},    {1, 0, 0},
                             {-0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0.5}, {0.5, 0, 0.5}};
    const int sides[8] = {1, 1, 1, 1, 1, -1, 1, 0};

    std::set<std::pair<int, int>> joined;
    for (int rail = 0; rail < 16; ++rail) {
        SCOPED_TRACE(::testing::Message() << "rail " << rail + 1);
        const Primitive& p = drawn[48 + rail];
        ASSERT_EQ(p.world.size(), 4u);
        const Box box = worldBox(p);
        EXPECT_NEAR(box.lo[1], rail % 2 ? 0.2 : 0.8, 1e-6);
        EXPECT_NEAR(box.hi[1], rail % 2 ? 0.3 : 0.9, 1e-6);

        const int a = cornerIndex(p.world[0]), b = cornerIndex(p.world[1]);
        EXPECT_EQ(cornerIndex(p.world[3]), a);
        EXPECT_EQ(cornerIndex(p.world[2]), b);
        EXPECT_TRUE(a >= 0 && b >= 0 && ((a + 1) % 8 == b || (b + 1) % 8 == a)) << "between neighbouring posts";
        joined.insert(std::minmax(a, b));

        EXPECT_EQ(p.normal, normals[rail / 2]);
        const double side = dot(windingNormal(p), p.normal);
        if (sides[rail / 2] == 0)
            EXPECT_NEAR(side, 0, 1e-9);
        else
            EXPECT_GT(side * sides[rail / 2], 0);
    }
    EXPECT_EQ(joined.size(), 8u) << "every side of the octagon has its rails";
}

}  // namespace
