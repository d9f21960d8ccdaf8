#include "app/startup.h"
#include "harness.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using e2e::App;
using e2e::Image;
using e2e::Rect;
using e2e::Rgb;

using e2e::startSky;
using e2e::glowingWhite;

TEST(StartUp, BannerIsOnStandardOutputBeforeTheFirstFrame)
{
    App app;
    app.waitForFirstFrame();
    // Nothing waits here for more output: what the pipe holds once a frame
    // is on screen must already be the whole banner.
    EXPECT_EQ(app.output(), controlsBanner);
}

TEST(StartUp, BannerIsNotLostWhenTheProgramIsKilled)
{
    const std::string path = testing::TempDir() + "fairground-e2e-stdout-" + std::to_string(getpid());
    {
        App app(path);
        app.waitForFirstFrame();
        app.kill(SIGKILL);
        ASSERT_TRUE(app.waitForExit());
    }
    std::ifstream file(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::remove(path.c_str());
    EXPECT_EQ(written, controlsBanner);
}

TEST(StartUp, WindowIs800By600At10And10)
{
    App app;
    EXPECT_EQ(app.geometry(), (Rect{10, 10, 800, 600}));
}

TEST(StartUp, FirstFrameSkyIsAFifthOfTheLampColour)
{
    App app;
    const Image frame = app.waitForFirstFrame();
    // The top corners: the wheel and the markers leave them to the sky.
    const int right = frame.width - 1;
    EXPECT_EQ(frame.at(0, 0), startSky);
    EXPECT_EQ(frame.at(3, 3), startSky);
    EXPECT_EQ(frame.at(right, 0), startSky);
    EXPECT_EQ(frame.at(right - 3, 3), startSky);
}

TEST(StartUp, FirstFrameIsSeenFromTheStartCamera)
{
    App app;
    const Image frame = app.waitForFirstFrame();
    // The far plane cuts the ground off at a row set by eye, target and
    // field of view; at the window's sides nothing else stands there.
    const int horizon = static_cast<int>(std::lround(e2e::horizonRow()));
    for (const int x : {0, frame.width - 1}) {
        EXPECT_EQ(frame.at(x, horizon - 3), startSky) << "above the horizon at x " << x;
        EXPECT_NE(frame.at(x, horizon + 3), startSky) << "below the horizon at x " << x;
    }
    // Light 0's glowing marker, just beyond the near plane near the top-left
    // corner, pins down the aspect ratio as well.
    const e2e::ScreenPoint marker = e2e::project({0, 5, 7.4});
    ASSERT_TRUE(marker.visible);
    EXPECT_EQ(frame.at(marker.column, marker.row), glowingWhite)
        << "at (" << marker.column << ", " << marker.row << ")";
}

TEST(StartUp, CloseRequestEndsTheProgramWithStatusZero)
{
    App app;
    app.waitForFirstFrame();
    app.requestClose();
    const auto status = app.waitForExit();
    ASSERT_TRUE(status) << "still running after the close request";
    EXPECT_EQ(e2e::describeWaitStatus(*status), "exit status 0");
}

} // namespace
