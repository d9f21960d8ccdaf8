#include "harness.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using e2e::App;
using e2e::Image;
using e2e::Rect;
using e2e::Rgb;

constexpr unsigned leftButton = 1;
constexpr unsigned rightButton = 3;

using e2e::startSky;

int brightness(const Rgb& c) { return c.r + c.g + c.b; }

// Light 0 sits inside its own marker, so the marker's visible side is unlit
// and shows the lamp colour almost unchanged.
Rgb lightZeroMarker(const Image& frame)
{
    const e2e::ScreenPoint marker = e2e::project({0, 5, 7.4});
    return frame.at(marker.column, marker.row);
}

TEST(Keys, LampColourKeysStepTheSkyByAFifthOfTheirStep)
{
    App app;
    app.waitForFirstFrame();
    // A lamp component of 1 - 0.05 gives a sky channel of 0.19 * 255.
    for (const auto& [keys, sky] : {std::pair{"m", Rgb{48, 51, 51}}, {"n", {48, 48, 51}},
                                    {"o", {48, 48, 48}}, {"MNO", startSky}}) {
        app.type(keys);
        EXPECT_EQ(app.waitForPixel(0, 0, sky), sky) << "after " << keys;
    }
}

TEST(Keys, KeysThatDoNothingVisibleLeaveThePictureAlone)
{
    App app;
    const Image before = app.waitForFirstFrame();
    // I and i change only the alpha, which nothing shows. The m after them
    // marks the point where every earlier key has been handled; M undoes it.
    app.type("8F\x1b 9{~Iim");
    ASSERT_EQ(app.waitForPixel(0, 0, {48, 51, 51}), (Rgb{48, 51, 51}));
    app.type("M");
    EXPECT_TRUE(app.waitForPicture([&](const Image& now) { return now.differingPixels(before) == 0; }));
    EXPECT_FALSE(app.waitForExit(e2e::Duration{0})) << "Escape ended the program";
}

TEST(Keys, OneSwitchesLightZeroOffAndOn)
{
    App app;
    const Image lit = app.waitForFirstFrame();
    app.type("1");
    ASSERT_TRUE(app.waitForPicture([](const Image& now) { return lightZeroMarker(now) == startSky; }))
        << "light 0's marker is still there";
    const Image dark = app.capture();
    EXPECT_EQ(dark.at(dark.width - 1, 0), startSky);
    // Grass in front of the fence and tiles of the plaza keep only the
    // ambient light.
    for (const e2e::Vec3& place : {e2e::Vec3{4.5, 0, 4}, e2e::Vec3{-0.5, 0.02, 2}}) {
        const e2e::ScreenPoint point = e2e::project(place);
        EXPECT_LT(brightness(dark.at(point.column, point.row)),
                  brightness(lit.at(point.column, point.row)) / 2)
            << "at x " << place.x;
    }

    app.type("1");
    EXPECT_TRUE(app.waitForPicture([&](const Image& now) { return now.differingPixels(lit) == 0; }));
}

TEST(Window, FGivesAn800By640WindowAt10And30ThenTheFullScreen)
{
    App app;
    app.waitForFirstFrame();
    app.type("f");
    const Rect moved{10, 30, 800, 640};
    EXPECT_TRUE(e2e::waitUntil([&] { return app.geometry() == moved; })) << app.geometry();
    // The projection follows the new shape: post lamps near both sides glow
    // where an 800 by 640 window shows them.
    EXPECT_TRUE(app.waitForPicture([](const Image& now) {
        for (const e2e::Vec3& lamp : {e2e::Vec3{-2.5, 1, 5}, e2e::Vec3{5, 1, -2.5}}) {
            const e2e::ScreenPoint point = e2e::project(lamp, 800, 640);
            if (now.at(point.column, point.row) != e2e::glowingWhite) return false;
        }
        return true;
    })) << "the post lamps are not where the new window shape puts them";

    // The size of the tests' screen (xvfb.sh). Without a window manager
    // freeglut leaves the window's corner off the screen, so its position is
    // not what a person would see.
    app.type("f");
    EXPECT_TRUE(e2e::waitUntil([&] {
        const Rect now = app.geometry();
        return now.width == 1280 && now.height == 1024;
    })) << app.geometry();
}

TEST(Mouse, LeftButtonTurnsTheWheelAndGreensTheLampsRightButtonReddensThem)
{
    App app;
    app.waitForFirstFrame();
    // The click's yellow passes in a fraction of a second. Paused, it shows
    // at the next redraw, which key I asks for without changing the picture.
    app.type("P");
    app.click(leftButton);
    app.type("I");
    ASSERT_EQ(app.waitForPixel(0, 0, {51, 51, 0}), (Rgb{51, 51, 0}));
    Rgb lamp = lightZeroMarker(app.capture());
    EXPECT_TRUE(lamp.r > 200 && lamp.g > 200 && lamp.b < 60) << "not yellow: " << lamp;

    app.type("p");
    ASSERT_EQ(app.waitForPixel(0, 0, {0, 51, 0}), (Rgb{0, 51, 0}));
    const Image green = app.capture();
    lamp = lightZeroMarker(green);
    EXPECT_TRUE(lamp.r < 60 && lamp.g > 200 && lamp.b < 60) << "not green: " << lamp;
    // The sky colour is settled now, so pixels turning into sky or out of it
    // are the wheel moving across it.
    const auto skyMoved = [&](const Image& now) {
        const Rgb sky{0, 51, 0};
        int moved = 0;
        for (size_t i = 0; i < now.pixels.size(); ++i)
            moved += (now.pixels[i] == sky) != (green.pixels[i] == sky);
        return moved > 500;
    };
    ASSERT_TRUE(app.waitForPicture(skyMoved)) << "the wheel stands still";

    app.click(rightButton);
    EXPECT_EQ(app.waitForPixel(0, 0, {51, 0, 0}), (Rgb{51, 0, 0}));
    lamp = lightZeroMarker(app.capture());
    EXPECT_TRUE(lamp.r > 200 && lamp.g < 60 && lamp.b < 60) << "not red: " << lamp;
}

TEST(Keys, PFreezesTheAnimationAndPResumesIt)
{
    App app;
    const Image still = app.waitForFirstFrame();
    app.click(leftButton);
    ASSERT_TRUE(app.waitForChange(still)) << "the left button started nothing";
    // The go leaves lamp blue at 0, so O's sky blue of 3 (0.01 * 255) shows
    // its redraw, which comes after P has taken effect.
    app.type("PO");
    ASSERT_TRUE(app.waitForPicture([](const Image& now) { return now.at(0, 0).b == 3; }));
    const Image frozen = app.capture();
    EXPECT_FALSE(app.waitForChange(frozen, e2e::Duration{500})) << "the picture changed while paused";
    app.type("p");
    EXPECT_TRUE(app.waitForChange(frozen)) << "the animation did not resume";
}

} // namespace
