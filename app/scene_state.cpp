#include "app/scene_state.h"

namespace {

// A constant, so that `scene` holds these values before any code runs.
constexpr SceneState startState{
    {0.0f, 5.0f, 7.4f, 1.0f},    // light0Position
    {0.0f, 4.7f, 0.0f, 1.0f},    // light3Position
    {3.0f, 5.5f, -3.0f, 1.0f},   // light1Position
    {-3.0f, 5.5f, -3.0f, 1.0f},  // light2Position
    1,                           // lampScale
    {1.0f, 1.0f, 1.0f, 1.0f},    // whiteEmission
    {0.0f, 0.0f, 0.0f, 1.0f},    // blackEmission
    {0.2f, 0.2f, 0.2f, 1.0f},    // stoneColor
    {0.1f, 0.5f, 0.7f, 0.8f},    // surfaceColor
    {0.0f, 1.0f, 0.0f, 0.0f},    // grassColor
    {1.0f, 1.0f, 1.0f, 1.0f},    // lampColor
    {2.0, 5.0, 10.0},            // eye
    1,                           // fullScreen
    1,                           // filled
    0,                           // speedLevel
    0,                           // wheelAngleWhole
    0,                           // paused
    0.0,                         // wheelAngle
    nullptr,                     // animation
    0,                           // hidden
    0,                           // windowFullScreen
    0,                           // windowAwaited
    0,                           // windowChanges
    0,                           // placeDue
    0,                           // frameTop
    0,                           // stepChain
    0,                           // stepChains
};

}  // namespace

SceneState initialSceneState()
{
    return startState;
}

SceneState scene = startState;
