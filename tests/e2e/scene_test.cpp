#include "harness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

namespace {

using e2e::App;
using e2e::Image;
using e2e::Rgb;
using e2e::ScreenPoint;
using e2e::Vec3;

using e2e::startSky;
using e2e::glowingWhite;

ScreenPoint inWindow(const Vec3& world)
{
    const ScreenPoint point = e2e::project(world);
    if (!point.visible) throw std::logic_error("the point is outside the start window");
    return point;
}

Rgb seen(const Image& frame, const Vec3& world)
{
    const ScreenPoint point = inWindow(world);
    return frame.at(point.column, point.row);
}

// The share of sky pixels in the square of side 2 * half + 1 around `centre`.
double skyShare(const Image& frame, const ScreenPoint& centre, int half)
{
    int sky = 0;
    for (int y = centre.row - half; y <= centre.row + half; ++y)
        for (int x = centre.column - half; x <= centre.column + half; ++x)
            sky += frame.at(x, y) == startSky;
    return sky / double((2 * half + 1) * (2 * half + 1));
}

TEST(Scene, FirstFrameShowsGroundPlazaFenceLampsAndWheel)
{
    App app;
    const Image frame = app.waitForFirstFrame();

    // Grass beyond the fence, in front and to the left.
    for (const Vec3& grass : {Vec3{4.5, 0, 4}, Vec3{-7, 0, -2}}) {
        const Rgb colour = seen(frame, grass);
        EXPECT_GT(colour.g, std::max(colour.r, colour.b)) << colour << " at x " << grass.x;
    }
    // Stone tiles: lit grey plus the surface colour's bluish highlight.
    for (const Vec3& tile : {Vec3{0, 0.02, 2}, Vec3{-1, 0.02, 1}}) {
        const Rgb colour = seen(frame, tile);
        EXPECT_NE(colour, startSky) << "at x " << tile.x;
        EXPECT_LE(colour.g, colour.b) << colour << " is grass-green at x " << tile.x;
    }
    // The front rail in the surface colour (0.1, 0.5, 0.7).
    const Rgb rail = seen(frame, {0, 0.85, 5});
    EXPECT_TRUE(rail.r < rail.g && rail.g < rail.b) << rail;

    // Six post lamps; the posts at x = -5 and 5, z = 2.5 stand beyond the sides.
    for (const Vec3& post : {Vec3{2.5, 1, 5}, Vec3{-2.5, 1, 5}, Vec3{5, 1, -2.5}, Vec3{-5, 1, -2.5},
                             Vec3{2.5, 1, -5}, Vec3{-2.5, 1, -5}})
        EXPECT_EQ(seen(frame, post), glowingWhite) << "post at " << post.x << ", " << post.z;
    // The tower lamp, left of the upright spoke that crosses its centre.
    EXPECT_EQ(seen(frame, {-0.2, 4.7, 0.3}), glowingWhite);
    // The lower front panels of the gondolas at both ends of the level spokes.
    EXPECT_NE(seen(frame, {-3, 4, 0.8}), startSky);
    EXPECT_NE(seen(frame, {3, 4, 0.8}), startSky);
}

TEST(Scene, WireframeShowsOnlyOutlinesUntilPressedAgain)
{
    App app;
    const Image filled = app.waitForFirstFrame();
    // The gondola at the left end of the wheel, whose walls hide what is
    // behind them but for their window openings, and an area of the plaza.
    const ScreenPoint gondola = inWindow({-3, 4.2, 0.5});
    const ScreenPoint plaza = inWindow({-0.5, 0.02, 2});
    EXPECT_LT(skyShare(filled, gondola, 15), 0.2);
    EXPECT_EQ(skyShare(filled, plaza, 30), 0);

    app.type("W");
    const auto outlines =
        app.waitForPicture([&](const Image& now) { return skyShare(now, plaza, 30) > 0.7; });
    ASSERT_TRUE(outlines) << "the plaza is still filled";
    EXPECT_LT(skyShare(*outlines, plaza, 30), 0.98) << "no tile outlines";
    EXPECT_GT(skyShare(*outlines, gondola, 15), 0.6);

    // Both cases toggle.
    app.type("w");
    EXPECT_TRUE(app.waitForPicture([&](const Image& now) { return now.differingPixels(filled) == 0; }))
        << "the filled picture did not come back";
}

} // namespace
