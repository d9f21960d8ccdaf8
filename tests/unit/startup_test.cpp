#include "app/startup.h"
#include "scene_test.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

int fairgroundMain(int argc, char** argv);

namespace {

using StartupTest = SceneTest;

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST_F(StartupTest, InitialStateIsTheDocumentedOne)
{
    EXPECT_EQ(scene.wheelAngle, 0.0);
    EXPECT_EQ(scene.speedLevel, 0);
    EXPECT_EQ(scene.paused, 0);
    EXPECT_EQ(scene.lampScale, 1);
    EXPECT_EQ(scene.eye[0], 2.0);
    EXPECT_EQ(scene.eye[1], 5.0);
    EXPECT_EQ(scene.eye[2], 10.0);
    EXPECT_EQ(scene.fullScreen, 1);
    EXPECT_EQ(scene.filled, 1);
    const float surface[4] = {0.1f, 0.5f, 0.7f, 0.8f};
    EXPECT_COLOR_EQ(scene.surfaceColor, surface);
    const float light0[4] = {0.0f, 5.0f, 7.4f, 1.0f};
    EXPECT_COLOR_EQ(scene.light0Position, light0);
    const float grass[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    EXPECT_COLOR_EQ(scene.grassColor, grass);
}

TEST_F(StartupTest, BannerIsTheControlsListByteForByte)
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
    ASSERT_GT(banner.size(), controls.size());
    EXPECT_EQ(banner.substr(banner.size() - controls.size()), controls);

    const std::vector<std::string> all = lines(banner);
    ASSERT_EQ(all.size(), 1u + 1u + 1u + 23u + 1u);
    EXPECT_EQ(all[0], "");
    EXPECT_NE(all[1].find("Fairground"), std::string::npos) << "the title names the program";
    EXPECT_EQ(all[2], "");
    EXPECT_EQ(banner.find('%'), std::string::npos);

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
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, controlsBanner);

    const standin::Recorder& r = standin::gl();
    EXPECT_EQ(r.displayMode, 18u);
    EXPECT_EQ(r.initWindowSize, (std::array<int, 2>{800, 600}));
    EXPECT_EQ(r.initWindowPosition, (std::array<int, 2>{10, 10}));
    EXPECT_EQ(r.windowTitle, "./build/fairground");
    EXPECT_EQ(r.shadeModel, static_cast<GLenum>(GL_SMOOTH));
    EXPECT_EQ(r.polygonModeFront, static_cast<GLenum>(GL_FILL));
    EXPECT_EQ(r.polygonModeBack, static_cast<GLenum>(GL_FILL));
    EXPECT_EQ(r.lightModelTwoSide, 1);
    for (GLenum cap : {GL_DEPTH_TEST, GL_LIGHTING, GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3})
        EXPECT_TRUE(r.isEnabled(cap)) << cap;
    for (GLenum cap : {GL_NORMALIZE, GL_BLEND, GL_CULL_FACE, GL_COLOR_MATERIAL, GL_FOG})
        EXPECT_FALSE(r.isEnabled(cap)) << cap;

    const std::vector<std::string> expected = {
        "glutInit", "glutInitDisplayMode", "glutInitWindowSize", "glutInitWindowPosition",
        "glutCreateWindow", "glShadeModel", "glPolygonMode", "glLightModeli",
        "glEnable", "glEnable", "glEnable", "glEnable", "glEnable", "glEnable",
        "glutMouseFunc", "glutReshapeFunc", "glutDisplayFunc", "glutKeyboardFunc", "glutMainLoop"};
    EXPECT_EQ(r.calls, expected);
    EXPECT_NE(r.mouse, nullptr);
    EXPECT_NE(r.reshape, nullptr);
    EXPECT_NE(r.display, nullptr);
    EXPECT_NE(r.keyboard, nullptr);
    EXPECT_EQ(r.idle, nullptr) << "the wheel stands still until a button is pressed";
}

// Where a point in eye coordinates lands in normalised device coordinates.
standin::Vec3 project(const standin::Mat4& projection, const standin::Vec3& eyePoint)
{
    return standin::transformPoint(projection, eyePoint);
}

TEST_F(StartupTest, ReshapeKeepsTheFieldOfViewAndPlanesAndChangesOnlyTheAspect)
{
    const double halfHeight = std::tan(22.5 * M_PI / 180.0);  // at one unit from the eye
    for (auto [width, height] : {std::pair{800, 600}, std::pair{1920, 1080}, std::pair{300, 900}}) {
        standin::reset();
        onReshape(width, height);
        const standin::Recorder& r = standin::gl();
        EXPECT_EQ(r.viewport, (std::array<int, 4>{0, 0, width, height}));
        EXPECT_EQ(r.matrixMode, static_cast<GLenum>(GL_MODELVIEW)) << "drawFrame relies on it";
        const double aspect = double(width) / height;
        // The frustum's top-right edge at distance 5 lands on the corner (1, 1).
        const standin::Vec3 corner = project(r.projection(), {5 * halfHeight * aspect, 5 * halfHeight, -5});
        EXPECT_NEAR(corner[0], 1.0, 1e-9);
        EXPECT_NEAR(corner[1], 1.0, 1e-9);
        EXPECT_NEAR(project(r.projection(), {0, 0, -2})[2], -1.0, 1e-9) << "near plane at 2";
        EXPECT_NEAR(project(r.projection(), {0, 0, -20})[2], 1.0, 1e-9) << "far plane at 20";
        // The fixed start-up camera: (2, 5, 10) looking at (0, 1, 0).
        EXPECT_NEAR_VEC3(standin::transformPoint(r.modelView(), {2, 5, 10}), 0, 0, 0, 1e-9);
        const standin::Vec3 target = standin::transformPoint(r.modelView(), {0, 1, 0});
        EXPECT_NEAR(target[0], 0, 1e-9);
        EXPECT_NEAR(target[1], 0, 1e-9);
        EXPECT_LT(target[2], 0);
    }
}

TEST_F(StartupTest, ReshapeToNothingKeepsTheProjectionFinite)
{
    for (auto [width, height] : {std::pair{800, 0}, std::pair{0, 0}, std::pair{0, 600}}) {
        standin::reset();
        onReshape(width, height);
        const standin::Recorder& r = standin::gl();
        EXPECT_EQ(r.viewport, (std::array<int, 4>{0, 0, width, height}));
        EXPECT_TRUE(std::all_of(r.projection().begin(), r.projection().end(),
                                [](double v) { return std::isfinite(v); }))
            << width << " by " << height;
        EXPECT_NEAR(r.projection()[5], 1 / std::tan(22.5 * M_PI / 180.0), 1e-9);
    }
    standin::reset();
    onReshape(800, 0);
    EXPECT_NEAR(standin::gl().projection()[0], standin::gl().projection()[5] / 800.0, 1e-9)
        << "a zero height counts as one pixel";
}

}  // namespace
