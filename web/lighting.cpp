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
    return length == 0 ? v : std::array<float, 3>{v[0] / length, v[1] / length, v[2] / length};
}

}  // namespace

Vector litColour(const Vector& eye, const std::array<float, 3>& normal, const Material& material,
                 const Light (&lights)[4])
{
    Vector colour;
    for (int c = 0; c < 3; ++c) colour[c] = material.emission[c] + material.ambient[c] * sceneAmbient;
    const std::array<float, 3> vertex{eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]};
    for (const Light& light : lights) {
        if (!light.enabled) continue;
        const Vector& p = light.position;
        // Constant attenuation 1, the only one the program has.
        const auto toLight = normalised(p[3] == 0 ? std::array<float, 3>{p[0], p[1], p[2]}
                                                  : std::array<float, 3>{p[0] / p[3] - vertex[0],
                                                                         p[1] / p[3] - vertex[1],
                                                                         p[2] / p[3] - vertex[2]});
        const float diffuse = dot(normal, toLight);
        float specular = 0;
        if (diffuse > 0) {
            const float facing = std::max(0.0f, dot(normal, normalised({toLight[0], toLight[1], toLight[2] + 1})));
            specular = material.shininess == 0 ? 1 : std::pow(facing, material.shininess);
        }
        for (int c = 0; c < 3; ++c)
            colour[c] += material.ambient[c] * light.ambient[c] +
                         std::max(0.0f, diffuse) * material.diffuse[c] * light.diffuse[c] +
                         specular * material.specular[c] * light.specular[c];
    }
    for (int c = 0; c < 3; ++c) colour[c] = std::clamp(colour[c], 0.0f, 1.0f);
    colour[3] = std::clamp(material.diffuse[3], 0.0f, 1.0f);
    return colour;
}

}  // namespace web
