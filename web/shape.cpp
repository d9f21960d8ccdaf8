// Shapes recorded once and drawn again and again: glutSolidSphere's.

#include "web/state.h"

namespace web {
namespace {

// A convex solid seen from outside hides, filled, the polygons that turn
// their back on the viewer: seen in perspective (w = -z, the viewer at the
// origin), neither mirrored nor turned inside out, and wholly in front of
// the viewer and of the near plane, which would otherwise open it.
bool hidesBacks(const Shape& shape, float scale)
{
    const Matrix& p = gl.projection.back();
    const bool perspective = p[3] == 0 && p[7] == 0 && p[11] < 0 && p[15] == 0;
    if (!shape.solid || !gl.filled || !(scale > 0) || !perspective || !(p[0] * p[5] - p[4] * p[1] > 0) ||
        !(gl.modelViewDeterminant > 0))
        return false;
    for (const Vertex& v : gl.vertices)
        if (!(v.clip[3] > 0 && v.clip[2] >= -v.clip[3])) return false;
    return true;
}

}  // namespace

void record(Shape& shape, const std::function<void()>& draw)
{
    outsideBegin(__func__);
    const auto normal = gl.normal;
    gl.recording = &shape;
    gl.edges.clear();
    draw();
    gl.recording = nullptr;
    gl.normal = normal;
}

void drawShape(const Shape& shape, float scale)
{
    outsideBegin(__func__);
    roomForDrawing();
    const int first = gl.primitivesSinceClear + 1;
    gl.primitivesSinceClear += shape.primitives;
    if (drawnAsBefore(&shape, scale, 0, first, !gl.filled, shape.points.size())) return;
    gl.vertices.clear();
    for (const auto& p : shape.points) gl.vertices.push_back(vertexAt(p[0] * scale, p[1] * scale, p[2] * scale, &p[3]));
    if (!outOfSight(gl.vertices.data(), gl.vertices.size())) {
        handOn(gl.vertices.data(), gl.vertices.size());
        gl.backsHidden = hidesBacks(shape, scale);
        const std::uint16_t* corners = shape.corners.data();
        const std::uint8_t* repeated = shape.repeated.data();
        for (const std::uint16_t size : shape.sizes) {
            polygon(corners, size, repeated);
            corners += size;
            repeated += size;
        }
        gl.backsHidden = false;
    }
    drawnAnew();
}

}  // namespace web
