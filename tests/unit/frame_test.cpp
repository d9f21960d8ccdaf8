#include "scene/elements.h"
#include "scene/frame.h"
#include "scene_test.h"

namespace {

using FrameTest = SceneTest;

const standin::Sphere* sphereAt(const float position[4])
{
    for (const standin::Sphere& s : standin::gl().spheres)
        if (distance(s.world, {position[0], position[1], position[2]}) < 1e-5) return &s;
    return nullptr;
}

TEST_F(FrameTest, SkyIsAFifthOfTheLampColourAndTheFrameIsSeenFromTheEyeOnce)
{
    enableLights();
    scene.eye[0] = -0.4;
    scene.eye[2] = 7.4;
    drawFrame();
    const standin::Recorder& r = standin::gl();
    EXPECT_TRUE(sameColor(r.clearColor, std::array{0.2f, 0.2f, 0.2f, 0.0f}.data()));
    EXPECT_EQ(r.clearMask, static_cast<GLbitfield>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
    EXPECT_TRUE(near(standin::transformPoint(r.view, {-0.4, 5, 7.4}), {0, 0, 0}, 1e-9));
    EXPECT_TRUE(near(standin::transformPoint(r.view, {0, 1, 0}), {0, 0, -distance({-0.4, 5, 7.4}, {0, 1, 0})}, 1e-9));
    EXPECT_GT(standin::transformDirection(r.view, {0, 1, 0})[1], 0) << "+y stays up on screen";
    EXPECT_EQ(r.swaps, 1);
    EXPECT_EQ(redraws(), 0) << "drawing never asks for another frame";

    scene.lampColor[0] = 0.5f;
    scene.lampColor[1] = 0.25f;
    drawFrame();
    EXPECT_TRUE(sameColor(r.clearColor, std::array{0.1f, 0.05f, 0.2f, 0.0f}.data()));
}

TEST_F(FrameTest, OnlyEnabledLightsArePlacedAndMarked)
{
    const float* positions[] = {scene.light0Position, scene.light1Position, scene.light2Position,
                                scene.light3Position};
    const float* emissions[] = {scene.lampColor, scene.lampColor, scene.whiteEmission, scene.lampColor};
    const GLenum lights[] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3};
    const std::vector<int> cases[] = {{0, 1, 2, 3}, {1, 3}};
    scene.lampColor[0] = 0.5f;  // unlike white
    for (const std::vector<int>& on : cases) {
        standin::reset();
        for (int light : on) standin::gl().enabled.insert(lights[light]);
        drawFrame();
        const auto& placed = standin::gl().lightPositions;
        ASSERT_EQ(placed.size(), on.size());
        for (std::size_t i = 0; i < on.size(); ++i) {
            const float* given = positions[on[i]];
            EXPECT_EQ(placed[i].light, lights[on[i]]);
            EXPECT_TRUE(near(placed[i].world, {given[0], given[1], given[2]}, 1e-5)) << "given in world coordinates";
            ASSERT_TRUE(sphereAt(given));
            EXPECT_TRUE(sameColor(sphereAt(given)->front.emission, emissions[on[i]]));
        }
        for (int light : {0, 2})
            EXPECT_EQ(sphereAt(positions[light]) != nullptr, on.size() == 4) << "light " << light;
    }
}

TEST_F(FrameTest, TwentyEightSpheresWhoseRadiiFollowTheLampScale)
{
    enableLights();
    // 1 at start, 0 after l, 2 after L from the start: twice the start radii.
    for (int lampScale : {1, 0, 2}) {
        SCOPED_TRACE(::testing::Message() << "lampScale " << lampScale);
        standin::gl().spheres.clear();
        standin::gl().primitives.clear();
        scene.lampScale = lampScale;
        drawFrame();
        const auto& spheres = standin::gl().spheres;
        ASSERT_EQ(spheres.size(), 28u);
        for (const standin::Sphere& s : spheres) EXPECT_EQ((std::array{s.slices, s.stacks}), (std::array{10, 8}));
        for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(spheres[i].radius, 0.05 * lampScale) << "marker " << i;
        EXPECT_DOUBLE_EQ(spheres[3].radius, 0.37) << "tower lamp";

        for (int i = 0; i < 8; ++i) {
            EXPECT_TRUE(near(spheres[4 + i].world, {postCorners[i][0], 1, postCorners[i][1]}, 1e-5)) << "post " << i;
            EXPECT_DOUBLE_EQ(spheres[4 + i].radius, 0.1 * lampScale) << "post lamp " << i;
        }
        // Four lamps on each gondola's roof, 0.25 in from each side of it.
        const std::vector<Vec3> origins = gondolaOrigins();
        ASSERT_EQ(origins.size(), 4u);
        for (int i = 0; i < 16; ++i) {
            const Vec3& lamp = spheres[12 + i].world;
            const Vec3& origin = origins[i / 4];
            EXPECT_NEAR(lamp[1], origin[1] + 0.8, 1e-5) << "roof lamp " << i;
            EXPECT_NEAR(std::hypot(lamp[0] - origin[0], lamp[2] - origin[2]), 0.25 * std::sqrt(2.0), 1e-5);
            EXPECT_DOUBLE_EQ(spheres[12 + i].radius, 0.03 * lampScale) << "roof lamp " << i;
        }
        for (int i = 4; i < 28; ++i) EXPECT_TRUE(sameColor(spheres[i].front.emission, scene.lampColor)) << i;
    }
}

TEST_F(FrameTest, MaterialsCarryOverFromElementToElementInDrawingOrder)
{
    enableLights();
    const standin::Material initial;  // OpenGL's
    scene.surfaceColor[0] = 0.15f;  // after key R: the fence and all follow it
    for (int frame = 0; frame < 2; ++frame) {
        SCOPED_TRACE(::testing::Message() << "frame " << frame);
        standin::gl().primitives.clear();  // the GL state carries over
        drawFrame();
        const auto& faces = standin::gl().primitives;
        ASSERT_EQ(faces.size(), frameFaceCount);
        // The wheel's axle plate, first spoke, first chord and the first
        // gondola's floor and roof come before the first gondola's lamps.
        ASSERT_EQ(gondolaFloors().front(), &faces[wheelFace + 3]);

        for (std::size_t i = 0; i < faces.size(); ++i) {
            SCOPED_TRACE(::testing::Message() << "face " << i);
            const Primitive& p = faces[i];
            // The frame's surface defaults, which every lamp's reset repeats.
            ASSERT_TRUE(sameColor(p.front.emission, scene.blackEmission));
            ASSERT_TRUE(sameColor(p.front.specular, scene.surfaceColor));
            ASSERT_EQ(p.front.shininess, scene.lampColor[0]);
            ASSERT_TRUE(sameColor(p.back.specular, initial.specular.data()));

            // Ground grass; fence surface; plaza, tiles, tower and the wheel
            // up to the first lamps stone; the rest surface. Behind, the
            // fence's colour from the fence on; the ground's back keeps what
            // the previous frame's last gondola left.
            const bool stone = i >= plazaFace && i < wheelFace + 5;
            const float* front = i == 0 ? scene.grassColor : stone ? scene.stoneColor : scene.surfaceColor;
            ASSERT_TRUE(coloured(p.front, front));
            if (i > 0 || frame > 0) {
                ASSERT_TRUE(coloured(p.back, scene.surfaceColor));
            }
        }
    }
}

TEST_F(FrameTest, EveryDrawingFunctionLeavesTheModelViewAsItFoundIt)
{
    const struct {
        const char* name;
        void (*draw)();
        bool bracketedByCaller;  // may leave its own transformations
    } drawers[] = {
        {"drawGround", drawGround, false}, {"drawPlaza", drawPlaza, false},   {"drawTile", drawTile, true},
        {"drawFence", drawFence, false},   {"drawFencePost", drawFencePost, true},
        {"drawTower", drawTower, false},   {"drawWheel", drawWheel, false},   {"drawSpoke", drawSpoke, false},
        {"drawRimChord", drawRimChord, false}, {"drawGondola", drawGondola, true},
    };
    scene.wheelAngle = 47;
    for (const auto& d : drawers) {
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
    }
}

}  // namespace
