#pragma once

#include <cstdint>

// Everything the user or the animations can change, plus the constant
// colours that several drawing functions share. Colours and positions are
// handed to OpenGL by address, so they are changed in place.
struct SceneState {
    float light0Position[4];
    float light3Position[4];
    float light1Position[4];
    float light2Position[4];
    int lampScale;
    float whiteEmission[4];
    float blackEmission[4];
    float stoneColor[4];
    float surfaceColor[4];
    float grassColor[4];
    float lampColor[4];
    double eye[3];
    int fullScreen;
    int filled;
    int speedLevel;
    // The wheel turns for as long as the go animation runs, which may be
    // days: a float angle would stop taking 2-degree steps past 2^25 degrees,
    // so the angle is a double and its whole part a 64-bit integer.
    std::int64_t wheelAngleWhole;
    unsigned char paused;
    double wheelAngle;
    // The animation the mouse chose. It runs as GLUT's idle callback only
    // while the program is neither paused nor hidden, so that it sleeps then.
    void (*animation)();
    int hidden;
    // fullScreen is what the presses of f ask for; windowFullScreen what was
    // last asked of the window, windowAwaited the number of that change
    // while its answer is awaited (0 when none is), out of windowChanges.
    int windowFullScreen;
    int windowAwaited;
    int windowChanges;
    // Leaving full screen places the window once the window has answered,
    // with the title bar it had before full screen (frameTop high) back.
    int placeDue;
    int frameTop;
    // The number of the chain of timed animation steps that runs (0: none),
    // out of stepChains; a step of an older chain ends it.
    int stepChain;
    int stepChains;
};

extern SceneState scene;

// The values the program starts with.
SceneState initialSceneState();
