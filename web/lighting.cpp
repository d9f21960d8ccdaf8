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

}  // namespace

bool shines(const Light& light)
{
    if (!light.enabled) return false;
    for (int c = 0; c < 3; ++c)
        if (light.ambient[c] != 0 || light.diffuse[c] != 0 || light.specular[c] != 0) return true;
    return false;
}

Vector litColour(const Vector& eye, const std::array<float, 3>& normal, const Material& material,
                 const std::vector<const Light*>& lights)
{
    Vector colour;
    for (int c = 0; c < 3; ++c) colour[c] = material.emission[c] + material.ambient[c] * sceneAmbient;
    // The model-view matrices the program makes leave w at 1.
    const std::array<float, 3> vertex =
        eye[3] == 1 ? std::array<float, 3>{eye[0], eye[1], eye[2]}
                    : std::array<float, 3>{eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]};
    for (const Light* light : lights) {
        const Vector& p = light->position;
        // Constant attenuation 1, the only one the program has.
        const auto toLight = normalised(p[3] == 0 ? std::array<float, 3>{p[0], p[1], p[2]}
                                                  : std::array<float, 3>{light->place[0] - vertex[0],
                                                                         light->place[1] - vertex[1],
                                                                         light->place[2] - vertex[2]});
        const float diffuse = dot(normal, toLight);
        float specular = 0;
        if (diffuse > 0) {
            const float facing = std::max(0.0f, dot(normal, normalised({toLight[0], toLight[1], toLight[2] + 1})));
            specular = material.shininess == 0 ? 1 : std::pow(facing, material.shininess);
        }
        for (int c = 0; c < 3; ++c)
            colour[c] += material.ambient[c] * light->ambient[c] +
                         std::max(0.0f, diffuse) * material.diffuse[c] * light->diffuse[c] +
                         specular * material.specular[c] * light->specular[c];
    }
    for (int c = 0; c < 3; ++c) colour[c] = std::clamp(colour[c], 0.0f, 1.0f);
    colour[3] = std::clamp(material.diffuse[3], 0.0f, 1.0f);
    return colour;
}

}  // namespace web
