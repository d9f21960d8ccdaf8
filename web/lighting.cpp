// What the shader's lighting reads, besides each vertex's own: the
// materials of a batch's vertices, and the lights, as uniforms. A batch
// holds a handful of materials and one state of the lights; a drawing that
// needs more, or other lights, begins the next batch.

#include "web/state.h"

#include <algorithm>

namespace web {
namespace {

MaterialUniform uniformOf(const Material& m)
{
    MaterialUniform u{};
    auto out = u.begin();
    for (const Vector* v : {&m.ambient, &m.diffuse, &m.specular, &m.emission}) out = std::copy(v->begin(), v->end(), out);
    *out = m.shininess;
    return u;
}

LightsUniform lightsUniform()
{
    LightsUniform u{};
    auto out = u.begin();
    for (const Light& l : gl.lights) {
        const Light off{false, {0, 0, 1, 0}, {}, {}, {}};
        const Light& shown = l.enabled ? l : off;
        for (const Vector* v : {&shown.position, &shown.ambient, &shown.diffuse, &shown.specular})
            out = std::copy(v->begin(), v->end(), out);
    }
    return u;
}

// The places of the front and back materials in the batch's, or false when
// it has no room for them.
bool placeMaterials()
{
    for (int side = 0; side < 2; ++side) {
        if (!gl.materialChanged[side]) continue;
        const MaterialUniform u = uniformOf(gl.material[side]);
        auto at = std::find(gl.materials.begin(), gl.materials.end(), u);
        if (at == gl.materials.end()) {
            if (gl.materials.size() == mostMaterials) return false;
            at = gl.materials.insert(at, u);
        }
        gl.materialAt[side] = static_cast<std::uint8_t>(at - gl.materials.begin());
        gl.materialChanged[side] = false;
    }
    return true;
}

}  // namespace

void takeMaterialsAndLights()
{
    if (gl.lightsChanged) {
        const LightsUniform now = lightsUniform();
        if (now != gl.lightsNow && gl.frame.handed.size() > gl.batchStart) flush();
        gl.lightsNow = now;
        gl.lightsChanged = false;
    }
    if (!placeMaterials()) {
        flush();
        placeMaterials();
    }
}

void uploadMaterialsAndLights()
{
    if (gl.materials != gl.materialsUploaded) {
        gl.materialsUploaded = gl.materials;
        webMaterials(gl.materials.data()->data(), static_cast<int>(gl.materials.size()));
    }
    if (gl.lightsNow != gl.lightsUploaded) {
        gl.lightsUploaded = gl.lightsNow;
        webLights(gl.lightsNow.data());
    }
}

}  // namespace web
