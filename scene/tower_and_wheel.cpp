#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/frame.h"

#include <GL/glut.h>

void drawTower() {}

void drawWheel() {}

void drawSpoke() {}

void drawRimChord() {}

