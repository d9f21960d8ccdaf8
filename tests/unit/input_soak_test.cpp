#include "app/animation.h"
#include "app/keyboard.h"
#include "scene_test.h"

#include <cstdint>
#include <random>

namespace {

using SoakTest = SceneTest;

bool inUnitRange(float value) { return value >= 0.0f && value <= 1.0f; }

TEST_F(SoakTest, LongRandomRunOfKeysButtonsAndStepsKeepsEveryValueInItsRange)
{
    std::mt19937 random(20240611u);
    std::uniform_int_distribution<int> kind(0, 99), byte(0, 255), button(-5, 10), state(-5, 5);
    std::uniform_int_distribution<int> usualButton(0, 2), usualState(0, 1);
    for (int event = 0; event < 300000; ++event) {
        const int k = kind(random);
        if (k < 70) {
            if (standin::gl().idle) standin::gl().idle();
        } else if (k < 94) {
            onKeyboard(static_cast<unsigned char>(byte(random)), byte(random), -byte(random));
        } else if (k < 97) {
            onMouse(usualButton(random), usualState(random), 0, 0);
        } else {
            onMouse(button(random), state(random), 0, 0);
        }
        bool ok = scene.lampColor[3] == 1.0f && scene.surfaceColor[3] >= -0.1f && scene.surfaceColor[3] <= 1.1f;
        for (int c = 0; c < 3; ++c) ok = ok && inUnitRange(scene.surfaceColor[c]) && inUnitRange(scene.lampColor[c]);
        ok = ok && scene.speedLevel >= 0 && scene.speedLevel <= 10 && scene.wheelAngle >= 0.0;
        ASSERT_TRUE(ok) << "after event " << event;
    }
    EXPECT_GT(scene.wheelAngle, 0.0) << "the run should have turned the wheel";
}

// Past 2^25 degrees a float angle would stop moving; days of running must not
// stall the wheel or desynchronise its whole part.
TEST_F(SoakTest, GoAnimationStillTurnsTwoDegreesAfterAHundredMillionSteps)
{
    const int steps = 100000000;
    for (int i = 0; i < steps; ++i) animateGo();
    const double expected = 2.0 * (steps - 4);
    EXPECT_EQ(scene.wheelAngle, expected);
    EXPECT_EQ(scene.wheelAngleWhole, static_cast<std::int64_t>(expected));
    for (double far : {0x1p40, 0x1p52}) {
        scene.wheelAngle = far;
        animateGo();
        EXPECT_EQ(scene.wheelAngle, far + 2) << far;
        EXPECT_EQ(scene.wheelAngleWhole, static_cast<std::int64_t>(far) + 2) << far;
    }
}

}  // namespace
