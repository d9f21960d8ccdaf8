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
    {'f', "", "fullScreen 0", 0, {"positionWindow 10,30", "reshapeWindow 800,640"}},
    {'f', "f", "fullScreen 1", 0, {"fullScreen"}}, {'f', "ff", "fullScreen 0", 0, {"leaveFullScreen", "timer 100"}}, {'G', "", "surface 0.1 0.55 0.7 0.8", 1, {}},
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
        const std::string expected = with(describe(scene), c.change);
        record().log.clear();
        record().redraws = 0;
        onKeyboard(static_cast<unsigned char>(c.key), 0, 0);
        EXPECT_EQ(describe(scene), expected);
        EXPECT_EQ(record().redraws, c.redraw);
        EXPECT_EQ(record().log, c.calls);
    }
}


// Placed at once, a window still leaving full screen lands where the window
// manager puts it back; an f pressed before the placement must win.
TEST_F(Keys, LeavingFullScreenPlacesTheWindowLaterUnlessFIsPressedAgainFirst)
{
    press("fff");
    record().log.clear();
    runTimers();
    EXPECT_EQ(record().log, (std::vector<std::string>{"positionWindow 10,30", "reshapeWindow 800,640"}));
    press("ffff");  // full screen, leave, full screen, leave
    record().log.clear();
    runTimers();
    EXPECT_EQ(record().log, (std::vector<std::string>{"positionWindow 10,30", "reshapeWindow 800,640"}))
        << "only the last of two placements acts";
    press("fff");  // full screen, then leave and at once back
    record().log.clear();
    runTimers();
    EXPECT_EQ(record().log, std::vector<std::string>{}) << "f, f from full screen ends in full screen";
}
