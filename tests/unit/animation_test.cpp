#include "app/animation.h"
#include "scene_test.h"

namespace {

using AnimationTest = SceneTest;

void run(void (*step)(), int count)
{
    for (int i = 0; i < count; ++i) step();
}

void installedBefore() {}

TEST_F(AnimationTest, OnlyLeftAndRightPressesInstallAnAnimationAndOnlyLeftClearsLampBlue)
{
    for (int button = -5; button <= 10; ++button)
        for (int state = -5; state <= 5; ++state) {
            SCOPED_TRACE(::testing::Message() << "button " << button << ", state " << state);
            standin::reset();
            standin::gl().idle = installedBefore;
            scene.lampColor[2] = 0.5f;
            onMouse(button, state, -1, 100000);
            const bool left = state == GLUT_DOWN && button == GLUT_LEFT_BUTTON;
            const bool right = state == GLUT_DOWN && button == GLUT_RIGHT_BUTTON;
            EXPECT_EQ(standin::gl().idle, left ? &animateGo : right ? &animateStop : &installedBefore);
            EXPECT_EQ(scene.lampColor[2], left ? 0.0f : 0.5f);
            EXPECT_EQ(redraws(), 0);
        }
}

TEST_F(AnimationTest, GoWaitsFourStepsThenTurnsTwoDegreesAStepAndFadesColours)
{
    scene.lampColor[1] = 0.6f;
    run(animateGo, 4);
    EXPECT_EQ(scene.wheelAngle, 0.0);
    EXPECT_EQ(scene.speedLevel, 5);
    run(animateGo, 96);
    EXPECT_EQ(scene.wheelAngle, 192.0);
    EXPECT_EQ(scene.wheelAngleWhole, 192);
    EXPECT_EQ(redraws(), 100);
    EXPECT_NEAR(scene.surfaceColor[1], 0.45, 1e-5);
    EXPECT_NEAR(scene.surfaceColor[2], 0.65, 1e-5);

    int lampRedGone = 0, surfaceRedGone = 0;
    for (int step = 101; step <= 400; ++step) {
        animateGo();
        if (!lampRedGone && scene.lampColor[0] == 0.0f) lampRedGone = step;
        if (!surfaceRedGone && scene.surfaceColor[0] == 0.0f) surfaceRedGone = step;
    }
    EXPECT_NEAR(lampRedGone, 200, 5);
    EXPECT_NEAR(surfaceRedGone, 200, 5);
    EXPECT_EQ(scene.lampColor[1], 1.0f);
    EXPECT_EQ(scene.lampColor[2], 1.0f) << "only the mouse and keys touch lamp blue";
    EXPECT_EQ(scene.surfaceColor[3], 0.8f);
}

TEST_F(AnimationTest, SpeedLevelReadsTenOnlyOnWholeTurnsFromEighteenHundred)
{
    for (int step = 0; step < 3000; ++step) {
        animateGo();
        const bool onTurnFrom1800 = scene.wheelAngleWhole >= 1800 && scene.wheelAngleWhole % 360 == 0;
        ASSERT_LE(scene.speedLevel, 10);
        ASSERT_EQ(scene.speedLevel == 10, onTurnFrom1800) << "at " << scene.wheelAngle;
    }
}

// The whole turn test uses the current angle: the whole part left at 0 by
// the hold at 2 degrees must not wind the speed down further.
TEST_F(AnimationTest, StopAfterAShortGoRestsAtTwoDegreesAndKeepsRedrawing)
{
    run(animateGo, 100);
    run(animateStop, 1000);
    EXPECT_EQ(scene.wheelAngle, 2.0);
    EXPECT_EQ(scene.speedLevel, 5);
    EXPECT_EQ(scene.lampColor[0], 1.0f);
    EXPECT_EQ(scene.lampColor[1], 0.0f);
    EXPECT_EQ(redraws(), 1100);
}

TEST_F(AnimationTest, StopAfterGoingPastEighteenHundredRestsOnAWholeTurn)
{
    while (scene.wheelAngle < 1802.0) animateGo();
    run(animateStop, 5000);
    EXPECT_EQ(scene.wheelAngle, 360.0);
    EXPECT_EQ(scene.speedLevel, 0);
}

TEST_F(AnimationTest, StopBeforeAnyGoOnlyBrightensSurfacesAndBlueWrapsToBlack)
{
    onMouse(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    int blueWrapped = 0;
    for (int step = 1; step <= 12000; ++step) {
        standin::gl().idle();
        if (!blueWrapped && scene.surfaceColor[2] == 0.0f) blueWrapped = step;
    }
    EXPECT_NEAR(blueWrapped, 6000, 50);
    EXPECT_NEAR(scene.surfaceColor[2], (12000 - blueWrapped) * 0.00005, 1e-3) << "climbs again";
    EXPECT_EQ(scene.surfaceColor[1], 1.0f);
    EXPECT_NEAR(scene.surfaceColor[0], 0.7, 1e-3);
    EXPECT_EQ(scene.wheelAngle, 0.0);
    EXPECT_EQ(scene.lampColor[1], 1.0f);
    EXPECT_EQ(redraws(), 0);
}

TEST_F(AnimationTest, PauseFreezesBothAnimationsWithoutRedraw)
{
    run(animateGo, 50);
    scene.paused = 1;
    const SceneState before = snapshot();
    const int redrawsBefore = redraws();
    run(animateGo, 10);
    run(animateStop, 10);
    EXPECT_TRUE(unchanged(before));
    EXPECT_EQ(redraws(), redrawsBefore);
    scene.paused = 0;
    animateGo();
    EXPECT_EQ(scene.wheelAngle, before.wheelAngle + 2);
}

}  // namespace
