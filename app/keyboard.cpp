#include "app/keyboard.h"

#include "app/scene_state.h"

#include <GL/glut.h>

void onKeyboard(unsigned char key, int x, int y)
{
    (void)key;
    (void)x;
    (void)y;
}
