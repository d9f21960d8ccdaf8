// Hands the vertices of each primitive or shape on to WebGL, with how the
// shader is to light them for the sides their polygons show, and each
// triangle or line by their indices.

#include "web/state.h"

#include <algorithm>

namespace web {
namespace {

// Whether the back of a polygon looks other than its front.
bool twoSided() { return gl.lighting && gl.twoSide; }

// As lines, a vertex goes once for each side of a polygon that it shows;
// filled, it goes once, and the shader lights both its sides.
Lit litFor(bool back)
{
    if (!gl.lighting) return unlit;
    if (!gl.twoSide) return frontLit;
    return gl.handedLines && back ? backLit : bothSidesLit;
}

// Hands on the batch's vertex for a polygon that shows its back or its
// front, with its position and normal in eye space, where the shader lights
// it. GL lights a vertex where the model-view matrix leaves w at 1, as the
// program's do; other points are divided by w.
std::uint16_t handedAs(std::uint16_t vertex, bool back)
{
    std::int32_t& slot = gl.slots[2 * vertex + (gl.handedLines && back)];
    if (slot >= 0) return static_cast<std::uint16_t>(slot);
    const Vertex& v = gl.batch[vertex];
    Handed h{v.clip, {}, {}, gl.materialAt[0], gl.materialAt[1], litFor(back), 0};
    if (gl.filled) h.clip[2] += gl.depthOffset * (h.clip[3] - h.clip[2]);
    if (h.lit != unlit) {
        const auto& p = v.position;
        const Vector eye = transform(gl.modelView.back(), {p[0], p[1], p[2], 1});
        for (int r = 0; r < 3; ++r) {
            h.eye[r] = eye[3] == 1 ? eye[r] : eye[r] / eye[3];
            for (int c = 0; c < 3; ++c) h.normal[r] += gl.normalMatrix[r * 3 + c] * v.normal[c];
        }
    }
    gl.frame.handed.push_back(h);
    slot = static_cast<std::int32_t>(gl.frame.handed.size() - 1 - gl.batchStart);
    return static_cast<std::uint16_t>(slot);
}

// Whether a polygon shows its back: the sign of its area in window
// coordinates, as GL decides it, taken in homogeneous coordinates so that
// it holds for the part in front of the viewer even when corners lie
// behind (w < 0), as a polygon seen edge-on from nearby has them.
bool turned(const std::uint16_t* corners, std::size_t count)
{
    const Vector& a = gl.batch[corners[0]].clip;
    float sum = 0;
    for (std::size_t i = 1; i + 1 < count; ++i) {
        const Vector& b = gl.batch[corners[i]].clip;
        const Vector& c = gl.batch[corners[i + 1]].clip;
        sum += a[0] * (b[1] * c[3] - b[3] * c[1]) - a[1] * (b[0] * c[3] - b[3] * c[0]) +
               a[3] * (b[0] * c[1] - b[1] * c[0]);
    }
    return sum < 0;
}

void line(std::uint16_t a, std::uint16_t b)
{
    if (gl.recording) fail("lines in a recorded shape are not done in the browser");
    gl.frame.indices.push_back(handedAs(a, false));
    gl.frame.indices.push_back(handedAs(b, false));
}

}  // namespace

void flush()
{
    Frame& f = gl.frame;
    if (f.indices.size() > gl.indicesStart) {
        const auto range = [](const std::array<std::size_t, 2>& r) {
            return r[0] < r[1] ? std::array<int, 2>{static_cast<int>(r[0]), static_cast<int>(r[1])}
                               : std::array<int, 2>{0, 0};
        };
        const int count = static_cast<int>(f.handed.size() - gl.batchStart);
        const int indexCount = static_cast<int>(f.indices.size() - gl.indicesStart);
        // The batches after the first few of a frame share one pair of
        // buffers in page.js, and so upload all they draw.
        const bool kept = gl.batches < mostKeptBatches;
        const auto changed = kept ? range(gl.changed) : std::array<int, 2>{0, count};
        const auto indicesChanged = kept ? range(gl.indicesChanged) : std::array<int, 2>{0, indexCount};
        uploadMaterialsAndLights();
        webDraw(f.handed.data() + gl.batchStart, count, f.indices.data() + gl.indicesStart, indexCount,
                gl.handedLines, static_cast<int>(std::min(gl.batches, mostKeptBatches)), changed[0], changed[1],
                indicesChanged[0], indicesChanged[1]);
        ++gl.batches;
    }
    gl.batchStart = f.handed.size();
    gl.indicesStart = f.indices.size();
    gl.changed = gl.indicesChanged = {SIZE_MAX, 0};
    gl.materials.clear();
    gl.materialChanged = {true, true};
}

void makeRoom(bool lines, std::size_t count)
{
    if (lines != gl.handedLines) flush();
    gl.handedLines = lines;
    if (gl.frame.handed.size() - gl.batchStart + (lines ? 2 : 1) * count > mostHanded) flush();
}

void handOn(const Vertex* vertices, std::size_t count)
{
    Drawn& drawn = gl.frame.drawn.back();
    drawn.seen = true;
    drawn.batch = gl.batches;
    drawn.handedFrom = static_cast<std::uint32_t>(gl.frame.handed.size());
    drawn.indicesFrom = static_cast<std::uint32_t>(gl.frame.indices.size());
    drawn.handedAt = static_cast<std::uint32_t>(drawn.handedFrom - gl.batchStart);
    drawn.indicesAt = static_cast<std::uint32_t>(drawn.indicesFrom - gl.indicesStart);
    gl.batch = vertices;
    gl.depthOffset = static_cast<float>(drawn.first) * depthStepPerPrimitive;
    gl.slots.assign(2 * count, -1);
}

bool outOfSight(const Vertex* vertices, std::size_t count)
{
    for (int axis = 0; axis < 3; ++axis)
        for (const float side : {-1.0f, 1.0f}) {
            std::size_t i = 0;
            while (i < count && side * vertices[i].clip[axis] > vertices[i].clip[3]) ++i;
            if (i == count) return true;
        }
    return false;
}

// A filled polygon as a fan of triangles, or in polygon mode GL_LINE its
// edges in the colour of the side it shows. An edge that two polygons share
// is drawn in one direction, so both draw the same pixels.
void polygon(const std::uint16_t* corners, std::size_t count, const std::uint8_t* repeated)
{
    if (gl.recording) {
        Shape& shape = *gl.recording;
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint16_t a = gl.recorded[corners[i]], b = gl.recorded[corners[(i + 1) % count]];
            shape.corners.push_back(a);
            shape.repeated.push_back(!gl.edges.insert({std::min(a, b), std::max(a, b)}).second);
        }
        shape.sizes.push_back(static_cast<std::uint16_t>(count));
        return;
    }
    // Filled, a triangle with two corners the same, as at a sphere's poles,
    // has no area: nothing to draw.
    if (!gl.handedLines && count == 3 &&
        (corners[0] == corners[1] || corners[1] == corners[2] || corners[2] == corners[0]))
        return;
    const bool away = ((gl.handedLines && twoSided()) || gl.backsHidden) && turned(corners, count);
    const bool back = away && twoSided();
    if (!gl.handedLines) {
        if (away && gl.backsHidden) return;
        const std::uint16_t first = handedAs(corners[0], back);
        std::uint16_t last = handedAs(corners[1], back);
        for (std::size_t i = 2; i < count; ++i) {
            const std::uint16_t next = handedAs(corners[i], back);
            gl.frame.indices.insert(gl.frame.indices.end(), {first, last, next});
            last = next;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (repeated && repeated[i]) continue;
        std::uint16_t a = corners[i], b = corners[(i + 1) % count];
        if (gl.batch[b].window < gl.batch[a].window) std::swap(a, b);
        gl.frame.indices.push_back(handedAs(a, back));
        gl.frame.indices.push_back(handedAs(b, back));
    }
}

void assemble(GLenum primitive, std::size_t n)
{
    using Index = std::uint16_t;
    switch (primitive) {
    case GL_LINES:
        for (Index i = 0; i + 1u < n; i += 2) line(i, i + 1);
        break;
    case GL_TRIANGLES:
        for (Index i = 0; i + 2u < n; i += 3) {
            const Index corners[] = {i, Index(i + 1), Index(i + 2)};
            polygon(corners, 3);
        }
        break;
    case GL_TRIANGLE_STRIP:  // every other triangle turned, so that all face the same way
        for (Index i = 0; i + 2u < n; ++i) {
            const Index corners[] = {Index(i + i % 2), Index(i + 1 - i % 2), Index(i + 2)};
            polygon(corners, 3);
        }
        break;
    case GL_QUADS:
        for (Index i = 0; i + 3u < n; i += 4) {
            const Index corners[] = {i, Index(i + 1), Index(i + 2), Index(i + 3)};
            polygon(corners, 4);
        }
        break;
    case GL_POLYGON:
        if (n >= 3) {
            for (std::size_t i = gl.sequence.size(); i < n; ++i) gl.sequence.push_back(static_cast<Index>(i));
            polygon(gl.sequence.data(), n);
        }
        break;
    }
}

}  // namespace web
