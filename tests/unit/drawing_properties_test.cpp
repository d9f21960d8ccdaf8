#include "program.h"

#include "scene/element_helpers.h"
#include "scene/elements.h"

#include <algorithm>
#include <cmath>

using Drawing = Program;

TEST_F(Drawing, EveryFunctionLeavesTheMatrixStackAsItFoundIt)
{
    scene.wheelAngle = 30;
    glTranslatef(1, 2, 3);
    glRotatef(40, 1, 1, 0);
    for (void (*draw)() : {drawGround, drawFence, drawPlaza, drawTower, drawWheel, drawSpoke, drawRimChord, drawTile,
                           drawFencePost, drawGondola, +[] { drawLampSphere(1, 2, 3, scene.lampColor, 0.5); }}) {
        const std::vector<standIn::Matrix> before = record().modelView, &after = record().modelView;
        draw();
        // Called only inside a push and pop, these may leave their own transformations.
        const bool own = draw == drawTile || draw == drawFencePost || draw == drawGondola;
        EXPECT_TRUE(own ? after.size() == before.size() : after == before) << before.size() << " to " << after.size();
    }
}

TEST_F(Drawing, GondolasStayUprightAtAnyAngle)
{
    for (double angle : {0.0, 30.0, 90.0, 137.0, 222.5, 301.0, 359.9}) {
        start();
        scene.wheelAngle = angle;
        drawWheel();
        const auto& faces = record().faces;
        const auto level = [](const auto& face, double y) {
            return std::all_of(face.begin(), face.end(), [y](const auto& v) { return std::fabs(v[1] - y) < 1e-5; });
        };
        int upright = 0;  // level floors of four corners with a level roof 0.8 above them
        for (std::size_t i = 0; i + 1 < faces.size(); ++i)
            upright +=
                faces[i].size() == 4 && level(faces[i], faces[i][0][1]) && level(faces[i + 1], faces[i][0][1] + 0.8);
        EXPECT_EQ(upright, 4) << "at " << angle << " degrees";
    }
}
