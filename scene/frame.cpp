#include "scene/frame.h"

#include "app/scene_state.h"
#include "scene/element_helpers.h"
#include "scene/elements.h"

#include "app/platform.h"

namespace {

void drawLightMarker(GLenum light, const float position[4], const float emission[4], double radius)
{
    if (!glIsEnabled(light)) return;
    glLightfv(light, GL_POSITION, position);
    drawLampSphere(position[0], position[1], position[2], emission, radius);
}

}  // namespace

void drawFrame()
{
    glClearColor(static_cast<float>(0.2 * scene.lampColor[0]), static_cast<float>(0.2 * scene.lampColor[1]),
                 static_cast<float>(0.2 * scene.lampColor[2]), 0.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    gluLookAt(scene.eye[0], scene.eye[1], scene.eye[2], 0, 1, 0, 0, 1, 0);

    const double markerRadius = scene.lampScale * 0.05;
    drawLightMarker(GL_LIGHT0, scene.light0Position, scene.lampColor, markerRadius);
    drawLightMarker(GL_LIGHT1, scene.light1Position, scene.lampColor, markerRadius);
    drawLightMarker(GL_LIGHT2, scene.light2Position, scene.whiteEmission, markerRadius);
    drawLightMarker(GL_LIGHT3, scene.light3Position, scene.lampColor, 0.37);

    glMaterialfv(GL_FRONT, GL_EMISSION, scene.blackEmission);
    glMaterialfv(GL_FRONT, GL_SPECULAR, scene.surfaceColor);
    glMaterialfv(GL_FRONT, GL_SHININESS, scene.lampColor);

    drawGround();
    drawFence();
    drawPlaza();
    drawTower();
    drawWheel();

    glFlush();
    glutSwapBuffers();
}
