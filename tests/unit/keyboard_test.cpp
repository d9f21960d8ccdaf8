#include "app/keyboard.h"
#include "scene_test.h"

#include <climits>
#include <string>

namespace {

using KeyboardTest = SceneTest;

void press(const std::string& keys)
{
    for (char key : keys) onKeyboard(static_cast<unsigned char>(key), 0, 0);
}

TEST_F(KeyboardTest, BoundedStepsMoveTheirComponentAndStopAtTheBoundWithoutRedraw)
{
    const struct { char up, down; float* component; } steps[] = {
        {'R', 'r', &scene.surfaceColor[0]}, {'G', 'g', &scene.surfaceColor[1]}, {'U', 'u', &scene.surfaceColor[2]},
        {'M', 'm', &scene.lampColor[0]},    {'N', 'n', &scene.lampColor[1]},    {'O', 'o', &scene.lampColor[2]},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(1, s.up));
        standin::reset();
        *s.component = 0.5f;
        press({s.up});
        EXPECT_FLOAT_EQ(*s.component, 0.55f);
        press({s.down, s.down});
        EXPECT_FLOAT_EQ(*s.component, 0.45f);
        *s.component = 0.98f;
        press({s.up, s.up});
        EXPECT_EQ(*s.component, 1.0f);
        *s.component = 0.02f;
        press({s.down, s.down});
        EXPECT_EQ(*s.component, 0.0f);
        EXPECT_EQ(redraws(), 5) << "a step that stops at once must not redraw";
    }
}

TEST_F(KeyboardTest, StepsAreFormedInDoubleAndAlphaHasNoClampButAlwaysRedraws)
{
    press("rr");  // 0.05f lies a hair above 0.05
    EXPECT_GT(scene.surfaceColor[0], 0.0f);
    EXPECT_LT(scene.surfaceColor[0], 1e-9f);

    press("III");
    EXPECT_EQ(scene.surfaceColor[3], 1.0f);
    press("iiiiiiiiii");
    EXPECT_FLOAT_EQ(scene.surfaceColor[3], -7.30156913e-08f);
    press("i");
    EXPECT_FLOAT_EQ(scene.surfaceColor[3], -7.30156913e-08f);
    EXPECT_EQ(redraws(), 2 + 3 + 11);
}

TEST_F(KeyboardTest, LampScaleIsUnboundedButSaturatesAtTheEndsOfInt)
{
    press("L");
    EXPECT_EQ(scene.lampScale, 2);
    press("lll");
    EXPECT_EQ(scene.lampScale, -1);
    scene.lampScale = INT_MAX;
    press("L");
    EXPECT_EQ(scene.lampScale, INT_MAX);
    scene.lampScale = INT_MIN;
    press("l");
    EXPECT_EQ(scene.lampScale, INT_MIN);
    EXPECT_EQ(redraws(), 6);
}

TEST_F(KeyboardTest, PositionKeysMoveLightZeroAndTheEyeUpperCaseSubtracting)
{
    const std::string keys = "aAbBcCxXyYzZ";
    const SceneState start = initialSceneState();
    for (std::size_t k = 0; k < keys.size(); ++k) {
        SCOPED_TRACE(keys.substr(k, 1));
        scene = start;
        press(keys.substr(k, 1));
        const double delta = k % 2 ? -0.2 : 0.2;
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const bool moved = axis == k / 2 % 3;
            EXPECT_EQ(scene.light0Position[axis],
                      static_cast<float>(start.light0Position[axis] + (k < 6 && moved ? delta : 0)));
            // The eye is held in doubles: a float round trip would show here.
            EXPECT_EQ(scene.eye[axis], start.eye[axis] + (k >= 6 && moved ? delta : 0));
        }
    }
    EXPECT_EQ(redraws(), 12);
}

TEST_F(KeyboardTest, CameraJumpsToLightZeroAndToThePresets)
{
    press("AA0");
    EXPECT_TRUE(near({scene.eye[0], scene.eye[1], scene.eye[2]}, {-0.4, 5.0, 7.4}, 1e-6));
    const struct { char key; Vec3 eye; } presets[] = {
        {'4', {2, 5, 5}}, {'5', {0.4, 1, 8}}, {'6', {2.5, 0, 2.5}}, {'7', {2, 5, 10}}};
    for (const auto& p : presets) {
        press({p.key});
        EXPECT_TRUE(near({scene.eye[0], scene.eye[1], scene.eye[2]}, p.eye, 0)) << p.key;
    }
    EXPECT_EQ(redraws(), 7);
}

TEST_F(KeyboardTest, FirstFGivesAnEightHundredBySixHundredFortyWindowSecondGoesFullScreen)
{
    press("f");
    EXPECT_EQ(standin::gl().calls,
              (std::vector<std::string>{"glutPositionWindow 10 30", "glutReshapeWindow 800 640"}));
    standin::reset();
    press("f");
    EXPECT_EQ(standin::gl().calls, (std::vector<std::string>{"glutFullScreen"}));
    EXPECT_EQ(redraws(), 0) << "the window change brings its own redraw";
}

TEST_F(KeyboardTest, WireframeLightTogglesAndPause)
{
    const standin::Recorder& gl = standin::gl();
    press("W");
    EXPECT_EQ(scene.filled, 0);
    EXPECT_EQ((std::array{gl.polygonModeFront, gl.polygonModeBack}), (std::array<GLenum, 2>{GL_LINE, GL_LINE}));
    press("w");
    EXPECT_EQ(scene.filled, 1);
    EXPECT_EQ((std::array{gl.polygonModeFront, gl.polygonModeBack}), (std::array<GLenum, 2>{GL_FILL, GL_FILL}));

    enableLights();
    const GLenum lights[] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2, GL_LIGHT3};
    for (int key = 0; key < 3; ++key) {
        press({static_cast<char>('1' + key)});
        for (int light = 0; light < 4; ++light) EXPECT_EQ(gl.enabled.count(lights[light]), key != light ? 1u : 0u);
        press({static_cast<char>('1' + key)});
        EXPECT_EQ(gl.enabled.size(), 4u);
    }
    press("P");
    EXPECT_EQ(scene.paused, 1);
    press("p");
    EXPECT_EQ(scene.paused, 0);
    EXPECT_EQ(redraws(), 10);
}

// Every byte: the sanitizers watch the listed keys, and every other one must
// leave scene, GL and window alone.
TEST_F(KeyboardTest, EveryUnlistedKeyIsIgnoredWithoutRedraw)
{
    const std::string listed = "01234567AaBbCcfGgIiLlMmNnOoPpRrUuWwXxYyZz";
    for (int key = 0; key < 256; ++key) {
        standin::reset();
        scene = initialSceneState();
        const SceneState before = snapshot();
        onKeyboard(static_cast<unsigned char>(key), 7, -3);
        if (listed.find(static_cast<char>(key)) != std::string::npos) continue;
        EXPECT_TRUE(unchanged(before)) << "key " << key;
        EXPECT_TRUE(standin::gl().calls.empty()) << "key " << key;
        EXPECT_EQ(redraws(), 0) << "key " << key;
    }
}

}  // namespace
