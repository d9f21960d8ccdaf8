#include "scene/elements.h"
#include "scene_test.h"

#include <array>
#include <set>

namespace {

using GroundAndPlazaTest = SceneTest;

// Inside or on the octagon of the post corners, which run round it with the
// inside on their left in the (x, z) plane.
bool insidePlaza(const Vec3& v)
{
    for (int i = 0; i < 8; ++i) {
        const double* a = postCorners[i];
        const double* b = postCorners[(i + 1) % 8];
        const double side = (b[0] - a[0]) * (v[2] - a[1]) - (b[1] - a[1]) * (v[0] - a[0]);
        if (side < -1e-6 * std::hypot(b[0] - a[0], b[1] - a[1])) return false;
    }
    return true;
}

TEST_F(GroundAndPlazaTest, GroundIsOneSquareFacingUp)
{
    drawGround();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].vertices.size(), 4u);
    EXPECT_TRUE(boxIs(drawn[0], {-100, 0, -100}, {100, 0, 100}));
    EXPECT_EQ(drawn[0].normal, (Vec3{0, 1, 0}));
    EXPECT_GT(windingNormal(drawn[0])[1], 0) << "the front face is the upper side";
}

TEST_F(GroundAndPlazaTest, PlazaIsTheOctagonWhoseCornersAreTheFencePosts)
{
    drawPlaza();
    const Primitive& plaza = standin::gl().primitives.at(0);
    EXPECT_EQ(plaza.mode, static_cast<GLenum>(GL_POLYGON));
    EXPECT_EQ(plaza.normal, (Vec3{0, 1, 0}));
    EXPECT_GT(windingNormal(plaza)[1], 0) << "the front face is the upper side";
    std::set<int> corners;
    for (const Vec3& v : plaza.world) {
        EXPECT_NEAR(v[1], 0.01, 1e-6);
        corners.insert(cornerIndex(v));
    }
    EXPECT_EQ(corners, (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(plaza.world.size(), 8u);
}

TEST_F(GroundAndPlazaTest, EightySevenTilesInOrderOfWhichEighteenReachBeyondThePlaza)
{
    drawPlaza();
    std::vector<std::array<int, 2>> positions;  // x, z in the order they are laid
    for (int z = -3; z <= 3; ++z)
        for (int x = -4; x <= 4; ++x) positions.push_back({x, z});
    const int shortRows[4][2] = {{-5, 2}, {-4, 3}, {5, 2}, {4, 3}};  // z, reach in x
    for (const auto& row : shortRows)
        for (int x = -row[1]; x <= row[1]; ++x) positions.push_back({x, row[0]});
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 1u + 87) << "the floor, then the tiles";

    const double outline[8][2] = {{-0.25, -0.5}, {-0.5, -0.25}, {-0.5, 0.25}, {-0.25, 0.5},
                                  {0.25, 0.5},   {0.5, 0.25},   {0.5, -0.25}, {0.25, -0.5}};
    std::vector<std::array<int, 2>> beyond;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const Primitive& tile = drawn[1 + i];
        const auto [x, z] = positions[i];
        SCOPED_TRACE(::testing::Message() << "tile " << i << " at (" << x << ", " << z << ")");
        EXPECT_EQ(tile.mode, static_cast<GLenum>(GL_POLYGON));
        EXPECT_EQ(tile.normal, (Vec3{0, 1, 0}));
        ASSERT_EQ(tile.world.size(), 8u);
        bool inside = true;
        for (int k = 0; k < 8; ++k) {
            EXPECT_TRUE(near(tile.world[k], {outline[k][0] + x, 0.02, outline[k][1] + z}, 1e-6)) << "vertex " << k;
            inside = inside && insidePlaza(tile.world[k]);
        }
        if (!inside) beyond.push_back({x, z});
    }
    // The two outer rows, and the end tiles of the rows z = -4, -3, 3 and 4.
    EXPECT_EQ(beyond, (std::vector<std::array<int, 2>>{{-4, -3}, {4, -3}, {-4, 3}, {4, 3}, {-2, -5}, {-1, -5},
                                                        {0, -5},  {1, -5},  {2, -5},  {-3, -4}, {3, -4}, {-2, 5},
                                                        {-1, 5},  {0, 5},   {1, 5},   {2, 5},   {-3, 4}, {3, 4}}));
}

}  // namespace
