#include "scene/element_helpers.h"

#include "app/scene_state.h"

#include "app/platform.h"

#include <cmath>

void drawLampSphere(float x, float y, float z, const float emission[4], double radius)
{
    glPushMatrix();
    glMaterialfv(GL_FRONT, GL_EMISSION, emission);
    glTranslatef(x, y, z);
    glutSolidSphere(radius, 10, 8);
    glPopMatrix();
}

void restoreSurfaceMaterial()
{
    glMaterialfv(GL_FRONT, GL_EMISSION, scene.blackEmission);
    glMaterialfv(GL_FRONT, GL_SPECULAR, scene.surfaceColor);
    glMaterialfv(GL_FRONT, GL_SHININESS, scene.lampColor);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, scene.surfaceColor);
}

float rotationAngle(double degrees)
{
    return static_cast<float>(std::fmod(degrees, 360.0));
}
