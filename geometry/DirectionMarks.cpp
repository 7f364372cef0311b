#include "geometry/DirectionMarks.h"

#include <algorithm>
#include <cmath>

namespace {

struct Segment {
    CellPosition from;
    CellPosition to;
    double length;
};

// The path's visible pieces on the screen, in order, without those of no length.
std::vector<Segment> screenSegments(const Point3* points, int count,
                                    const GlyphProjection& projection, double side) {
    std::vector<Segment> segments;
    bool previousShown = false;
    CellPosition previous{0, 0};
    for (int k = 0; k < count; ++k) {
        const ClipPoint clip = projection.clip(points[k]);
        const bool shown = GlyphProjection::insideDepthRange(clip);
        const CellPosition here = shown ? GlyphProjection::inCell(clip, side) : previous;
        if (shown && previousShown) {
            const double length = std::hypot(here.x - previous.x, here.y - previous.y);
            if (length > 0)
                segments.push_back({previous, here, length});
        }
        previous = here;
        previousShown = shown;
    }
    return segments;
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
    DirectionMarks marks;
    marks.ringRadius = directionRingRadius * scale;
    if (count <= 0)
        return marks;
    const ClipPoint first = projection.clip(points[0]);
    if (GlyphProjection::insideDepthRange(first)) {
        marks.hasStart = true;
        marks.start = GlyphProjection::inCell(first, side);
    }

    const std::vector<Segment> segments = screenSegments(points, count, projection, side);
    double total = 0;
    for (const Segment& segment : segments)
        total += segment.length;
    if (!(total > 0) || !std::isfinite(total))
        return marks;
    // Even steps of the length, one arrow in the middle of each: at least one.
    const int arrows = std::max(1, static_cast<int>(total / (directionArrowSpacing * scale)));
    const double step = total / arrows;
    double before = 0; // length of the segments already passed
    std::size_t s = 0;
    for (int a = 0; a < arrows; ++a) {
        const double at = step * (a + 0.5);
        while (s + 1 < segments.size() && before + segments[s].length < at)
            before += segments[s++].length;
        marks.arrows.push_back(
            arrowAt(segments[s], std::min(at - before, segments[s].length), scale));
    }
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
