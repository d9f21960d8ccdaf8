#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/frame.h"

#include <GL/glut.h>

void drawFence() {}

void drawFencePost() {}

