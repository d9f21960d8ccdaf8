#include "geometry_helpers.h"
#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

#include <cmath>
#include <vector>

namespace {

using WheelTest = SceneTest;
using standin::Vec3;

constexpr double kPi = 3.14159265358979323846;

const std::vector<Vec3> spokeVertices{{0, 0.2, 0.5}, {-3, 0.2, 0.5}, {-3, 0, 0.5}, {0, 0, 0.5}};
const std::vector<Vec3> axleVertices{{-0.1, 0, 0}, {-0.1, 0, 0.5}, {0.1, 0, 0.5}, {0.1, 0, 0}};

// The gondolas' floors in drawing order (blocks 2, 3, 4 and 7).
std::vector<const standin::Primitive*> gondolaFloors()
{
    return geometry::withLocalVertices(geometry::gondolaFloor());
}

std::vector<Vec3> gondolaOrigins()
{
    std::vector<Vec3> origins;
    for (const standin::Primitive* floor : gondolaFloors()) origins.push_back(geometry::worldCentre(*floor));
    return origins;
}

TEST_F(WheelTest, TowerIsFourStoneSidesWithoutTopOrBottom)
{
    drawTower();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 4u);
    const Vec3 lo[4] = {{-0.25, 0, 0.25}, {-0.25, 0, -0.25}, {-0.25, 0, -0.25}, {0.25, 0, -0.25}};
    const Vec3 hi[4] = {{0.25, 4.5, 0.25}, {0.25, 4.5, -0.25}, {-0.25, 4.5, 0.25}, {0.25, 4.5, 0.25}};
    const Vec3 normals[4] = {{0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
    for (int face = 0; face < 4; ++face) {
        SCOPED_TRACE(::testing::Message() << "face " << face);
        const standin::Primitive& p = drawn[face];
        EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_TRUE(geometry::boxIs(p, lo[face], hi[face]));
        EXPECT_NEAR_VEC3(p.normal, normals[face][0], normals[face][1], normals[face][2], 0);
        EXPECT_GT(geometry::dot(geometry::windingNormal(p), p.normal), 0) << "front face outside";
        EXPECT_TRUE(geometry::coloured(p.front, scene.stoneColor));
    }
}

TEST_F(WheelTest, AtRestTheGondolasSpokesAndAxlePlateStandWherePartTwoFourSays)
{
    drawWheel();
    const std::vector<Vec3> origins = gondolaOrigins();
    ASSERT_EQ(origins.size(), 4u);
    EXPECT_NEAR_VEC3(origins[0], -3, 3.8, 0.5, 1e-5);  // block 2
    EXPECT_NEAR_VEC3(origins[1], 3, 3.8, 0.5, 1e-5);   // block 3
    EXPECT_NEAR_VEC3(origins[2], 0, 0.8, 0.5, 1e-5);   // block 4
    EXPECT_NEAR_VEC3(origins[3], 0, 6.6, 0.5, 1e-5);   // block 7

    EXPECT_EQ(geometry::withLocalVertices(spokeVertices).size(), 4u);
    const Vec3 spokeLo[4] = {{-3, 3.8, 0.5}, {0, 3.8, 0.5}, {-0.2, 0.8, 0.5}, {0, 3.8, 0.5}};
    const Vec3 spokeHi[4] = {{0, 4.0, 0.5}, {3, 4.0, 0.5}, {0, 3.8, 0.5}, {0.2, 6.8, 0.5}};
    for (int spoke = 0; spoke < 4; ++spoke) {
        const auto found = geometry::withWorldBox(spokeLo[spoke], spokeHi[spoke]);
        ASSERT_EQ(found.size(), 1u) << "spoke " << spoke;
        EXPECT_EQ(found[0]->vertices.size(), 4u);
        EXPECT_NEAR(found[0]->vertices[1][0], -3, 1e-6) << "spoke " << spoke << " is a spoke";
    }

    const auto axle = geometry::withLocalVertices(axleVertices);
    ASSERT_EQ(axle.size(), 1u);
    EXPECT_TRUE(geometry::boxIs(*axle[0], {-0.1, 4, 0}, {0.1, 4, 0.5}));

    for (const standin::Primitive& p : standin::gl().primitives) {
        EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
        EXPECT_EQ(p.vertices.size(), 4u);
    }
    EXPECT_EQ(standin::gl().modelViewStack.size(), 1u);
}

TEST_F(WheelTest, AtThirtyDegreesTheFourthGondolaSitsTwoPointEightFromTheHub)
{
    scene.wheelAngle = 30;
    drawWheel();
    const std::vector<Vec3> origins = gondolaOrigins();
    ASSERT_EQ(origins.size(), 4u);
    // These are known to three decimals (6.225 is 3.8 + 1.4 * sqrt(3)).
    EXPECT_NEAR_VEC3(origins[0], -2.598, 2.3, 0.5, 5e-4);
    EXPECT_NEAR_VEC3(origins[3], -1.4, 6.225, 0.5, 5e-4);
    const Vec3 hub{0, 3.8, 0.5};
    EXPECT_NEAR(distance(origins[0], hub), 3, 1e-5);
    EXPECT_NEAR(distance(origins[1], hub), 3, 1e-5);
    EXPECT_NEAR(distance(origins[2], hub), 3, 1e-5);
    EXPECT_NEAR(distance(origins[3], hub), 2.8, 1e-5);
}

TEST_F(WheelTest, GondolasStayUprightAndSpinAboutTheirOwnAxisByTheWheelAngle)
{
    // Blocks 3 and 7 are turned half a turn more about their vertical axis.
    const double extraTurn[4] = {0, 180, 0, 180};
    for (double angle : {0.0, 17.5, 30.0, 90.0, 135.0, 200.0, 271.25, -45.0}) {
        standin::clearRecords();
        scene.wheelAngle = angle;
        drawWheel();
        const auto floors = gondolaFloors();
        ASSERT_EQ(floors.size(), 4u);
        for (int g = 0; g < 4; ++g) {
            SCOPED_TRACE(::testing::Message() << "wheelAngle " << angle << ", gondola " << g);
            const standin::Mat4 toWorld = geometry::toWorld(*floors[g]);
            EXPECT_NEAR_VEC3(standin::transformDirection(toWorld, {0, 1, 0}), 0, 1, 0, 1e-6);
            const double yaw = (angle + extraTurn[g]) * kPi / 180;
            EXPECT_NEAR_VEC3(standin::transformDirection(toWorld, {0, 0, 1}), std::sin(yaw), 0, std::cos(yaw), 1e-6);
        }
        // Every face of every cabin rises from its floor up to its roof.
        const std::vector<Vec3> origins = gondolaOrigins();
        const auto& drawn = standin::gl().primitives;
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const auto floor = std::find(floors.begin(), floors.end(), &drawn[i]);
            if (floor == floors.end()) continue;
            const double base = origins[floor - floors.begin()][1];
            for (std::size_t k = i; k < i + 18; ++k) {
                const geometry::Box box = geometry::worldBox(drawn[k]);
                EXPECT_GE(box.lo[1], base - 1e-6);
                EXPECT_LE(box.hi[1], base + 0.8 + 1e-6);
            }
        }
    }
}

TEST_F(WheelTest, AWheelTurnedForDaysStandsLikeOneTurnedThirtyDegrees)
{
    enableStartupLights();
    scene.wheelAngle = 30;
    drawFrame();
    const standin::Recorder thirty = standin::gl();

    standin::clearRecords();
    scene.wheelAngle = 360.0 * 555556 + 30;
    drawFrame();
    const standin::Recorder& days = standin::gl();

    ASSERT_EQ(days.primitives.size(), thirty.primitives.size());
    for (std::size_t i = 0; i < days.primitives.size(); ++i)
        for (std::size_t k = 0; k < days.primitives[i].world.size(); ++k)
            ASSERT_TRUE(geometry::near(days.primitives[i].world[k], thirty.primitives[i].world[k], 1e-4))
                << "face " << i << " vertex " << k;
    ASSERT_EQ(days.spheres.size(), thirty.spheres.size());
    for (std::size_t i = 0; i < days.spheres.size(); ++i)
        EXPECT_TRUE(geometry::near(days.spheres[i].world, thirty.spheres[i].world, 1e-4)) << "sphere " << i;
}

TEST_F(WheelTest, GondolaCabinHasFourWindowedWallsAndFourRoofLamps)
{
    glPushMatrix();
    drawGondola();
    glPopMatrix();
    const standin::Recorder& r = standin::gl();
    ASSERT_EQ(r.primitives.size(), 2u + 4 * 4);
    EXPECT_TRUE(geometry::boxIs(r.primitives[0], {-0.3, 0, -0.3}, {0.3, 0, 0.3})) << "floor";
    EXPECT_TRUE(geometry::boxIs(r.primitives[1], {-0.3, 0.8, -0.3}, {0.3, 0.8, 0.3})) << "roof";
    EXPECT_NEAR_VEC3(r.primitives[0].normal, 0, 1, 0, 0);
    EXPECT_NEAR_VEC3(r.primitives[1].normal, 0, 1, 0, 0);

    // Roof lamps at the roof's corners, each followed by the material reset.
    const double corners[4][2] = {{-0.25, -0.25}, {0.25, -0.25}, {0.25, 0.25}, {-0.25, 0.25}};
    ASSERT_EQ(r.spheres.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR_VEC3(r.spheres[i].world, corners[i][0], 0.8, corners[i][1], 1e-6);
        EXPECT_DOUBLE_EQ(r.spheres[i].radius, 0.03);
        EXPECT_TRUE(geometry::sameColor(r.spheres[i].front.emission, scene.lampColor));
    }

    // Walls z = -0.3, z = 0.3, x = -0.3, x = 0.3: four quads each, in the
    // wall's plane, tiling it round a window 0.4 wide at y 0.5 to 0.75.
    struct Wall {
        int axis;  // the coordinate that is constant
        double at;
        Vec3 normal;
    };
    const Wall walls[4] = {{2, -0.3, {0, 0, 1}}, {2, 0.3, {0, 0, 1}}, {0, -0.3, {-1, 0, 0}}, {0, 0.3, {-1, 0, 0}}};
    for (int w = 0; w < 4; ++w) {
        SCOPED_TRACE(::testing::Message() << "wall " << w);
        const int along = 2 - walls[w].axis;  // z walls run along x, x walls along z
        double area = 0;
        std::vector<geometry::Box> pieces;
        for (int q = 0; q < 4; ++q) {
            const standin::Primitive& p = r.primitives[2 + w * 4 + q];
            EXPECT_EQ(p.mode, static_cast<GLenum>(GL_QUADS));
            EXPECT_NEAR_VEC3(p.normal, walls[w].normal[0], walls[w].normal[1], walls[w].normal[2], 0);
            EXPECT_GT(geometry::dot(geometry::windingNormal(p), p.normal), 0) << "vertex order agrees with the normal";
            EXPECT_TRUE(geometry::coloured(p.front, scene.surfaceColor));
            EXPECT_TRUE(geometry::coloured(p.back, scene.surfaceColor));
            const geometry::Box box = geometry::worldBox(p);
            EXPECT_NEAR(box.lo[walls[w].axis], walls[w].at, 1e-6);
            EXPECT_NEAR(box.hi[walls[w].axis], walls[w].at, 1e-6);
            EXPECT_GE(box.lo[along], -0.3 - 1e-6);
            EXPECT_LE(box.hi[along], 0.3 + 1e-6);
            EXPECT_GE(box.lo[1], -1e-6);
            EXPECT_LE(box.hi[1], 0.8 + 1e-6);
            area += (box.hi[along] - box.lo[along]) * (box.hi[1] - box.lo[1]);
            pieces.push_back(box);
        }
        auto overlap = [along](const geometry::Box& a, double lo0, double hi0, double lo1, double hi1) {
            const double width = std::min(a.hi[along], hi0) - std::max(a.lo[along], lo0);
            const double height = std::min(a.hi[1], hi1) - std::max(a.lo[1], lo1);
            return width > 1e-6 && height > 1e-6;
        };
        for (std::size_t a = 0; a < pieces.size(); ++a) {
            EXPECT_FALSE(overlap(pieces[a], -0.2, 0.2, 0.5, 0.75)) << "quad " << a << " covers the window";
            for (std::size_t b = a + 1; b < pieces.size(); ++b)
                EXPECT_FALSE(overlap(pieces[a], pieces[b].lo[along], pieces[b].hi[along], pieces[b].lo[1], pieces[b].hi[1]))
                    << "quads " << a << " and " << b << " overlap";
        }
        EXPECT_NEAR(area, 0.6 * 0.8 - 0.4 * 0.25, 1e-6) << "the wall less its window";
    }
}

}  // namespace
