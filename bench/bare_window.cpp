// The floor for the program's start-up: a window like the program's that
// only clears and swaps.
#include "app/platform.h"

namespace {

void clearAndSwap()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

}  // namespace

int main(int argc, char** argv)
{
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(10, 10);
    glutCreateWindow(argv[0]);
    glutDisplayFunc(clearAndSwap);
    glutMainLoop();
    return 0;
}
