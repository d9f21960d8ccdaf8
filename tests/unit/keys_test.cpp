#include "program.h"

#include <algorithm>

using Keys = Program;

// A key pressed after the keys `from` changes one field of the state to
// `change` (a line of describe()), asks for a redraw or not, and makes these
// calls to GL and the window.
struct KeyCase { char key; const char *from, *change; bool redraw; std::vector<std::string> calls; };

const KeyCase keyCases[] = {
    {'0', "AA", "eye -0.4 5 7.4", 1, {}}, {'1', "", "", 1, {"disable light0"}}, {'1', "1", "", 1, {"enable light0"}},
    {'2', "", "", 1, {"disable light1"}}, {'3', "", "", 1, {"disable light2"}}, {'4', "", "eye 2 5 5", 1, {}},
    {'5', "", "eye 0.4 1 8", 1, {}}, {'6', "", "eye 2.5 0 2.5", 1, {}}, {'7', "xyz", "eye 2 5 10", 1, {}},
    {'A', "", "light0 -0.2 5 7.4 1", 1, {}}, {'a', "", "light0 0.2 5 7.4 1", 1, {}},
    {'B', "", "light0 0 4.8 7.4 1", 1, {}}, {'b', "", "light0 0 5.2 7.4 1", 1, {}},
    {'C', "", "light0 0 5 7.2 1", 1, {}}, {'c', "", "light0 0 5 7.6 1", 1, {}},
    {'f', "", "fullScreen 0", 0, {"timer 2000", "positionWindow 10,30", "reshapeWindow 800,640"}},
    {'f', "f", "fullScreen 1", 0, {"timer 2000", "fullScreen"}},
    {'f', "ff", "fullScreen 0", 0, {"timer 2000", "leaveFullScreen"}}, {'G', "", "surface 0.1 0.55 0.7 0.8", 1, {}},
    {'g', "", "surface 0.1 0.45 0.7 0.8", 1, {}}, {'G', "GGGGGGGGG", "surface 0.1 1 0.7 0.8", 1, {}},
    {'G', "GGGGGGGGGG", "", 0, {}}, {'g', "gggggggggg", "", 0, {}}, {'I', "", "surface 0.1 0.5 0.7 0.9", 1, {}},
    {'I', "II", "", 1, {}}, {'i', "", "surface 0.1 0.5 0.7 0.7", 1, {}},
    {'i', "IIiiiiiiiii", "surface 0.1 0.5 0.7 -7.30157e-08", 1, {}}, {'i', "IIiiiiiiiiii", "", 1, {}},
    {'L', "", "lampScale 2", 1, {}}, {'l', "", "lampScale 0", 1, {}}, {'l', "l", "lampScale -1", 1, {}},
    {'M', "mm", "lamp 0.95 1 1 1", 1, {}}, {'m', "", "lamp 0.95 1 1 1", 1, {}}, {'M', "", "", 0, {}},
    {'N', "nn", "lamp 1 0.95 1 1", 1, {}}, {'n', "", "lamp 1 0.95 1 1", 1, {}}, {'O', "oo", "lamp 1 1 0.95 1", 1, {}},
    {'o', "", "lamp 1 1 0.95 1", 1, {}}, {'P', "", "paused 1", 1, {}}, {'p', "P", "paused 0", 1, {}},
    {'R', "", "surface 0.15 0.5 0.7 0.8", 1, {}}, {'r', "", "surface 0.05 0.5 0.7 0.8", 1, {}},
    {'U', "", "surface 0.1 0.5 0.75 0.8", 1, {}}, {'u', "", "surface 0.1 0.5 0.65 0.8", 1, {}},
    {'W', "", "filled 0", 1, {"polygonMode frontAndBack line"}},
    {'w', "W", "filled 1", 1, {"polygonMode frontAndBack fill"}}, {'X', "", "eye 1.8 5 10", 1, {}},
    {'x', "", "eye 2.2 5 10", 1, {}}, {'Y', "", "eye 2 4.8 10", 1, {}}, {'y', "", "eye 2 5.2 10", 1, {}},
    {'Z', "", "eye 2 5 9.8", 1, {}}, {'z', "", "eye 2 5 10.2", 1, {}},
};

TEST_F(Keys, EachListedKeyMakesItsChangeAndEveryOtherByteNone)
{
    std::vector<KeyCase> cases(std::begin(keyCases), std::end(keyCases));
    for (int key = 0; key < 256; ++key)
        if (std::none_of(cases.begin(), cases.end(), [key](const KeyCase& c) { return c.key == char(key); }))
            cases.push_back({char(key), "", "", 0, {}});
    for (const KeyCase& c : cases) {
        SCOPED_TRACE("key " + std::to_string(static_cast<unsigned char>(c.key)) + " after \"" + c.from + "\"");
        start();
        press(c.from);
        settle();
        const std::string expected = with(describe(scene), c.change);
        record().log.clear();
        record().redraws = 0;
        onKeyboard(static_cast<unsigned char>(c.key), 0, 0);
        EXPECT_EQ(describe(scene), expected);
        EXPECT_EQ(record().redraws, c.redraw);
        EXPECT_EQ(record().log, c.calls);
    }
}


// Presses of f come one to a pass of GLUT's main loop or several, and the
// window answers at once or passes later; whichever way, the window ends
// framed at 10,30 after an odd count and full screen after an even one, and
// the program's record says so, with a window manager that puts the window
// back on leaving full screen and with none, on one monitor and on two.
TEST_F(Keys, FEndsInTheStateTheCountOfPressesAsksForHoweverTheyCome)
{
    // Up to six passes of up to three presses; 4^6 ways, each with and
    // without a window manager, on one monitor and on two.
    for (int way = 0; way < 4 * 4096; ++way) {
        start();
        record().window.restoresPlace = way % 8192 < 4096;
        record().window.monitors = way < 8192 ? 1 : 2;
        int presses = 0;
        for (int pass = 0, rest = way; pass < 6; ++pass, rest /= 4) {
            for (int i = 0; i < rest % 4; ++i, ++presses) press("f");
            mainLoopPass();
        }
        settle();
        const auto& window = record().window;
        const bool full = presses > 0 && presses % 2 == 0;
        const auto size = full ? std::pair(standIn::screenWidth, standIn::screenHeight) : std::pair(800, presses ? 640 : 600);
        const auto place = full ? std::pair(0, 0) : std::pair(10, presses ? 30 : 10);
        ASSERT_EQ(std::tuple(window.fullScreen, std::pair(window.width, window.height),
                             std::pair(window.place[0], window.place[1]), scene.fullScreen),
                  std::tuple(full, size, place, presses ? full : 1))
            << "presses per pass, first pass in the lowest two bits, then whether no window manager, then whether "
               "two monitors: " << way;
    }
}

// Wherever the user moved the framed window and however they sized it,
// leaving full screen puts it back at 10,30 with 800 by 640.
TEST_F(Keys, LeavingFullScreenPlacesTheWindowTheUserMovedAndResized)
{
    for (const bool restoresPlace : {true, false}) {
        start();
        record().window.restoresPlace = restoresPlace;
        press("f");
        settle();
        auto& window = record().window;
        window.place[0] = 200, window.place[1] = 150;
        onReshape(window.width = 640, window.height = 480);
        for (const char* presses : {"f", "f", "ff", "ff"}) {
            press(presses);
            settle();
        }
        EXPECT_EQ(std::tuple(window.fullScreen, window.place[0], window.place[1], window.width, window.height),
                  std::tuple(false, 10, 30, 800, 640)) << "with a window manager: " << restoresPlace;
    }
}

// A window that never answers, as when a window manager refuses full
// screen, holds the next change only for a while.
TEST_F(Keys, FStillActsWhenTheWindowDoesNotAnswer)
{
    press("f");
    settle();
    press("f");
    timeOut();
    record().log.clear();
    press("f");
    EXPECT_EQ(record().log, (std::vector<std::string>{"timer 2000", "leaveFullScreen"}));
}
