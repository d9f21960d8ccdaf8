// Hands the vertices of each primitive or shape on to WebGL, lit for the
// sides their polygons show, and each triangle or line by their indices.

#include "web/state.h"

#include <algorithm>

namespace web {
namespace {

std::uint32_t packed(const Vector& colour)
{
    std::uint32_t bytes = 0;
    for (int c = 3; c >= 0; --c) bytes = bytes << 8 | static_cast<std::uint32_t>(colour[c] * 255 + 0.5f);
    return bytes;
}

// Whether the back of a polygon looks other than its front.
bool twoSided() { return gl.lighting && gl.twoSide; }

// Without two-sided lighting the back takes the front's colour.
std::uint32_t colourOf(const Vertex& v, bool back)
{
    if (!gl.lighting) return white;
    if (gl.shadingChanged[back]) {
        gl.shading[back] = shading(gl.material[back], gl.lights);
        gl.shadingChanged[back] = false;
    }
    std::array<float, 3> n{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) n[r] += gl.normalMatrix[r * 3 + c] * v.normal[c];
    if (back) n = {-n[0], -n[1], -n[2]};
    const auto& p = v.position;
    return packed(litColour(transform(gl.modelView.back(), {p[0], p[1], p[2], 1}), n, gl.shading[back]));
}

std::int32_t hand(const Vertex& v, std::uint32_t front, std::uint32_t back)
{
    Handed h{v.clip, front, back};
    if (gl.filled) h.clip[2] += gl.depthOffset * (h.clip[3] - h.clip[2]);
    gl.handed.push_back(h);
    return static_cast<std::int32_t>(gl.handed.size() - 1);
}

// Hands on the batch's vertex for a polygon that shows its back or its
// front, lit for that side. Filled, it goes once, with the colour of each
// side as that side is first asked for (the other side takes the same
// colour until then, should the rasteriser see it); as lines, it goes once
// for each side.
std::int32_t handFor(std::uint16_t vertex, bool back)
{
    const Vertex& v = gl.batch[vertex];
    const std::uint32_t colour = colourOf(v, back);
    const std::int32_t other = gl.slots[2 * vertex + !back];
    if (gl.handedLines || other < 0) return hand(v, colour, colour);
    (back ? gl.handed[other].back : gl.handed[other].front) = colour;
    return other;
}

inline std::uint16_t handedAs(std::uint16_t vertex, bool back)
{
    std::int32_t& slot = gl.slots[2 * vertex + back];
    if (slot < 0) slot = handFor(vertex, back);
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
    gl.indices.push_back(handedAs(a, false));
    gl.indices.push_back(handedAs(b, false));
}

}  // namespace

void flush()
{
    if (!gl.indices.empty())
        webDraw(gl.handed.data(), static_cast<int>(gl.handed.size()), gl.indices.data(),
                static_cast<int>(gl.indices.size()), gl.handedLines);
    gl.handed.clear();
    gl.indices.clear();
}

void handOn(const Vertex* vertices, std::size_t count, bool lines, int primitive)
{
    if (lines != gl.handedLines) flush();
    gl.handedLines = lines;
    if (gl.handed.size() + (lines ? 2 : 1) * count > mostHanded) flush();
    gl.batch = vertices;
    gl.depthOffset = static_cast<float>(primitive) * depthStepPerPrimitive;
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
    const bool away = (twoSided() || gl.backsHidden) && turned(corners, count);
    const bool back = away && twoSided();
    if (!gl.handedLines) {
        if (away && gl.backsHidden) return;
        const std::uint16_t first = handedAs(corners[0], back);
        std::uint16_t last = handedAs(corners[1], back);
        for (std::size_t i = 2; i < count; ++i) {
            const std::uint16_t next = handedAs(corners[i], back);
            gl.indices.insert(gl.indices.end(), {first, last, next});
            last = next;
        }
        return;
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (repeated && repeated[i]) continue;
        std::uint16_t a = corners[i], b = corners[(i + 1) % count];
        if (gl.batch[b].window < gl.batch[a].window) std::swap(a, b);
        gl.indices.push_back(handedAs(a, back));
        gl.indices.push_back(handedAs(b, back));
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
