#include "app/animation.h"
#include "app/keyboard.h"
#include "app/startup.h"
#include "scene/frame.h"

#include "app/platform.h"

int main(int argc, char** argv)
{
    guardStandardStreams();
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    glutInitWindowPosition(10, 10);
    identifyWindow(argv[0]);
    glutCreateWindow(argv[0]);
    initScene();
    glutMouseFunc(onMouse);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(drawFrame);
    glutKeyboardFunc(onKeyboard);
    glutWindowStatusFunc(onWindowStatus);
    glutMainLoop();
    return 0;
}
