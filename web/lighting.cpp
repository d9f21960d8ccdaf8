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

Shading shading(const Material& material, const Light (&lights)[4])
{
    Shading s{};
    for (int c = 0; c < 3; ++c) s.base[c] = material.emission[c] + material.ambient[c] * sceneAmbient;
    s.base[3] = std::clamp(material.diffuse[3], 0.0f, 1.0f);
    s.shininess = material.shininess;
    for (const Light& light : lights) {
        if (!light.enabled) continue;
        Shading::Lit lit{&light, {}, {}};
        bool shines = false;
        for (int c = 0; c < 3; ++c) {
            s.base[c] += material.ambient[c] * light.ambient[c];
            lit.diffuse[c] = material.diffuse[c] * light.diffuse[c];
            lit.specular[c] = material.specular[c] * light.specular[c];
            shines = shines || light.diffuse[c] != 0 || light.specular[c] != 0;
        }
        if (shines) s.lights[s.shining++] = lit;
    }
    return s;
}

Vector litColour(const Vector& eye, const std::array<float, 3>& normal, const Shading& shading)
{
    Vector colour = shading.base;
    // The model-view matrices the program makes leave w at 1.
    const std::array<float, 3> vertex =
        eye[3] == 1 ? std::array<float, 3>{eye[0], eye[1], eye[2]}
                    : std::array<float, 3>{eye[0] / eye[3], eye[1] / eye[3], eye[2] / eye[3]};
    for (int i = 0; i < shading.shining; ++i) {
        const Shading::Lit& lit = shading.lights[i];
        const Vector& p = lit.light->position;
        const auto& place = lit.light->place;
        // Constant attenuation 1, the only one the program has.
        const auto toLight = normalised(p[3] == 0 ? std::array<float, 3>{p[0], p[1], p[2]}
                                                  : std::array<float, 3>{place[0] - vertex[0], place[1] - vertex[1],
                                                                         place[2] - vertex[2]});
        const float diffuse = dot(normal, toLight);
        if (!(diffuse > 0)) continue;
        float specular = 1;
        if (shading.shininess != 0)
            specular = std::pow(std::max(0.0f, dot(normal, normalised({toLight[0], toLight[1], toLight[2] + 1}))),
                                shading.shininess);
        for (int c = 0; c < 3; ++c) colour[c] += diffuse * lit.diffuse[c] + specular * lit.specular[c];
    }
    for (int c = 0; c < 3; ++c) colour[c] = std::clamp(colour[c], 0.0f, 1.0f);
    return colour;
}

}  // namespace web
