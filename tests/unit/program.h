#pragma once

// The program as the tests drive it: started in an 800 by 600 window with
// the stand-in in place of GL, its state described as text.

#include "app/animation.h"
#include "app/keyboard.h"
#include "app/scene_state.h"
#include "app/startup.h"
#include "scene/frame.h"
#include "tests/stand_in/stand_in.h"

#include <gtest/gtest.h>

#include <sstream>

using standIn::record;

// Fails on any GL error of the run before, then starts afresh.
inline void start()
{
    EXPECT_EQ(record().errors, std::vector<std::string>{}) << "GL errors";
    standIn::reset();
    scene = initialSceneState();
    testing::internal::CaptureStdout();  // the banner
    initScene();
    testing::internal::GetCapturedStdout();
    onReshape(800, 600);
}

inline void press(const char* keys) { for (; *keys; ++keys) onKeyboard(static_cast<unsigned char>(*keys), 0, 0); }
// The rest of a pass of GLUT's main loop: the timers due within it (up to
// 10 ms; longer ones wait for timeOut), then the window's changes, each new
// size a reshape.
inline void mainLoopPass()
{
    for (auto timer : std::exchange(record().timers, {}))
        timer.milliseconds > 10 ? record().timers.push_back(timer) : timer.callback(timer.value);
    standIn::windowPass(onReshape);
}
inline void settle() { for (int pass = 0; pass < 20; ++pass) mainLoopPass(); }
inline void timeOut() { for (auto timer : std::exchange(record().timers, {})) timer.callback(timer.value); }
// Animation steps: each a call of the idle callback or, with none, of the
// timers that wait.
inline void animationSteps(long count)
{
    for (long i = 0; i < count; ++i) {
        if (record().idle)
            record().idle();
        else if (!record().timers.empty())
            timeOut();
        else
            return;
    }
}

// One line a field, to six significant digits.
inline std::string describe(const SceneState& s)
{
    std::ostringstream out;
    const auto put = [&out](const char* name, const auto* values, int count) {
        for (out << name; count-- > 0;) out << ' ' << +*values++;
        out << '\n';
    };
    put("light0", s.light0Position, 4); put("light1", s.light1Position, 4); put("light2", s.light2Position, 4);
    put("light3", s.light3Position, 4); put("white", s.whiteEmission, 4); put("black", s.blackEmission, 4);
    put("stone", s.stoneColor, 4); put("surface", s.surfaceColor, 4); put("grass", s.grassColor, 4);
    put("lamp", s.lampColor, 4); put("eye", s.eye, 3); put("lampScale", &s.lampScale, 1);
    put("fullScreen", &s.fullScreen, 1); put("filled", &s.filled, 1); put("speedLevel", &s.speedLevel, 1);
    put("angle", &s.wheelAngle, 1); put("wholeAngle", &s.wheelAngleWhole, 1); put("paused", &s.paused, 1);
    return out.str();
}

// The description with the line of the field that `line` names replaced by it.
inline std::string with(std::string description, const std::string& line)
{
    const std::size_t at = description.find(line.substr(0, line.find(' ') + 1));
    return line.empty() ? description : description.replace(at, description.find('\n', at) - at, line);
}

struct Program : testing::Test { void SetUp() override { start(); } void TearDown() override { start(); } };
