#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/element_helpers.h"
#include "scene/face.h"

#include "app/platform.h"

void drawTower()
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.stoneColor);
    // Four sides, no top and no bottom.
    drawFace(GL_QUADS, {0, 0, 1}, {{0.25f, 4.5f, 0.25f}, {-0.25f, 4.5f, 0.25f}, {-0.25f, 0, 0.25f}, {0.25f, 0, 0.25f}});
    drawFace(GL_QUADS, {0, 0, -1},
             {{-0.25f, 4.5f, -0.25f}, {0.25f, 4.5f, -0.25f}, {0.25f, 0, -0.25f}, {-0.25f, 0, -0.25f}});
    drawFace(GL_QUADS, {-1, 0, 0},
             {{-0.25f, 4.5f, 0.25f}, {-0.25f, 4.5f, -0.25f}, {-0.25f, 0, -0.25f}, {-0.25f, 0, 0.25f}});
    drawFace(GL_QUADS, {1, 0, 0}, {{0.25f, 4.5f, -0.25f}, {0.25f, 4.5f, 0.25f}, {0.25f, 0, 0.25f}, {0.25f, 0, -0.25f}});
}

// A bar 3 long and 0.2 high from the hub towards -x, in the plane z = 0.5.
void drawSpoke()
{
    drawFace(GL_QUADS, {0, 0, 1}, {{0, 0.2f, 0.5f}, {-3, 0.2f, 0.5f}, {-3, 0, 0.5f}, {0, 0, 0.5f}});
}

// A band 0.2 wide from the spoke tip at -x to the point 3 below the hub.
void drawRimChord()
{
    drawFace(GL_QUADS, {0, 0, -1}, {{-3, 0, 0.5f}, {-3, 0.2f, 0.5f}, {0, -2.8f, 0.5f}, {0, -3, 0.5f}});
}

// No material of its own: the pieces before the first gondola's lamps take
// whatever drawTower and the fence left. Every angle that involves
// wheelAngle goes through rotationAngle, combined in double first.
void drawWheel()
{
    const double angle = scene.wheelAngle;

    // 1. axle plate
    glPushMatrix();
    glTranslatef(0, 4, 0);
    glRotatef(rotationAngle(angle), 0, 0, 1);
    drawFace(GL_QUADS, {0, 1, 0}, {{-0.1f, 0, 0}, {-0.1f, 0, 0.5f}, {0.1f, 0, 0.5f}, {0.1f, 0, 0}});
    glPopMatrix();

    // 2. first arm
    glPushMatrix();
    glTranslatef(0, 3.8f, 0);
    glRotatef(rotationAngle(angle), 0, 0, 1);
    drawSpoke();
    drawRimChord();
    glTranslatef(-3, 0, 0.5f);
    glRotatef(rotationAngle(-angle), 0, 0, 1);
    drawGondola();
    glPopMatrix();

    // 3. opposite arm, half a turn about the vertical axis
    glPushMatrix();
    glTranslatef(0, 3.8f, 1);
    glRotatef(180, 0, 1, 0);
    glRotatef(rotationAngle(-angle), 0, 0, 1);
    drawSpoke();
    drawRimChord();
    glTranslatef(-3, 0, 0.5f);
    glRotatef(rotationAngle(angle), 0, 0, 1);
    drawGondola();
    glPopMatrix();

    // 4. third arm
    glPushMatrix();
    glTranslatef(0, 3.8f, 0);
    glRotatef(rotationAngle(angle + 90), 0, 0, 1);
    drawSpoke();
    glTranslatef(-3, 0, 0.5f);
    glRotatef(rotationAngle(-angle - 90), 0, 0, 1);
    drawGondola();
    glPopMatrix();

    // 5. chord only
    glPushMatrix();
    glTranslatef(0, 3.8f, 0);
    glRotatef(rotationAngle(angle + 180), 0, 0, 1);
    drawRimChord();
    glPopMatrix();

    // 6. spoke only
    glPushMatrix();
    glTranslatef(0, 3.8f, 0);
    glRotatef(rotationAngle(angle - 90), 0, 0, 1);
    drawSpoke();
    glPopMatrix();

    // 7. fourth gondola with its chord, 2.8 (not 3) from the hub
    glPushMatrix();
    glTranslatef(0, 3.8f, 0);
    glRotatef(rotationAngle(angle - 90), 0, 0, 1);
    drawRimChord();
    glTranslatef(-2.8f, 0, 0.5f);
    glRotatef(180, 0, 1, 0);
    glRotatef(rotationAngle(angle - 90), 0, 0, 1);
    drawGondola();
    glPopMatrix();
}
