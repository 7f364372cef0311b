#include "geometry/DirectionMarks.h"

#include <algorithm>
#include <cmath>

namespace {

struct Segment {
    CellPosition from;
    CellPosition to;
    double length;
};

// Calls `visit` with the path's visible pieces on the screen, in order,
// without those of no length: the lines of each run, none between runs.
template <class Visit>
void forEachScreenSegment(const Point3* points, const std::vector<PointRun>& runs,
                          const GlyphProjection& projection, double side, Visit visit) {
    for (const PointRun& run : runs) {
        bool previousShown = false;
        CellPosition previous{0, 0};
        for (int k = run.first; k < run.first + run.lineCount; ++k) {
            const ClipPoint clip = projection.clip(points[k]);
            const bool shown = GlyphProjection::insideDepthRange(clip);
            const CellPosition here = shown ? GlyphProjection::inCell(clip, side) : previous;
            if (shown && previousShown) {
                const double length = std::hypot(here.x - previous.x, here.y - previous.y);
                if (length > 0)
                    visit(Segment{previous, here, length});
            }
            previous = here;
            previousShown = shown;
        }
    }
}

DirectionArrow arrowAt(const Segment& segment, double along, double scale) {
    const double dx = (segment.to.x - segment.from.x) / segment.length;
    const double dy = (segment.to.y - segment.from.y) / segment.length;
    const double cx = segment.from.x + dx * along, cy = segment.from.y + dy * along;
    const double half = directionArrowLength * scale / 2;
    const double width = directionArrowHalfWidth * scale;
    const double bx = cx - dx * half, by = cy - dy * half;
    return {{cx + dx * half, cy + dy * half},
            {bx - dy * width, by + dx * width},
            {bx + dy * width, by - dx * width}};
}

} // namespace

DirectionMarks directionMarks(const Point3* points, int count, const GlyphProjection& projection,
                              double side) {
    return directionMarks(points, count, projection, side, side / 100);
}

DirectionMarks directionMarks(const Point3* points, int count, const GlyphProjection& projection,
                              double side, double scale) {
    return directionMarks(points, count, {PointRun{0, count, count}}, projection, side, scale);
}

namespace {

// Places arrows at even steps of a known total length over segments handed
// in order, holding one segment back: the last segment takes whatever
// arrows the rounding of the steps leaves.
class ArrowPlacer {
public:
    ArrowPlacer(std::vector<DirectionArrow>& arrows, int count, double step, double scale)
        : arrows(arrows), count(count), step(step), scale(scale) {}

    void add(const Segment& segment) {
        if (holding)
            place(false);
        held = segment;
        holding = true;
    }
    void finish() {
        if (holding)
            place(true);
    }

private:
    void place(bool last) {
        while (placed < count) {
            const double at = step * (placed + 0.5);
            if (!last && before + held.length < at) {
                before += held.length;
                return;
            }
            arrows.push_back(arrowAt(held, std::min(at - before, held.length), scale));
            ++placed;
        }
    }

    std::vector<DirectionArrow>& arrows;
    const int count;
    const double step;
    const double scale;
    int placed = 0;
    double before = 0; // length of the segments already passed
    Segment held{};
    bool holding = false;
};

} // namespace

DirectionMarks directionMarks(const Point3* points, int count, const std::vector<PointRun>& runs,
                              const GlyphProjection& projection, double side, double scale) {
    DirectionMarks marks;
    marks.ringRadius = directionRingRadius * scale;
    if (count <= 0)
        return marks;
    const ClipPoint first = projection.clip(points[0]);
    if (GlyphProjection::insideDepthRange(first)) {
        marks.hasStart = true;
        marks.start = GlyphProjection::inCell(first, side);
    }

    double total = 0;
    forEachScreenSegment(points, runs, projection, side,
                         [&](const Segment& segment) { total += segment.length; });
    if (!(total > 0) || !std::isfinite(total))
        return marks;
    // Even steps of the length, one arrow in the middle of each: at least one,
    // and no more than could ever be told apart (a point by the eye can throw
    // a line far off the screen).
    const int arrows = static_cast<int>(
        std::clamp(total / (directionArrowSpacing * scale), 1.0, double(directionArrowsAtMost)));
    marks.arrows.reserve(std::size_t(arrows));
    ArrowPlacer placer(marks.arrows, arrows, total / arrows, scale);
    forEachScreenSegment(points, runs, projection, side,
                         [&](const Segment& segment) { placer.add(segment); });
    placer.finish();
    return marks;
}

int nearestPoint(const Point3* points, int count, const GlyphProjection& projection, double side,
                 CellPosition at, double within) {
    int nearest = -1;
    double best = within;
    for (int k = 0; k < count; ++k) {
        const ClipPoint clip = projection.clip(points[k]);
        if (!GlyphProjection::insideDepthRange(clip))
            continue;
        const CellPosition p = GlyphProjection::inCell(clip, side);
        const double distance = std::hypot(p.x - at.x, p.y - at.y);
        if (distance < best || (nearest < 0 && distance <= best)) {
            best = distance;
            nearest = k;
        }
    }
    return nearest;
}
