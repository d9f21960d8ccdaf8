#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/element_helpers.h"
#include "scene/face.h"

#include "app/platform.h"

namespace {

// The posts stand on the plaza octagon's corners, in this order.
const float postCorners[8][2] = {  // x, z
    {5, -2.5f}, {5, 2.5f}, {2.5f, 5}, {-2.5f, 5}, {-5, 2.5f}, {-5, -2.5f}, {-2.5f, -5}, {2.5f, -5},
};

// One rail between heights bottom and top along the side from corner a to
// corner b (x, z): a top, b top, b bottom, a bottom.
void drawRail(float ax, float az, float bx, float bz, float top, float bottom)
{
    drawPrimitive(GL_QUADS, {{ax, top, az}, {bx, top, bz}, {bx, bottom, bz}, {ax, bottom, az}});
}

// The upper rail (y 0.8 to 0.9), then the lower rail (y 0.2 to 0.3), of one side.
void drawRailPair(float ax, float az, float bx, float bz)
{
    drawRail(ax, az, bx, bz, 0.9f, 0.8f);
    drawRail(ax, az, bx, bz, 0.3f, 0.2f);
}

}  // namespace

void drawFence()
{
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, scene.surfaceColor);

    for (const auto& corner : postCorners) {
        glPushMatrix();
        glTranslatef(corner[0], 0, corner[1]);
        drawFencePost();
        glPopMatrix();
    }

    // Each normal holds until the next one. They are given as they are:
    // the z = 5 and z = -5 sides share one, so do the x = 5 and x = -5 sides,
    // and the diagonal ones are not of unit length and not all outward.
    glNormal3f(0, 0, 1);
    drawRailPair(2.5f, 5, -2.5f, 5);    // rails 1, 2
    drawRailPair(2.5f, -5, -2.5f, -5);  // rails 3, 4
    glNormal3f(1, 0, 0);
    drawRailPair(5, -2.5f, 5, 2.5f);  // rails 5, 6
    glNormal3f(1, 0, 0);
    drawRailPair(-5, -2.5f, -5, 2.5f);  // rails 7, 8
    glNormal3f(-0.5f, 0, 0.5f);
    drawRailPair(-2.5f, 5, -5, 2.5f);  // rails 9, 10
    glNormal3f(0.5f, 0, 0.5f);
    drawRailPair(-5, -2.5f, -2.5f, -5);  // rails 11, 12
    glNormal3f(0.5f, 0, 0.5f);
    drawRailPair(5, 2.5f, 2.5f, 5);  // rails 13, 14
    glNormal3f(0.5f, 0, 0.5f);
    drawRailPair(5, -2.5f, 2.5f, -5);  // rails 15, 16
}

void drawFencePost()
{
    // The bottom face carries the front face's normal.
    drawFace(GL_POLYGON, {0, 0, 1}, {{-0.1f, 0, -0.1f}, {-0.1f, 0, 0.1f}, {0.1f, 0, 0.1f}, {0.1f, 0, -0.1f}});
    drawFace(GL_POLYGON, {0, 0, 1}, {{0.1f, 1, 0.1f}, {-0.1f, 1, 0.1f}, {-0.1f, 0, 0.1f}, {0.1f, 0, 0.1f}});
    drawFace(GL_POLYGON, {0, 0, -1}, {{-0.1f, 1, -0.1f}, {0.1f, 1, -0.1f}, {0.1f, 0, -0.1f}, {-0.1f, 0, -0.1f}});
    drawFace(GL_POLYGON, {-1, 0, 0}, {{-0.1f, 1, 0.1f}, {-0.1f, 1, -0.1f}, {-0.1f, 0, -0.1f}, {-0.1f, 0, 0.1f}});
    drawFace(GL_POLYGON, {1, 0, 0}, {{0.1f, 1, -0.1f}, {0.1f, 1, 0.1f}, {0.1f, 0, 0.1f}, {0.1f, 0, -0.1f}});
    drawFace(GL_POLYGON, {0, 1, 0}, {{-0.1f, 1, -0.1f}, {-0.1f, 1, 0.1f}, {0.1f, 1, 0.1f}, {0.1f, 1, -0.1f}});

    drawLampSphere(0, 1, 0, scene.lampColor, scene.lampScale * 0.1);
    restoreSurfaceMaterial();
}
