#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/element_helpers.h"
#include "scene/face.h"

#include "app/platform.h"

namespace {

// The four quads of a wall round its window, in wall coordinates: u along
// the wall from -0.3 to 0.3, then y. Drawn in this order and vertex order.
const float wallQuads[4][4][2] = {
    {{-0.3f, 0.8f}, {-0.3f, 0.75f}, {0.3f, 0.75f}, {0.3f, 0.8f}},   // top band
    {{-0.3f, 0.75f}, {-0.3f, 0.5f}, {-0.2f, 0.5f}, {-0.2f, 0.75f}},  // first jamb
    {{0.2f, 0.75f}, {0.2f, 0.5f}, {0.3f, 0.5f}, {0.3f, 0.75f}},     // second jamb
    {{-0.3f, 0.5f}, {-0.3f, 0.0f}, {0.3f, 0.0f}, {0.3f, 0.5f}},     // lower panel
};

// A wall in the plane z = z, running along x (u is x).
void drawZWall(float z)
{
    for (const auto& quad : wallQuads) {
        glBegin(GL_QUADS);
        for (const auto& v : quad) glVertex3f(v[0], v[1], z);
        glEnd();
    }
}

// A wall in the plane x = x, running along z (u is z).
void drawXWall(float x)
{
    for (const auto& quad : wallQuads) {
        glBegin(GL_QUADS);
        for (const auto& v : quad) glVertex3f(x, v[1], v[0]);
        glEnd();
    }
}

}  // namespace

// Leaves its own rotation in place: drawWheel calls it inside a push/pop.
void drawGondola()
{
    glRotatef(rotationAngle(scene.wheelAngle), 0, 1, 0);

    // floor, then roof
    drawFace(GL_QUADS, {0, 1, 0}, {{-0.3f, 0, -0.3f}, {-0.3f, 0, 0.3f}, {0.3f, 0, 0.3f}, {0.3f, 0, -0.3f}});
    drawFace(GL_QUADS, {0, 1, 0}, {{-0.3f, 0.8f, -0.3f}, {-0.3f, 0.8f, 0.3f}, {0.3f, 0.8f, 0.3f}, {0.3f, 0.8f, -0.3f}});

    const float roofLamps[4][2] = {{-0.25f, -0.25f}, {0.25f, -0.25f}, {0.25f, 0.25f}, {-0.25f, 0.25f}};  // x, z
    for (const auto& lamp : roofLamps) {
        drawLampSphere(lamp[0], 0.8f, lamp[1], scene.lampColor, scene.lampScale * 0.03);
        restoreSurfaceMaterial();
    }

    // Opposite walls share one normal, so those at z = -0.3 and x = 0.3
    // carry normals pointing into the cabin.
    glNormal3f(0, 0, 1);
    drawZWall(-0.3f);
    glNormal3f(0, 0, 1);
    drawZWall(0.3f);
    glNormal3f(-1, 0, 0);
    drawXWall(-0.3f);
    glNormal3f(-1, 0, 0);
    drawXWall(0.3f);
}
