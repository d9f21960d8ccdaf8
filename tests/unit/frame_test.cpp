#include "scene/frame.h"
#include "scene_test.h"

#include <optional>

namespace {

using FrameTest = SceneTest;

std::optional<standin::Sphere> sphereAt(const float position[4])
{
    for (const standin::Sphere& s : standin::gl().spheres)
        if (distance(s.world, {position[0], position[1], position[2]}) < 1e-5) return s;
    return std::nullopt;
}

std::vector<GLenum> lightsGivenAPosition()
{
    std::vector<GLenum> lights;
    for (const standin::LightPosition& p : standin::gl().lightPositions) lights.push_back(p.light);
    return lights;
}

TEST_F(FrameTest, SkyIsAFifthOfTheLampColour)
{
    enableStartupLights();
    drawFrame();
    EXPECT_COLOR_EQ(standin::gl().clearColor, (standin::Color{0.2f, 0.2f, 0.2f, 0.0f}));

    scene.lampColor[0] = 0.0f;
    scene.lampColor[1] = 0.0f;
    scene.lampColor[2] = 0.0f;
    drawFrame();
    EXPECT_COLOR_EQ(standin::gl().clearColor, (standin::Color{0, 0, 0, 0}));

    scene.lampColor[0] = 0.5f;
    scene.lampColor[1] = 0.25f;
    scene.lampColor[2] = 1.0f;
    drawFrame();
    EXPECT_COLOR_EQ(standin::gl().clearColor, (standin::Color{0.1f, 0.05f, 0.2f, 0.0f}));
    EXPECT_EQ(standin::gl().clears.back(), static_cast<GLbitfield>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

TEST_F(FrameTest, CameraLooksFromTheEyeTowardsTheWheelHub)
{
    enableStartupLights();
    scene.eye[0] = -0.4;
    scene.eye[1] = 5;
    scene.eye[2] = 7.4;
    drawFrame();
    const standin::Mat4& view = standin::gl().view;
    EXPECT_NEAR_VEC3(standin::transformPoint(view, {-0.4, 5, 7.4}), 0, 0, 0, 1e-9);
    const standin::Vec3 target = standin::transformPoint(view, {0, 1, 0});
    EXPECT_NEAR(target[0], 0, 1e-9);
    EXPECT_NEAR(target[1], 0, 1e-9);
    EXPECT_LT(target[2], 0);
    const standin::Vec3 up = standin::transformDirection(view, {0, 1, 0});
    EXPECT_GT(up[1], 0) << "+y stays up on screen";
}

TEST_F(FrameTest, EachEnabledLightGetsItsWorldPositionAndMarker)
{
    enableStartupLights();
    drawFrame();
    EXPECT_EQ(lightsGivenAPosition(), (std::vector<GLenum>{GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}));
    for (const standin::LightPosition& p : standin::gl().lightPositions) {
        EXPECT_NEAR_VEC3(p.world, p.given[0], p.given[1], p.given[2], 1e-5);
        EXPECT_EQ(p.given[3], 1.0f) << "a point light";
    }

    const auto light0 = sphereAt(scene.light0Position);
    const auto light1 = sphereAt(scene.light1Position);
    const auto light2 = sphereAt(scene.light2Position);
    const auto light3 = sphereAt(scene.light3Position);
    ASSERT_TRUE(light0 && light1 && light2 && light3);
    EXPECT_DOUBLE_EQ(light0->radius, 0.05);
    EXPECT_DOUBLE_EQ(light1->radius, 0.05);
    EXPECT_DOUBLE_EQ(light2->radius, 0.05);
    EXPECT_DOUBLE_EQ(light3->radius, 0.37);
    EXPECT_EQ(light0->slices, 10);
    EXPECT_EQ(light0->stacks, 8);
    EXPECT_COLOR_EQ(light0->front.emission, scene.lampColor);
    EXPECT_COLOR_EQ(light1->front.emission, scene.lampColor);
    EXPECT_COLOR_EQ(light2->front.emission, scene.whiteEmission);
    EXPECT_COLOR_EQ(light3->front.emission, scene.lampColor);
}

TEST_F(FrameTest, DisabledLightsGetNeitherPositionNorMarker)
{
    enableStartupLights();
    standin::gl().enabled.erase(GL_LIGHT0);
    standin::gl().enabled.erase(GL_LIGHT2);
    drawFrame();
    EXPECT_EQ(lightsGivenAPosition(), (std::vector<GLenum>{GL_LIGHT1, GL_LIGHT3}));
    EXPECT_FALSE(sphereAt(scene.light0Position));
    EXPECT_TRUE(sphereAt(scene.light1Position));
    EXPECT_FALSE(sphereAt(scene.light2Position));
    EXPECT_TRUE(sphereAt(scene.light3Position));
}

TEST_F(FrameTest, MarkerRadiiFollowTheLampScaleExceptTheTowerLamp)
{
    enableStartupLights();
    for (int lampScale : {3, 0, -2}) {
        standin::clearRecords();
        scene.lampScale = lampScale;
        drawFrame();
        for (const float* position : {scene.light0Position, scene.light1Position, scene.light2Position}) {
            const auto marker = sphereAt(position);
            ASSERT_TRUE(marker);
            EXPECT_DOUBLE_EQ(marker->radius, lampScale * 0.05);
        }
        ASSERT_TRUE(sphereAt(scene.light3Position));
        EXPECT_DOUBLE_EQ(sphereAt(scene.light3Position)->radius, 0.37);
    }
}

TEST_F(FrameTest, FrameIsShownOnceAndLeavesTheMatricesBalanced)
{
    enableStartupLights();
    drawFrame();
    const standin::Recorder& r = standin::gl();
    EXPECT_EQ(r.clears.size(), 1u);
    EXPECT_EQ(r.flushes, 1);
    EXPECT_EQ(r.swaps, 1);
    EXPECT_EQ(r.calls.back(), "glutSwapBuffers");
    EXPECT_EQ(r.modelViewStack.size(), 1u);
    EXPECT_EQ(r.modelView(), r.view);
    EXPECT_TRUE(r.errors.empty()) << r.errors.front();
    EXPECT_EQ(r.redisplayRequests, 0) << "drawing never asks for another frame";
}

TEST_F(FrameTest, RotationAngleKeepsPrecisionForAWheelThatTurnedForDays)
{
    EXPECT_EQ(rotationAngle(30.0), 30.0f);
    EXPECT_EQ(rotationAngle(-120.0), -120.0f);
    const double turnedForDays = 360.0 * 555556 + 2;  // past 2e8 degrees
    EXPECT_EQ(rotationAngle(turnedForDays), 2.0f);
    EXPECT_EQ(rotationAngle(turnedForDays + 90), 92.0f);
    EXPECT_EQ(rotationAngle(-turnedForDays - 90), -92.0f);
}

}  // namespace
