// glutSolidSphere as freeglut draws it: a pole on the z axis at each end,
// stacks - 1 rings of slices vertices between them, one triangle strip a
// stack, and each vertex's normal the unit vector from the centre.

#include "web/pipeline.h"

#include <cmath>
#include <map>
#include <utility>
#include <vector>

namespace {

// The sphere of radius 1, drawn as freeglut draws it.
void drawUnitSphere(int slices, int stacks)
{
    // The angles in freeglut's order: round the z axis clockwise seen from
    // above, and from the top pole down; the last repeats the first.
    std::vector<float> sin1(slices + 1), cos1(slices + 1), sin2(stacks + 1), cos2(stacks + 1);
    for (int i = 0; i <= slices; ++i) {
        const float angle = -2 * static_cast<float>(M_PI) / static_cast<float>(slices) * static_cast<float>(i % slices);
        sin1[i] = i % slices ? std::sin(angle) : 0;
        cos1[i] = i % slices ? std::cos(angle) : 1;
    }
    for (int i = 0; i <= stacks; ++i) {
        const float angle = static_cast<float>(M_PI) / static_cast<float>(stacks) * static_cast<float>(i);
        sin2[i] = i == 0 || i == stacks ? 0 : std::sin(angle);
        cos2[i] = i == 0 ? 1 : i == stacks ? -1 : std::cos(angle);
    }
    // The point of ring `stack` (0 and `stacks` the poles) at `slice`.
    auto point = [&](int stack, int slice) {
        const float x = cos1[slice] * sin2[stack], y = sin1[slice] * sin2[stack], z = cos2[stack];
        glNormal3f(x, y, z);
        glVertex3f(x, y, z);
    };
    for (int stack = 0; stack < stacks; ++stack) {
        glBegin(GL_TRIANGLE_STRIP);
        for (int slice = 0; slice <= slices; ++slice) {
            const int j = slice % slices;
            if (stack == 0) {
                point(1, j), point(0, 0);
            } else if (stack == stacks - 1) {
                point(stacks, 0), point(stack, j);
            } else {
                point(stack + 1, j), point(stack, j);
            }
        }
        glEnd();
    }
}

}  // namespace

// Its shape, the same for every radius, is recorded once; each lamp then
// costs one transformation and lighting of each distinct point.
void glutSolidSphere(GLdouble radius, GLint slices, GLint stacks)
{
    if (slices <= 0 || stacks < 2) return;
    static std::map<std::pair<int, int>, web::Shape> spheres;
    const auto [sphere, fresh] = spheres.try_emplace({slices, stacks});
    if (fresh) {
        web::record(sphere->second, [=] { drawUnitSphere(slices, stacks); });
        sphere->second.solid = true;
    }
    web::drawShape(sphere->second, static_cast<float>(radius));
}
