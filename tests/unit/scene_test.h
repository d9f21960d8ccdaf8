#pragma once

#include "app/scene_state.h"
#include "stand_in.h"

#include <gtest/gtest.h>

#include <cmath>

// Every test starts from the program's initial state and a fresh GL.
class SceneTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        standin::reset();
        scene = initialSceneState();
    }

    // The lights that start-up switches on, and the model-view matrix current.
    static void enableStartupLights()
    {
        for (GLenum light : {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}) standin::gl().enabled.insert(light);
    }
};

inline double distance(const standin::Vec3& a, const standin::Vec3& b)
{
    return std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]) +
                     (a[2] - b[2]) * (a[2] - b[2]));
}

#define EXPECT_NEAR_VEC3(actual, ex, ey, ez, tolerance)        \
    do {                                                         \
        const standin::Vec3 actualValue = (actual);              \
        EXPECT_NEAR(actualValue[0], (ex), (tolerance)) << "x";   \
        EXPECT_NEAR(actualValue[1], (ey), (tolerance)) << "y";   \
        EXPECT_NEAR(actualValue[2], (ez), (tolerance)) << "z";   \
    } while (0)

#define EXPECT_COLOR_EQ(actual, expected)                          \
    do {                                                             \
        for (int component = 0; component < 4; ++component)         \
            EXPECT_FLOAT_EQ((actual)[component], (expected)[component]) \
                << "component " << component;                        \
    } while (0)
