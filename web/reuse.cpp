// Frame after frame the program draws the same things in the same order,
// and while the wheel turns only the wheel's drawings change. Each drawing
// is kept with all that went into it; where the last frame's drawing in the
// same place had the same inputs, its vertices and indices are taken as
// they were, and page.js uploads only the parts of a batch that differ.

#include "web/state.h"

#include <algorithm>
#include <cstring>

namespace web {
namespace {

// A frame that never clears the depth buffer is cut into parts this large.
constexpr std::size_t mostKept = 4 * mostHanded;

template <typename T> bool sameBits(const T& a, const T& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool samePoints(const Drawn& now, const Drawn& before)
{
    const std::size_t count = now.pointsTo - now.pointsFrom;
    return before.pointsTo - before.pointsFrom == count &&
           std::memcmp(gl.frame.points.data() + now.pointsFrom, gl.lastFrame.points.data() + before.pointsFrom,
                       count * sizeof(Point)) == 0;
}

bool sameInputs(const Drawn& now, const Drawn& before)
{
    return now.shape == before.shape && sameBits(now.scale, before.scale) && now.primitive == before.primitive &&
           now.first == before.first && now.filled == before.filled && now.lighting == before.lighting &&
           now.twoSide == before.twoSide && sameBits(now.modelView, before.modelView) &&
           sameBits(now.projection, before.projection) && now.materials == before.materials &&
           samePoints(now, before);
}

void widen(std::array<std::size_t, 2>& range, std::size_t from, std::size_t to)
{
    range = {std::min(range[0], from), std::max(range[1], to)};
}

// What page.js holds of this batch differs from what the drawing handed on.
void changed(const Drawn& d)
{
    widen(gl.changed, d.handedAt, d.handedAt + (d.handedTo - d.handedFrom));
    widen(gl.indicesChanged, d.indicesAt, d.indicesAt + (d.indicesTo - d.indicesFrom));
}

// Hands on again what the last frame's drawing `before` handed on.
void handAgain(Drawn& now, const Drawn& before)
{
    now.seen = true;
    Frame& f = gl.frame;
    const Frame& last = gl.lastFrame;
    now.batch = gl.batches;
    now.handedFrom = static_cast<std::uint32_t>(f.handed.size());
    now.indicesFrom = static_cast<std::uint32_t>(f.indices.size());
    now.handedAt = static_cast<std::uint32_t>(now.handedFrom - gl.batchStart);
    now.indicesAt = static_cast<std::uint32_t>(now.indicesFrom - gl.indicesStart);
    f.handed.insert(f.handed.end(), last.handed.begin() + before.handedFrom, last.handed.begin() + before.handedTo);
    // Its indices count from the first vertex of its batch, which may have
    // moved.
    const auto shift = static_cast<std::uint16_t>(now.handedAt - before.handedAt);
    f.indices.insert(f.indices.end(), last.indices.begin() + before.indicesFrom, last.indices.begin() + before.indicesTo);
    if (shift != 0)
        for (auto i = f.indices.begin() + now.indicesFrom; i != f.indices.end(); ++i)
            *i = static_cast<std::uint16_t>(*i + shift);
    now.handedTo = static_cast<std::uint32_t>(f.handed.size());
    now.indicesTo = static_cast<std::uint32_t>(f.indices.size());
    if (now.batch != before.batch || now.handedAt != before.handedAt || now.indicesAt != before.indicesAt)
        changed(now);
}

}  // namespace

void startFrame()
{
    std::swap(gl.frame, gl.lastFrame);
    Frame& f = gl.frame;
    f.handed.clear(), f.indices.clear(), f.drawn.clear(), f.points.clear();
    gl.batchStart = gl.indicesStart = 0;
    gl.batches = 0;
}

void roomForDrawing()
{
    const Frame& f = gl.frame;
    if (f.handed.size() >= mostKept || f.points.size() >= mostKept || f.drawn.size() >= mostKept) {
        flush();
        startFrame();
    }
}

bool drawnAsBefore(const Shape* shape, float scale, GLenum primitive, int first, bool lines, std::size_t count)
{
    makeRoom(lines, count);
    takeMaterialsAndLights();
    Frame& f = gl.frame;
    const auto pointsFrom = static_cast<std::uint32_t>(shape ? f.points.size() : gl.pointsFrom);
    f.drawn.push_back({shape, scale, primitive, first, gl.filled, gl.lighting, gl.twoSide, gl.materialAt, pointsFrom,
                       static_cast<std::uint32_t>(f.points.size()), gl.modelView.back(), gl.projection.back(),
                       false, 0, 0, 0, 0, 0, 0, 0});
    Drawn& now = f.drawn.back();
    const std::size_t place = f.drawn.size() - 1;
    if (place >= gl.lastFrame.drawn.size() || !sameInputs(now, gl.lastFrame.drawn[place])) return false;
    const Drawn& before = gl.lastFrame.drawn[place];
    if (before.seen) handAgain(now, before);
    return true;
}

void drawnAnew()
{
    Drawn& d = gl.frame.drawn.back();
    if (!d.seen) return;
    d.handedTo = static_cast<std::uint32_t>(gl.frame.handed.size());
    d.indicesTo = static_cast<std::uint32_t>(gl.frame.indices.size());
    changed(d);
}

}  // namespace web
