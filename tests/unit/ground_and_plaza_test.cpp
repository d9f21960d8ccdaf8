#include "geometry_helpers.h"
#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

#include <array>
#include <vector>

namespace {

using GroundAndPlazaTest = SceneTest;
using geometry::Point2;

// The plaza's floor octagon on the ground plane (x, z).
const std::vector<Point2> plazaOctagon{{-2.5, -5}, {-5, -2.5}, {-5, 2.5}, {-2.5, 5},
                                       {2.5, 5},   {5, 2.5},   {5, -2.5},  {2.5, -5}};

// Tile positions (x, z) in the order they are laid.
std::vector<std::array<int, 2>> tilePositionsInOrder()
{
    std::vector<std::array<int, 2>> positions;
    for (int z = -3; z <= 3; ++z)
        for (int x = -4; x <= 4; ++x) positions.push_back({x, z});
    const int shortRows[4][2] = {{-5, 2}, {-4, 3}, {5, 2}, {4, 3}};  // z, reach in x
    for (const auto& row : shortRows)
        for (int x = -row[1]; x <= row[1]; ++x) positions.push_back({x, row[0]});
    return positions;
}

TEST_F(GroundAndPlazaTest, GroundIsOneGrassSquareFacingUp)
{
    drawGround();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 1u);
    const standin::Primitive& ground = drawn[0];
    EXPECT_EQ(ground.mode, static_cast<GLenum>(GL_POLYGON));
    EXPECT_EQ(ground.vertices.size(), 4u);
    EXPECT_TRUE(geometry::boxIs(ground, {-100, 0, -100}, {100, 0, 100}));
    EXPECT_NEAR_VEC3(ground.normal, 0, 1, 0, 0);
    EXPECT_GT(geometry::windingNormal(ground)[1], 0) << "the front face is the upper side";
    EXPECT_TRUE(geometry::coloured(ground.front, scene.grassColor));
}

TEST_F(GroundAndPlazaTest, PlazaIsTheOctagonWhoseCornersAreTheFencePosts)
{
    enableStartupLights();
    drawFrame();
    const geometry::FrameParts parts = geometry::FrameParts::of(standin::gl().primitives);
    ASSERT_EQ(parts.plaza.size(), 1u) << standin::gl().primitives.size() << " faces in the frame";
    const standin::Primitive& plaza = *parts.plaza[0];
    EXPECT_EQ(plaza.mode, static_cast<GLenum>(GL_POLYGON));
    EXPECT_NEAR_VEC3(plaza.normal, 0, 1, 0, 0);
    EXPECT_GT(geometry::windingNormal(plaza)[1], 0) << "the front face is the upper side";

    // The posts are found by their lamps, the 0.1-radius spheres at y = 1.
    std::vector<Point2> posts;
    for (const standin::Sphere& s : standin::gl().spheres)
        if (std::fabs(s.world[1] - 1) < 1e-5 && std::fabs(s.radius - 0.1) < 1e-12) posts.push_back({s.world[0], s.world[2]});
    ASSERT_EQ(posts.size(), 8u);
    ASSERT_EQ(plaza.world.size(), 8u);
    for (std::size_t i = 0; i < plaza.world.size(); ++i) {
        const standin::Vec3& corner = plaza.world[i];
        EXPECT_NEAR(corner[1], 0.01, 1e-6);
        EXPECT_NEAR(corner[0], plazaOctagon[i][0], 1e-5) << "corner " << i;
        EXPECT_NEAR(corner[2], plazaOctagon[i][1], 1e-5) << "corner " << i;
        int postsHere = 0;
        for (const Point2& post : posts)
            if (std::hypot(post[0] - corner[0], post[1] - corner[2]) < 1e-5) ++postsHere;
        EXPECT_EQ(postsHere, 1) << "corner " << i << " has one post";
    }
}

TEST_F(GroundAndPlazaTest, EightySevenTilesInOrderOfWhichEighteenReachBeyondThePlaza)
{
    drawPlaza();
    const auto& drawn = standin::gl().primitives;
    const auto positions = tilePositionsInOrder();
    ASSERT_EQ(positions.size(), 87u);
    ASSERT_EQ(drawn.size(), 1 + positions.size()) << "the floor, then the tiles";

    const std::vector<standin::Vec3> tileOutline{{-0.25, 0.02, -0.5}, {-0.5, 0.02, -0.25}, {-0.5, 0.02, 0.25},
                                                 {-0.25, 0.02, 0.5},  {0.25, 0.02, 0.5},   {0.5, 0.02, 0.25},
                                                 {0.5, 0.02, -0.25},  {0.25, 0.02, -0.5}};
    std::vector<std::array<int, 2>> beyond;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const standin::Primitive& tile = drawn[1 + i];
        const int x = positions[i][0], z = positions[i][1];
        SCOPED_TRACE(::testing::Message() << "tile " << i << " at (" << x << ", " << z << ")");
        EXPECT_EQ(tile.mode, static_cast<GLenum>(GL_POLYGON));
        EXPECT_NEAR_VEC3(tile.normal, 0, 1, 0, 0);
        EXPECT_TRUE(geometry::coloured(tile.front, scene.stoneColor));
        ASSERT_EQ(tile.world.size(), tileOutline.size());
        bool inside = true;
        for (std::size_t k = 0; k < tileOutline.size(); ++k) {
            const standin::Vec3& v = tile.world[k];
            EXPECT_NEAR_VEC3(v, tileOutline[k][0] + x, 0.02, tileOutline[k][2] + z, 1e-6);
            inside = inside && geometry::insideConvex({v[0], v[2]}, plazaOctagon, 1e-6);
        }
        if (!inside) beyond.push_back({x, z});
    }

    EXPECT_EQ(positions.size() - beyond.size(), 69u);
    // The two outer rows, and the end tiles of the rows z = -4, -3, 3 and 4.
    const std::vector<std::array<int, 2>> expectedBeyond{
        {-4, -3}, {4, -3}, {-4, 3}, {4, 3},  {-2, -5}, {-1, -5}, {0, -5}, {1, -5}, {2, -5},
        {-3, -4}, {3, -4}, {-2, 5}, {-1, 5}, {0, 5},   {1, 5},   {2, 5},  {-3, 4}, {3, 4}};
    EXPECT_EQ(beyond, expectedBeyond);
}

}  // namespace
