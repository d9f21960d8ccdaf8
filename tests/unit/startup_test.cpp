#include "app/animation.h"
#include "app/keyboard.h"
#include "app/startup.h"
#include "scene/frame.h"
#include "scene_test.h"

#include <algorithm>
#include <string>

int fairgroundMain(int argc, char** argv);

namespace {

using StartupTest = SceneTest;

std::vector<float> values(const float* v) { return {v, v + 4}; }

TEST_F(StartupTest, StartsAtRestWithTheDocumentedValues)
{
    EXPECT_EQ(scene.wheelAngle, 0.0);
    EXPECT_EQ((std::vector<int>{scene.speedLevel, scene.paused, scene.lampScale, scene.fullScreen, scene.filled}),
              (std::vector<int>{0, 0, 1, 1, 1}));
    EXPECT_EQ((std::vector<double>{scene.eye, scene.eye + 3}), (std::vector<double>{2, 5, 10}));
    EXPECT_EQ(values(scene.surfaceColor), (std::vector<float>{0.1f, 0.5f, 0.7f, 0.8f}));
    EXPECT_EQ(values(scene.lampColor), (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(values(scene.light0Position), (std::vector<float>{0, 5, 7.4f, 1}));
}

TEST_F(StartupTest, BannerIsTheControlsListPrintedVerbatim)
{
    const std::string banner = controlsBanner;
    const std::string controls =
        "A/a---------------move light along x-axis\n"
        "B/b---------------move light along y-axis\n"
        "C/c---------------move light along z-axis\n"
        "F/f---------------toggle between fullscreen func \n"
        "G/g---------------Increment/decrement green color\n"
        "I/i---------------Inc/dec alpha value (translucency) \n"
        "L/l---------------Increase/decrease size of lights \n"
        "M/m---------------Make the lights more/less red\n"
        "N/n---------------Make the lights more/less green\n"
        "O/o---------------Make the lights more/less blue\n"
        "P/p---------------Pause/end pause on animation\n"
        "R/r---------------Increment/decrement red color\n"
        "U/u---------------Increment/decrement blue color\n"
        "W/w---------------toggle wire frame on/off\n"
        "X/x---------------move main camera along x-axis\n"
        "Y/y---------------move main camera along y-axis\n"
        "Z/z---------------move main camera along z-axis\n"
        "1-----------------toggle light 1\n"
        "2-----------------toggle light 2\n"
        "3-----------------toggle light 3\n"
        "4,5,6,7-----------move main camera to special positions\n"
        "0-----------------move main camera to position o' light\n"
        "ESC---------------Exit\n"
        "\n";
    // An empty line, a title line naming the program, an empty line, the list.
    const std::size_t titleEnd = banner.find('\n', 1);
    ASSERT_EQ(banner.substr(0, 1), "\n");
    EXPECT_NE(banner.substr(1, titleEnd).find("Fairground"), std::string::npos);
    EXPECT_EQ(banner.substr(titleEnd), "\n\n" + controls);

    testing::internal::CaptureStdout();
    printControls();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), banner);
}

TEST_F(StartupTest, MainOpensTheWindowSetsFixedStateAndRegistersCallbacksInOrder)
{
    char program[] = "./build/fairground";
    char* argv[] = {program, nullptr};
    testing::internal::CaptureStdout();
    EXPECT_EQ(fairgroundMain(1, argv), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), controlsBanner);

    const standin::Recorder& r = standin::gl();
    EXPECT_EQ(r.calls, (std::vector<std::string>{
                           "glutInit", "glutInitDisplayMode 18", "glutInitWindowSize 800 600",
                           "glutInitWindowPosition 10 10", "glutCreateWindow ./build/fairground", "glShadeModel",
                           "glPolygonMode", "glLightModeli", "glEnable", "glEnable", "glEnable", "glEnable",
                           "glEnable", "glEnable", "glutMouseFunc", "glutReshapeFunc", "glutDisplayFunc",
                           "glutKeyboardFunc", "glutMainLoop"}));
    EXPECT_EQ(r.shadeModel, static_cast<GLenum>(GL_SMOOTH));
    EXPECT_EQ((std::array{r.polygonModeFront, r.polygonModeBack}), (std::array<GLenum, 2>{GL_FILL, GL_FILL}));
    EXPECT_EQ(r.lightModelTwoSide, 1);
    EXPECT_EQ(r.enabled, (std::set<GLenum>{GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3}));
    EXPECT_EQ(r.mouse, &onMouse);
    EXPECT_EQ(r.reshape, &onReshape);
    EXPECT_EQ(r.display, &drawFrame);
    EXPECT_EQ(r.keyboard, &onKeyboard);
    EXPECT_EQ(r.idle, nullptr) << "the wheel stands still until a button is pressed";
}

TEST_F(StartupTest, ReshapeKeepsFieldOfViewAndPlanesAndCountsAZeroSideAsOnePixel)
{
    const double halfHeight = std::tan(22.5 * M_PI / 180.0);  // at one unit from the eye
    const std::pair<int, int> sizes[] = {{800, 600}, {1920, 1080}, {300, 900}, {800, 0}, {0, 0}, {0, 600}};
    for (auto [width, height] : sizes) {
        SCOPED_TRACE(::testing::Message() << width << " by " << height);
        standin::reset();
        onReshape(width, height);
        const standin::Recorder& r = standin::gl();
        EXPECT_EQ(r.viewport, (std::array<int, 4>{0, 0, width, height}));
        EXPECT_EQ(r.matrixMode, static_cast<GLenum>(GL_MODELVIEW)) << "drawFrame relies on it";
        // The frustum's top-right edge at distance 5 lands on the corner (1, 1):
        // finite even for a side of nothing.
        const double aspect = double(std::max(width, 1)) / std::max(height, 1);
        EXPECT_TRUE(near(standin::transformPoint(r.projection(), {5 * halfHeight * aspect, 5 * halfHeight, -5}),
                         {1, 1, standin::transformPoint(r.projection(), {0, 0, -5})[2]}, 1e-9));
        EXPECT_NEAR(standin::transformPoint(r.projection(), {0, 0, -2})[2], -1.0, 1e-9) << "near plane at 2";
        EXPECT_NEAR(standin::transformPoint(r.projection(), {0, 0, -20})[2], 1.0, 1e-9) << "far plane at 20";
    }
    // The fixed start-up camera: from (2, 5, 10) towards (0, 1, 0).
    EXPECT_TRUE(near(standin::transformPoint(standin::gl().view, {2, 5, 10}), {0, 0, 0}, 1e-9));
    EXPECT_TRUE(near(standin::transformPoint(standin::gl().view, {0, 1, 0}), {0, 0, -std::sqrt(120.0)}, 1e-9));
}

}  // namespace
