// GL's lighting equation for one vertex, as GL 1.x states it for a viewer
// at infinity, with the scene's ambient light at GL's default of 0.2.
// Diffuse and specular light count only where the light falls on the side
// lit, as GL implementations do.

#include "web/pipeline.h"

#include <algorithm>
#include <cmath>

namespace web {
namespace {

constexpr float sceneAmbient = 0.2f;

float dot(const std::array<float, 3>& a, const std::array<float, 3>& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

std::array<float, 3> normalised(const std::array<float, 3>& v)
{
    const float length = std::sqrt(dot(v, v));
    if (length == 0) return v;
    const float inverse = 1 / length;
    return {v[0] * inverse, v[1] * inverse, v[2] * inverse};
}

// A light whose colours are all black adds nothing, wherever it is: the
// scene's lights 1 to 3.
bool dark(const Light& light)
{
    for (int c = 0; c < 3; ++c)
        if (light.ambient[c] != 0 || light.diffuse[c] != 0 || light.specular[c] != 0) return false;
    return true;
}

}  // namespace

// Both sides at once: the back's normal is the front's reversed, so its
// dot products are the front's negated, exactly.
void litColours(const Vector& eye, const std::array<float, 3>& normal, const Material (&material)[2],
                const Light (&lights)[4], bool twoSide, Vector (&colour)[2])
{
    const int sides = twoSide ? 2 : 1;
    for (int side = 0; side < sides; ++side)
        for (int c = 0; c < 3; ++c)
            colour[side][c] = material[side].emission[c] + material[side].ambient[c] * sceneAmbient;
    // The model-view matrices the program makes leave w at 1.
    const std::array<float, 3> vertex =
        eye[3] == 1 ? std::array<float, 3>{eye[0], eye[1], eye[2]}
                    : std::array<float, 3>{eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]};
    for (const Light& light : lights) {
        if (!light.enabled || dark(light)) continue;
        const Vector& p = light.position;
        // Constant attenuation 1, the only one the program has.
        const auto toLight = normalised(p[3] == 0 ? std::array<float, 3>{p[0], p[1], p[2]}
                                                  : std::array<float, 3>{light.place[0] - vertex[0],
                                                                         light.place[1] - vertex[1],
                                                                         light.place[2] - vertex[2]});
        const float diffuse = dot(normal, toLight);
        float facing = 0;
        if (diffuse > 0 || (twoSide && diffuse < 0))
            facing = dot(normal, normalised({toLight[0], toLight[1], toLight[2] + 1}));
        for (int side = 0; side < sides; ++side) {
            const Material& m = material[side];
            const float lit = side ? -diffuse : diffuse;
            float specular = 0;
            if (lit > 0) specular = m.shininess == 0 ? 1 : std::pow(std::max(0.0f, side ? -facing : facing), m.shininess);
            for (int c = 0; c < 3; ++c)
                colour[side][c] += m.ambient[c] * light.ambient[c] + std::max(0.0f, lit) * m.diffuse[c] * light.diffuse[c] +
                                   specular * m.specular[c] * light.specular[c];
        }
    }
    for (int side = 0; side < sides; ++side) {
        for (int c = 0; c < 3; ++c) colour[side][c] = std::clamp(colour[side][c], 0.0f, 1.0f);
        colour[side][3] = std::clamp(material[side].diffuse[3], 0.0f, 1.0f);
    }
}

}  // namespace web
