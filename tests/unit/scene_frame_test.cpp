#include "geometry_helpers.h"
#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

#include <functional>
#include <vector>

namespace {

// The whole frame: the material each element hands on to the next, the
// spheres it draws, and the matrix each drawing function leaves behind.
using SceneFrameTest = SceneTest;
using geometry::coloured;
using geometry::sameColor;

TEST_F(SceneFrameTest, MaterialsCarryOverFromElementToElementInDrawingOrder)
{
    enableStartupLights();
    const standin::Material initial;  // OpenGL's initial material
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(::testing::Message() << "frame " << frame);
        standin::clearRecords();
        drawFrame();
        const geometry::FrameParts parts = geometry::FrameParts::of(standin::gl().primitives);
        ASSERT_EQ(standin::gl().primitives.size(), geometry::FrameParts::total);

        // Every face: the frame's surface defaults on the front, which every
        // restoreSurfaceMaterial repeats; back specular stays OpenGL's black.
        for (const standin::Primitive& p : standin::gl().primitives) {
            ASSERT_TRUE(sameColor(p.front.emission, scene.blackEmission));
            ASSERT_TRUE(sameColor(p.front.specular, scene.surfaceColor));
            ASSERT_EQ(p.front.shininess, scene.lampColor[0]);
            ASSERT_TRUE(sameColor(p.back.specular, initial.specular.data()));
        }

        const standin::Primitive& ground = *parts.ground[0];
        EXPECT_TRUE(coloured(ground.front, scene.grassColor));
        // The ground's back keeps what the previous frame's last gondola left.
        if (frame == 0) {
            EXPECT_TRUE(sameColor(ground.back.ambient, initial.ambient.data()));
            EXPECT_TRUE(sameColor(ground.back.diffuse, initial.diffuse.data()));
        } else {
            EXPECT_TRUE(coloured(ground.back, scene.surfaceColor));
        }

        for (const standin::Primitive* p : parts.fence) {
            EXPECT_TRUE(coloured(p->front, scene.surfaceColor));
            EXPECT_TRUE(coloured(p->back, scene.surfaceColor));
        }

        // Plaza, tiles, tower: stone in front, the fence's colour behind.
        std::vector<const standin::Primitive*> stone = parts.plaza;
        stone.insert(stone.end(), parts.tiles.begin(), parts.tiles.end());
        stone.insert(stone.end(), parts.tower.begin(), parts.tower.end());
        for (const standin::Primitive* p : stone) {
            EXPECT_TRUE(coloured(p->front, scene.stoneColor));
            EXPECT_TRUE(coloured(p->back, scene.surfaceColor));
        }

        // The wheel: axle plate, first spoke, first chord, then the first
        // gondola's floor and roof keep the tower's stone in front; from the
        // first gondola's lamps on, surfaceColor on both faces.
        const auto& wheel = parts.wheel;
        ASSERT_EQ(wheel.size(), geometry::FrameParts::wheelCount);
        EXPECT_NEAR(wheel[0]->vertices[1][2], 0.5, 1e-6) << "the axle plate";
        EXPECT_NEAR(wheel[1]->vertices[1][0], -3, 1e-6) << "the first spoke";
        EXPECT_NEAR(wheel[2]->vertices[2][1], -2.8, 1e-6) << "the first chord";
        EXPECT_EQ(geometry::withLocalVertices(geometry::gondolaFloor()).front(), wheel[3]) << "the first floor";
        EXPECT_NEAR(wheel[4]->vertices[0][1], 0.8, 1e-6) << "the first roof";
        for (std::size_t i = 0; i < wheel.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "wheel face " << i);
            EXPECT_TRUE(coloured(wheel[i]->front, i < 5 ? scene.stoneColor : scene.surfaceColor));
            EXPECT_TRUE(coloured(wheel[i]->back, scene.surfaceColor));
        }
    }
}

TEST_F(SceneFrameTest, TwentyEightSpheresWhoseRadiiFollowTheLampScale)
{
    enableStartupLights();
    // 1 at start, 0 after l, 2 after L from the start: twice the start radii.
    for (int lampScale : {1, 0, 2}) {
        SCOPED_TRACE(::testing::Message() << "lampScale " << lampScale);
        standin::clearRecords();
        scene.lampScale = lampScale;
        drawFrame();
        const auto& spheres = standin::gl().spheres;
        ASSERT_EQ(spheres.size(), 28u);
        for (const standin::Sphere& s : spheres) {
            EXPECT_EQ(s.slices, 10);
            EXPECT_EQ(s.stacks, 8);
        }
        for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(spheres[i].radius, 0.05 * lampScale) << "marker " << i;
        EXPECT_DOUBLE_EQ(spheres[3].radius, 0.37) << "tower lamp";

        const double posts[8][2] = {{5, -2.5}, {5, 2.5}, {2.5, 5}, {-2.5, 5}, {-5, 2.5}, {-5, -2.5}, {-2.5, -5}, {2.5, -5}};
        for (int i = 0; i < 8; ++i) {
            const standin::Sphere& lamp = spheres[4 + i];
            EXPECT_NEAR_VEC3(lamp.world, posts[i][0], 1, posts[i][1], 1e-5);
            EXPECT_DOUBLE_EQ(lamp.radius, 0.1 * lampScale) << "post lamp " << i;
            EXPECT_TRUE(sameColor(lamp.front.emission, scene.lampColor)) << "post lamp " << i;
        }

        // Four lamps on each gondola's roof, 0.25 in from each side of it.
        const auto floors = geometry::withLocalVertices(geometry::gondolaFloor());
        ASSERT_EQ(floors.size(), 4u);
        for (int i = 0; i < 16; ++i) {
            const standin::Sphere& lamp = spheres[12 + i];
            const standin::Vec3 origin = geometry::worldCentre(*floors[i / 4]);
            EXPECT_NEAR(lamp.world[1], origin[1] + 0.8, 1e-5) << "roof lamp " << i;
            EXPECT_NEAR(std::hypot(lamp.world[0] - origin[0], lamp.world[2] - origin[2]), 0.25 * std::sqrt(2.0), 1e-5)
                << "roof lamp " << i;
            EXPECT_DOUBLE_EQ(lamp.radius, 0.03 * lampScale) << "roof lamp " << i;
            EXPECT_TRUE(sameColor(lamp.front.emission, scene.lampColor)) << "roof lamp " << i;
        }
    }
}

TEST_F(SceneFrameTest, EveryDrawingFunctionLeavesTheModelViewAsItFoundIt)
{
    struct Drawer {
        const char* name;
        void (*draw)();
        bool bracketedByCaller;  // may leave its own transformations
    };
    const Drawer drawers[] = {
        {"drawGround", drawGround, false}, {"drawPlaza", drawPlaza, false},     {"drawTile", drawTile, true},
        {"drawFence", drawFence, false},   {"drawFencePost", drawFencePost, true}, {"drawTower", drawTower, false},
        {"drawWheel", drawWheel, false},   {"drawSpoke", drawSpoke, false},     {"drawRimChord", drawRimChord, false},
        {"drawGondola", drawGondola, true},
    };
    scene.wheelAngle = 47;
    for (const Drawer& d : drawers) {
        SCOPED_TRACE(d.name);
        standin::reset();
        glTranslatef(1.5f, -2, 3);
        glRotatef(33, 0.2f, 1, 0.4f);
        const standin::Mat4 before = standin::gl().modelView();
        if (d.bracketedByCaller) glPushMatrix();
        d.draw();
        if (d.bracketedByCaller) glPopMatrix();
        EXPECT_EQ(standin::gl().modelViewStack.size(), 1u);
        EXPECT_EQ(standin::gl().modelView(), before);
        EXPECT_TRUE(standin::gl().errors.empty()) << standin::gl().errors.front();
        EXPECT_FALSE(standin::gl().primitives.empty());
    }
}

}  // namespace
