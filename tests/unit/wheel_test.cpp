#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

namespace {

using WheelTest = SceneTest;

TEST_F(WheelTest, TowerIsFourSidesFacingOutWithoutTopOrBottom)
{
    drawTower();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 4u);
    const Vec3 lo[4] = {{-0.25, 0, 0.25}, {-0.25, 0, -0.25}, {-0.25, 0, -0.25}, {0.25, 0, -0.25}};
    const Vec3 hi[4] = {{0.25, 4.5, 0.25}, {0.25, 4.5, -0.25}, {-0.25, 4.5, 0.25}, {0.25, 4.5, 0.25}};
    const Vec3 normals[4] = {{0, 0, 1}, {0, 0, -1}, {-1, 0, 0}, {1, 0, 0}};
    for (int face = 0; face < 4; ++face) {
        SCOPED_TRACE(::testing::Message() << "face " << face);
        EXPECT_TRUE(boxIs(drawn[face], lo[face], hi[face]));
        EXPECT_EQ(drawn[face].normal, normals[face]);
        EXPECT_GT(dot(windingNormal(drawn[face]), normals[face]), 0) << "front face outside";
    }
}

TEST_F(WheelTest, GondolasSitThreeFromTheHubButTheFourthTwoPointEight)
{
    // Known to three decimals at 30 degrees (6.225 is 3.8 + 1.4 * sqrt(3)).
    const struct { double angle; Vec3 origins[4]; } cases[] = {
        {0, {{-3, 3.8, 0.5}, {3, 3.8, 0.5}, {0, 0.8, 0.5}, {0, 6.6, 0.5}}},
        {30, {{-2.598, 2.3, 0.5}, {2.598, 5.3, 0.5}, {1.5, 1.202, 0.5}, {-1.4, 6.225, 0.5}}},
    };
    for (const auto& c : cases) {
        standin::reset();
        scene.wheelAngle = c.angle;
        drawWheel();
        const std::vector<Vec3> origins = gondolaOrigins();
        ASSERT_EQ(origins.size(), 4u);
        for (int g = 0; g < 4; ++g)
            EXPECT_TRUE(near(origins[g], c.origins[g], 5e-4)) << c.angle << " degrees, gondola " << g;
    }
}

TEST_F(WheelTest, AtRestTheAxlePlateSpokesAndChordsStandOnTheWheel)
{
    drawWheel();
    const struct { const char* name; std::vector<Vec3> vertices; Vec3 normal; std::vector<Box> boxes; } pieces[] = {
        {"axle plate", {{-0.1, 0, 0}, {-0.1, 0, 0.5}, {0.1, 0, 0.5}, {0.1, 0, 0}}, {0, 1, 0},
         {{{-0.1, 4, 0}, {0.1, 4, 0.5}}}},
        {"spoke", {{0, 0.2, 0.5}, {-3, 0.2, 0.5}, {-3, 0, 0.5}, {0, 0, 0.5}}, {0, 0, 1},
         {{{-3, 3.8, 0.5}, {0, 4, 0.5}}, {{0, 3.8, 0.5}, {3, 4, 0.5}},
          {{-0.2, 0.8, 0.5}, {0, 3.8, 0.5}}, {{0, 3.8, 0.5}, {0.2, 6.8, 0.5}}}},
        {"chord", {{-3, 0, 0.5}, {-3, 0.2, 0.5}, {0, -2.8, 0.5}, {0, -3, 0.5}}, {0, 0, -1},
         {{{-3, 0.8, 0.5}, {0, 4, 0.5}}, {{0, 0.8, 0.5}, {3, 4, 0.5}},
          {{0, 3.6, 0.5}, {3, 6.8, 0.5}}, {{-3, 3.8, 0.5}, {0.2, 6.8, 0.5}}}},
    };
    for (const auto& piece : pieces) {
        const auto found = drawnFrom(piece.vertices);
        ASSERT_EQ(found.size(), piece.boxes.size()) << piece.name;
        for (std::size_t i = 0; i < found.size(); ++i) {
            EXPECT_TRUE(boxIs(*found[i], piece.boxes[i].lo, piece.boxes[i].hi)) << piece.name << " " << i;
            EXPECT_EQ(found[i]->normal, piece.normal) << piece.name << " " << i;
        }
    }
}

TEST_F(WheelTest, GondolasStayUprightAndSpinAboutTheirOwnAxisByTheWheelAngle)
{
    // The second and fourth are turned half a turn more about their vertical axis.
    const double extraTurn[4] = {0, 180, 0, 180};
    for (double angle : {0.0, 17.5, 30.0, 90.0, 135.0, 200.0, 271.25, -45.0}) {
        standin::reset();
        scene.wheelAngle = angle;
        drawWheel();
        const auto floors = gondolaFloors();
        ASSERT_EQ(floors.size(), 4u);
        for (int g = 0; g < 4; ++g) {
            SCOPED_TRACE(::testing::Message() << "wheelAngle " << angle << ", gondola " << g);
            const double yaw = (angle + extraTurn[g]) * M_PI / 180;
            EXPECT_TRUE(near(standin::transformDirection(floors[g]->toWorld, {0, 1, 0}), {0, 1, 0}, 1e-6));
            EXPECT_TRUE(near(standin::transformDirection(floors[g]->toWorld, {0, 0, 1}),
                             {std::sin(yaw), 0, std::cos(yaw)}, 1e-6));
        }
    }
}

TEST_F(WheelTest, AWheelTurnedForDaysStandsLikeOneTurnedThirtyDegrees)
{
    enableLights();
    scene.wheelAngle = 30;
    drawFrame();
    const standin::Recorder thirty = standin::gl();
    standin::gl().primitives.clear();
    standin::gl().spheres.clear();
    scene.wheelAngle = 360.0 * 555556 + 30;
    drawFrame();
    const standin::Recorder& days = standin::gl();
    ASSERT_EQ(days.primitives.size(), thirty.primitives.size());
    for (std::size_t i = 0; i < days.primitives.size(); ++i)
        for (std::size_t k = 0; k < days.primitives[i].world.size(); ++k)
            ASSERT_TRUE(near(days.primitives[i].world[k], thirty.primitives[i].world[k], 1e-4)) << "face " << i;
    for (std::size_t i = 0; i < days.spheres.size(); ++i)
        EXPECT_TRUE(near(days.spheres[i].world, thirty.spheres[i].world, 1e-4)) << "sphere " << i;
}

TEST_F(WheelTest, GondolaCabinHasFloorRoofAndFourWallsRoundAWindow)
{
    glPushMatrix();
    drawGondola();
    glPopMatrix();
    const auto& drawn = standin::gl().primitives;
    ASSERT_EQ(drawn.size(), 2u + 4 * 4);
    EXPECT_TRUE(boxIs(drawn[0], {-0.3, 0, -0.3}, {0.3, 0, 0.3})) << "floor";
    EXPECT_TRUE(boxIs(drawn[1], {-0.3, 0.8, -0.3}, {0.3, 0.8, 0.3})) << "roof";
    EXPECT_EQ(drawn[0].normal, (Vec3{0, 1, 0}));
    EXPECT_EQ(drawn[1].normal, (Vec3{0, 1, 0}));

    // Walls z = -0.3, z = 0.3, x = -0.3, x = 0.3 with the normals as given,
    // each four quads round a window: top band, two jambs, lower panel.
    const struct { int axis; double at; Vec3 normal; } walls[4] = {
        {2, -0.3, {0, 0, 1}}, {2, 0.3, {0, 0, 1}}, {0, -0.3, {-1, 0, 0}}, {0, 0.3, {-1, 0, 0}}};
    const double quads[4][4] = {{-0.3, 0.3, 0.75, 0.8}, {-0.3, -0.2, 0.5, 0.75},  // u from, to; y from, to
                                {0.2, 0.3, 0.5, 0.75},  {-0.3, 0.3, 0, 0.5}};
    for (int w = 0; w < 4; ++w)
        for (int q = 0; q < 4; ++q) {
            SCOPED_TRACE(::testing::Message() << "wall " << w << ", quad " << q);
            const Primitive& p = drawn[2 + w * 4 + q];
            const int along = 2 - walls[w].axis;  // z walls run along x, x walls along z
            Vec3 lo, hi;
            lo[walls[w].axis] = hi[walls[w].axis] = walls[w].at;
            lo[along] = quads[q][0], hi[along] = quads[q][1], lo[1] = quads[q][2], hi[1] = quads[q][3];
            EXPECT_TRUE(boxIs(p, lo, hi));
            EXPECT_EQ(p.normal, walls[w].normal);
            EXPECT_GT(dot(windingNormal(p), p.normal), 0) << "vertex order agrees with the normal";
        }
}

}  // namespace
