#include "scene/elements.h"

#include "app/scene_state.h"
#include "scene/face.h"

#include "app/platform.h"

namespace {

// One tile for each x from xFirst to xLast inclusive, in the row at z.
void drawTileRow(int z, int xFirst, int xLast)
{
    for (int x = xFirst; x <= xLast; ++x) {
        glPushMatrix();
        glTranslatef(static_cast<float>(x), 0.0f, static_cast<float>(z));
        drawTile();
        glPopMatrix();
    }
}

}  // namespace

void drawGround()
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.grassColor);
    drawFace(GL_POLYGON, {0, 1, 0}, {{-100, 0, -100}, {-100, 0, 100}, {100, 0, 100}, {100, 0, -100}});
}

void drawPlaza()
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.stoneColor);
    drawFace(GL_POLYGON, {0, 1, 0},
             {{-2.5f, 0.01f, -5}, {-5, 0.01f, -2.5f}, {-5, 0.01f, 2.5f}, {-2.5f, 0.01f, 5},
              {2.5f, 0.01f, 5}, {5, 0.01f, 2.5f}, {5, 0.01f, -2.5f}, {2.5f, 0.01f, -5}});

    // 87 tiles, not cut to the octagon: the rows z = -5 and 5 and the end
    // tiles of the rows z = -4, -3, 3 and 4 reach beyond its edges.
    for (int z = -3; z <= 3; ++z) drawTileRow(z, -4, 4);
    drawTileRow(-5, -2, 2);
    drawTileRow(-4, -3, 3);
    drawTileRow(5, -2, 2);
    drawTileRow(4, -3, 3);
}

void drawTile()
{
    glMaterialfv(GL_FRONT, GL_AMBIENT_AND_DIFFUSE, scene.stoneColor);
    drawFace(GL_POLYGON, {0, 1, 0},
             {{-0.25f, 0.02f, -0.5f}, {-0.5f, 0.02f, -0.25f}, {-0.5f, 0.02f, 0.25f}, {-0.25f, 0.02f, 0.5f},
              {0.25f, 0.02f, 0.5f}, {0.5f, 0.02f, 0.25f}, {0.5f, 0.02f, -0.25f}, {0.25f, 0.02f, -0.5f}});
}
