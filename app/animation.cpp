#include "app/animation.h"

#include "app/scene_state.h"

#include <GL/glut.h>

void onMouse(int button, int state, int x, int y)
{
    (void)button;
    (void)state;
    (void)x;
    (void)y;
}

void animateGo() {}

void animateStop() {}
