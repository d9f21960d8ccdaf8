#include "program.h"

#include <cmath>
#include <functional>

using Animation = Program;

void click(int button) { onMouse(button, GLUT_DOWN, 0, 0); }
int redraws() { return record().redraws; }

// Steps paused change nothing and ask for no redraw.
void expectPauseFreezes()
{
    press("P");
    const std::string before = describe(scene) + std::to_string(redraws());
    animationSteps(100);
    EXPECT_EQ(describe(scene) + std::to_string(redraws()), before);
    press("p");
}

TEST_F(Animation, GoWaitsFourStepsThenTurnsTwoDegreesAStepWhileTheColoursFade)
{
    press("nnnn");  // lamp green 0.8, with room to climb
    click(GLUT_LEFT_BUTTON);
    for (int step = 1; step <= 2000; ++step) {
        const double angle = scene.wheelAngle;
        animationSteps(1);
        ASSERT_EQ(scene.wheelAngle - angle, step <= 4 ? 0 : 2) << "step " << step;
        const bool wholeTurnFrom1800 = scene.wheelAngle >= 1800 && std::fmod(scene.wheelAngle, 360) == 0;
        ASSERT_EQ(scene.speedLevel == 10, wholeTurnFrom1800) << "step " << step << ", level " << scene.speedLevel;
        const bool lampGreenFull = scene.lampColor[1] == 1, redsOut = scene.lampColor[0] + scene.surfaceColor[0] == 0;
        ASSERT_TRUE((step != 39 || !lampGreenFull) && (step != 41 || lampGreenFull)) << "green full about step 40";
        ASSERT_TRUE((step != 199 || !redsOut) && (step != 201 || redsOut)) << "lamp and surface red out about step 200";
    }
    EXPECT_EQ(redraws(), 4 + 2000);
    expectPauseFreezes();
    // The angle is a double: a float angle would stop taking 2-degree steps past 2^25 degrees.
    animationSteps(100'000'000 - 2000);
    EXPECT_EQ(scene.wheelAngle, 2.0 * (100'000'000 - 4));
}

TEST_F(Animation, StopRestsAtTwoDegreesAfterAShortGoAndOnAWholeTurnAfterALongOne)
{
    // steps of go, then the angle and speed level where the stop rests
    for (const auto& [goSteps, angle, level] :
         {std::tuple{100, 2, 5}, {904, 2, 5}, {905, 360, 0}, {1264, 720, 0}, {1265, 1080, 0}}) {
        start();
        click(GLUT_LEFT_BUTTON);
        animationSteps(goSteps);
        click(GLUT_RIGHT_BUTTON);
        animationSteps(2000);
        // at rest, every step still redraws; the lamps have turned red
        EXPECT_EQ(std::tuple(scene.wheelAngle, scene.speedLevel, redraws(), scene.lampColor[0], scene.lampColor[1]),
                  std::tuple(double(angle), level, goSteps + 2000, 1.0f, 0.0f))
            << "after a go of " << goSteps << " steps";
        expectPauseFreezes();
    }
}

// Steps that redraw nothing come one a frame of a 60 Hz display, on a timer,
// not as fast as the machine can spin.
TEST_F(Animation, StopBeforeAnyGoOnlyBrightensTheSurfaceWithBlueWrappingToBlack)
{
    click(GLUT_RIGHT_BUTTON);
    int step = 0;
    for (; step < 3; ++step) {
        const float red = scene.surfaceColor[0];
        ASSERT_EQ(record().idle, nullptr);
        ASSERT_EQ(record().timers.size(), 1u);
        EXPECT_GE(record().timers[0].milliseconds * 60, 1000u);
        timeOut();
        EXPECT_EQ(scene.surfaceColor[0], float(red + 0.00005));
    }
    while (++step < 7000 && scene.surfaceColor[2] > 0) animationSteps(1);
    EXPECT_NEAR(step, 6000, 10);
    animationSteps(1);
    EXPECT_EQ(scene.surfaceColor[2], 0.00005f);
    // red and green climb 0.00005 a step too, green until it holds at 1
    EXPECT_NEAR(scene.surfaceColor[0], 0.1 + step * 0.00005, 1e-4);
    EXPECT_NEAR(scene.surfaceColor[1], 0.5 + step * 0.00005, 1e-4);
    animationSteps(12000 - step);
    EXPECT_NEAR(scene.surfaceColor[0], 0.7, 1e-3);
    EXPECT_EQ(scene.surfaceColor[1], 1.0f);
    SceneState expected = initialSceneState();
    std::copy(scene.surfaceColor, scene.surfaceColor + 4, expected.surfaceColor);
    EXPECT_EQ(describe(scene) + std::to_string(redraws()), describe(expected) + "0");

    // Blue wraps only once it passes 1: at 1 it stays.
    start();
    press("UUUUUUU");
    click(GLUT_RIGHT_BUTTON);
    animationSteps(10);
    EXPECT_EQ(scene.surfaceColor[2], 1.0f);
}

void otherIdle() {}

TEST_F(Animation, OnlyAPressOfTheLeftOrRightButtonStartsOneAndOnlyTheLeftClearsTheLampBlue)
{
    for (int button : {GLUT_LEFT_BUTTON, GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON, 3, -1})
        for (int state : {GLUT_DOWN, GLUT_UP, 7}) {
            start();
            record().idle = otherIdle;
            onMouse(button, state, -1, 1 << 30);
            const bool down = state == GLUT_DOWN, left = down && button == GLUT_LEFT_BUTTON;
            const bool right = down && button == GLUT_RIGHT_BUTTON;  // steps on a timer at rest
            EXPECT_EQ(std::pair(record().idle, record().timers.size()),
                      std::pair(left ? animateGo : right ? nullptr : otherIdle, std::size_t(right)));
            EXPECT_EQ(describe(scene) + std::to_string(redraws()),
                      with(describe(initialSceneState()), left ? "lamp 1 1 0 1" : "") + "0")
                << "button " << button << ", state " << state;
        }
}

// Paused or hidden the program holds no idle callback and takes no timed
// step, so it sleeps; the animation last chosen comes back when it is
// neither, the stop animation at rest on a timer.
TEST_F(Animation, PausedOrHiddenThereIsNoIdleCallbackAndTheChosenAnimationComesBack)
{
    const auto left = [] { click(GLUT_LEFT_BUTTON); };
    const auto right = [] { click(GLUT_RIGHT_BUTTON); };
    const auto status = [](int value) { return [value] { onWindowStatus(value); }; };
    const struct { const char* event; std::function<void()> happen; void (*idle)(); bool timed; } events[] = {
        {"p before any click", [] { press("p"); }, nullptr, 0},
        {"left", left, animateGo, 0},
        {"P", [] { press("P"); }, nullptr, 0},
        {"right while paused", right, nullptr, 0},
        {"hidden", status(GLUT_HIDDEN), nullptr, 0},
        {"p while hidden", [] { press("p"); }, nullptr, 0},
        {"shown", status(GLUT_FULLY_RETAINED), nullptr, 1},
        {"covered", status(GLUT_FULLY_COVERED), nullptr, 0},
        {"shown again", status(GLUT_PARTIALLY_RETAINED), nullptr, 1},
        {"left", left, animateGo, 0},
        {"right", right, nullptr, 1},
        {"left while covered", [=] { status(GLUT_FULLY_COVERED)(); left(); }, nullptr, 0},
        {"partly shown", status(GLUT_PARTIALLY_RETAINED), animateGo, 0},
        {"P", [] { press("P"); }, nullptr, 0},
        {"shown while paused", status(GLUT_FULLY_RETAINED), nullptr, 0},
        {"p", [] { press("p"); }, animateGo, 0},
    };
    for (const auto& e : events) {
        e.happen();
        const float red = scene.surfaceColor[0];
        timeOut();
        EXPECT_EQ(std::pair(record().idle, scene.surfaceColor[0] != red), std::pair(e.idle, e.timed)) << e.event;
    }
    EXPECT_EQ(scene.lampColor[2], 0.0f) << "a left click clears the lamp blue at once, paused or not";
    EXPECT_EQ(scene.wheelAngle, 0.0) << "nothing stepped";
}
