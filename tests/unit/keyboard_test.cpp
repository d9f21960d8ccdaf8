#include "app/keyboard.h"
#include "scene_test.h"

#include <climits>
#include <cstring>
#include <string>

namespace {

using KeyboardTest = SceneTest;

void press(const char* keys)
{
    for (; *keys; ++keys) onKeyboard(static_cast<unsigned char>(*keys), 0, 0);
}

int redraws() { return standin::gl().redisplayRequests; }

// Field by field, since the record has padding whose bytes mean nothing.
#define SAME_FIELD(field) (std::memcmp(&a.field, &b.field, sizeof a.field) == 0)
bool sameState(const SceneState& a, const SceneState& b)
{
    return SAME_FIELD(light0Position) && SAME_FIELD(light3Position) && SAME_FIELD(light1Position) &&
           SAME_FIELD(light2Position) && SAME_FIELD(lampScale) && SAME_FIELD(whiteEmission) &&
           SAME_FIELD(blackEmission) && SAME_FIELD(stoneColor) && SAME_FIELD(surfaceColor) &&
           SAME_FIELD(grassColor) && SAME_FIELD(lampColor) && SAME_FIELD(eye) && SAME_FIELD(fullScreen) &&
           SAME_FIELD(filled) && SAME_FIELD(speedLevel) && SAME_FIELD(wheelAngleWhole) && SAME_FIELD(paused) &&
           SAME_FIELD(wheelAngle);
}
#undef SAME_FIELD

TEST_F(KeyboardTest, BoundedStepsMoveOwnComponentAndStopAtTheBoundWithoutRedraw)
{
    const struct { char up, down; float* component; } steps[] = {
        {'R', 'r', &scene.surfaceColor[0]}, {'G', 'g', &scene.surfaceColor[1]},
        {'U', 'u', &scene.surfaceColor[2]}, {'M', 'm', &scene.lampColor[0]},
        {'N', 'n', &scene.lampColor[1]},    {'O', 'o', &scene.lampColor[2]},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(1, s.up));
        const char up[] = {s.up, 0}, down[] = {s.down, 0};
        *s.component = 0.5f;
        const int before = redraws();
        press(up);
        EXPECT_FLOAT_EQ(*s.component, 0.55f);
        press(down);
        EXPECT_FLOAT_EQ(*s.component, 0.5f);
        EXPECT_EQ(redraws(), before + 2);

        *s.component = 0.98f;
        press(up);
        EXPECT_EQ(*s.component, 1.0f);
        press(up);
        EXPECT_EQ(*s.component, 1.0f);
        *s.component = 0.02f;
        press(down);
        EXPECT_EQ(*s.component, 0.0f);
        press(down);
        EXPECT_EQ(*s.component, 0.0f);
        EXPECT_EQ(redraws(), before + 4) << "a step that stops at once must not redraw";
    }
}

TEST_F(KeyboardTest, DecreaseIsFormedInDoubleAndClampedOnlyBelowZero)
{
    press("r");
    EXPECT_EQ(scene.surfaceColor[0], 0.05f);
    press("r");  // 0.05f lies a hair above 0.05
    EXPECT_GT(scene.surfaceColor[0], 0.0f);
    EXPECT_LT(scene.surfaceColor[0], 1e-9f);
    press("r");
    EXPECT_EQ(scene.surfaceColor[0], 0.0f);
}

TEST_F(KeyboardTest, AlphaStepsHaveNoClampAndAlwaysRedraw)
{
    press("III");
    EXPECT_EQ(scene.surfaceColor[3], 1.0f);
    scene.surfaceColor[3] = 1.0f;
    press("iiiiiiiiii");
    EXPECT_FLOAT_EQ(scene.surfaceColor[3], -7.30156913e-08f);
    const int before = redraws();
    press("i");
    EXPECT_FLOAT_EQ(scene.surfaceColor[3], -7.30156913e-08f);
    EXPECT_EQ(redraws(), before + 1);
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

TEST_F(KeyboardTest, PositionKeysMoveLightAndCameraUpperCaseSubtracting)
{
    press("aBc");
    EXPECT_FLOAT_EQ(scene.light0Position[0], 0.2f);
    EXPECT_FLOAT_EQ(scene.light0Position[1], 4.8f);
    EXPECT_FLOAT_EQ(scene.light0Position[2], 7.6f);
    press("AbC");
    EXPECT_NEAR(scene.light0Position[0], 0.0, 1e-6);
    EXPECT_NEAR(scene.light0Position[1], 5.0, 1e-6);
    EXPECT_NEAR(scene.light0Position[2], 7.4, 1e-6);
    // The eye is held in doubles: a float round trip would show here.
    press("Xyz");
    EXPECT_DOUBLE_EQ(scene.eye[0], 1.8);
    EXPECT_DOUBLE_EQ(scene.eye[1], 5.2);
    EXPECT_DOUBLE_EQ(scene.eye[2], 10.2);
    press("xYZ");
    EXPECT_DOUBLE_EQ(scene.eye[0], 2.0);
    EXPECT_DOUBLE_EQ(scene.eye[1], 5.0);
    EXPECT_DOUBLE_EQ(scene.eye[2], 10.0);
    EXPECT_EQ(redraws(), 12);
}

TEST_F(KeyboardTest, CameraJumpsToLightZeroAndToThePresets)
{
    press("AA0");
    EXPECT_NEAR_VEC3((standin::Vec3{scene.eye[0], scene.eye[1], scene.eye[2]}), -0.4, 5.0, 7.4, 1e-6);
    const struct { char key; double x, y, z; } presets[] = {
        {'4', 2, 5, 5}, {'5', 0.4, 1, 8}, {'6', 2.5, 0, 2.5}, {'7', 2, 5, 10}};
    for (const auto& p : presets) {
        const char key[] = {p.key, 0};
        press(key);
        EXPECT_EQ(scene.eye[0], p.x) << p.key;
        EXPECT_EQ(scene.eye[1], p.y) << p.key;
        EXPECT_EQ(scene.eye[2], p.z) << p.key;
    }
    EXPECT_EQ(redraws(), 7);
}

TEST_F(KeyboardTest, FirstFMovesAndResizesTheWindowSecondGoesFullScreen)
{
    const auto& gl = standin::gl();
    press("f");
    ASSERT_EQ(gl.windowMoves.size(), 1u);
    EXPECT_EQ(gl.windowMoves[0], (std::array<int, 2>{10, 30}));
    ASSERT_EQ(gl.windowResizes.size(), 1u);
    EXPECT_EQ(gl.windowResizes[0], (std::array<int, 2>{800, 640}));
    EXPECT_EQ(gl.fullScreenRequests, 0);
    press("f");
    EXPECT_EQ(gl.fullScreenRequests, 1);
    EXPECT_EQ(gl.windowMoves.size(), 1u);
    press("f");
    EXPECT_EQ(gl.windowMoves.size(), 2u);
    EXPECT_EQ(redraws(), 0);
}

TEST_F(KeyboardTest, WireframeAndLightTogglesAndPause)
{
    const auto& gl = standin::gl();
    press("W");
    EXPECT_EQ(scene.filled, 0);
    EXPECT_EQ(gl.polygonModeFront, static_cast<GLenum>(GL_LINE));
    EXPECT_EQ(gl.polygonModeBack, static_cast<GLenum>(GL_LINE));
    press("w");
    EXPECT_EQ(scene.filled, 1);
    EXPECT_EQ(gl.polygonModeFront, static_cast<GLenum>(GL_FILL));
    EXPECT_EQ(gl.polygonModeBack, static_cast<GLenum>(GL_FILL));

    enableStartupLights();
    const GLenum lights[] = {GL_LIGHT0, GL_LIGHT1, GL_LIGHT2};
    for (int i = 0; i < 3; ++i) {
        const char key[] = {static_cast<char>('1' + i), 0};
        press(key);
        for (int j = 0; j < 3; ++j) EXPECT_EQ(gl.isEnabled(lights[j]), i != j) << key << " light " << j;
        press(key);
        EXPECT_TRUE(gl.isEnabled(lights[i])) << key;
        EXPECT_TRUE(gl.isEnabled(GL_LIGHT3));
    }
    press("P");
    EXPECT_EQ(scene.paused, 1);
    press("p");
    EXPECT_EQ(scene.paused, 0);
    EXPECT_EQ(redraws(), 10);
}

// Every byte from the start state; the sanitizers watch the listed keys,
// and every unlisted one must leave scene, GL and window alone.
TEST_F(KeyboardTest, EveryUnlistedKeyIsIgnoredWithoutRedraw)
{
    const std::string listed = "01234567AaBbCcfGgIiLlMmNnOoPpRrUuWwXxYyZz";
    for (int key = 0; key < 256; ++key) {
        standin::reset();
        enableStartupLights();
        scene = initialSceneState();
        const auto glBefore = standin::gl().enabled;
        onKeyboard(static_cast<unsigned char>(key), 7, -3);
        if (listed.find(static_cast<char>(key)) != std::string::npos) continue;
        const auto& gl = standin::gl();
        EXPECT_TRUE(sameState(scene, initialSceneState())) << "key " << key;
        EXPECT_EQ(gl.enabled, glBefore) << "key " << key;
        EXPECT_EQ(gl.polygonModeFront, static_cast<GLenum>(GL_FILL)) << "key " << key;
        EXPECT_TRUE(gl.windowMoves.empty() && gl.windowResizes.empty() && gl.fullScreenRequests == 0)
            << "key " << key;
        EXPECT_EQ(gl.idle, nullptr) << "key " << key;
        EXPECT_EQ(redraws(), 0) << "key " << key;
    }
}

}  // namespace
