#include "import/pen/svg/SvgShapes.h"

#include <cmath>

namespace {

// The handle of a cubic that stands for a quarter of a circle of radius 1.
const double quarterHandle = 4.0 / 3.0 * std::tan(M_PI / 8);

// Adds `segment` to the last subpath, unless it goes nowhere.
bool add(SvgOutline& outline, const SvgSegment& segment, std::size_t& budget) {
    SvgSubpath& path = outline.back();
    const double x = path.segments.empty() ? path.x0 : path.segments.back().x;
    const double y = path.segments.empty() ? path.y0 : path.segments.back().y;
    if (!segment.cubic && segment.x == x && segment.y == y)
        return true;
    if (budget == 0)
        return false;
    --budget;
    path.segments.push_back(segment);
    return true;
}

// The quarter arc of the ellipse around (cx, cy) from `quarter` x 90 degrees
// on; the cosines and sines of right angles are exact, so arcs meet exactly.
SvgSegment quarterArc(double cx, double cy, double rx, double ry, int quarter) {
    const double cosines[5] = {1, 0, -1, 0, 1}, sines[5] = {0, 1, 0, -1, 0};
    const double ca = cosines[quarter], sa = sines[quarter];
    const double cb = cosines[quarter + 1], sb = sines[quarter + 1];
    const double k = quarterHandle;
    return {true,
            cx + rx * (ca - k * sa),
            cy + ry * (sa + k * ca),
            cx + rx * (cb + k * sb),
            cy + ry * (sb - k * cb),
            cx + rx * cb,
            cy + ry * sb};
}

bool start(SvgOutline& outline, double x, double y, std::size_t& budget) {
    if (budget == 0)
        return false;
    --budget;
    outline.push_back({x, y, {}});
    return true;
}

} // namespace

bool appendEllipse(SvgOutline& outline, double cx, double cy, double rx, double ry,
                   std::size_t& budget) {
    if (!start(outline, cx + rx, cy, budget))
        return false;
    for (int quarter = 0; quarter < 4; ++quarter) {
        if (!add(outline, quarterArc(cx, cy, rx, ry, quarter), budget))
            return false;
    }
    return true;
}

bool appendRect(SvgOutline& outline, double x, double y, double width, double height, double rx,
                double ry, std::size_t& budget) {
    const double right = x + width, bottom = y + height;
    const bool round = rx > 0 && ry > 0;
    const auto line = [&](double px, double py) {
        return add(outline, {false, 0, 0, 0, 0, px, py}, budget);
    };
    // The corner arcs run round the ellipses at the rectangle's corners, a quarter each.
    const auto corner = [&](double cx, double cy, int quarter) {
        return !round || add(outline, quarterArc(cx, cy, rx, ry, quarter), budget);
    };
    if (!round)
        rx = ry = 0;
    return start(outline, x + rx, y, budget) && line(right - rx, y) &&
           corner(right - rx, y + ry, 3) && line(right, bottom - ry) &&
           corner(right - rx, bottom - ry, 0) && line(x + rx, bottom) &&
           corner(x + rx, bottom - ry, 1) && line(x, y + ry) && corner(x + rx, y + ry, 2);
}
