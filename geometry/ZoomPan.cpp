#include "geometry/ZoomPan.h"

#include <algorithm>
#include <cmath>

namespace {

// A view position as normalised coordinates, -1 to 1 with y upward, and back.
double normalisedX(double x, double side) {
    return 2 * x / side - 1;
}
double normalisedY(double y, double side) {
    return 1 - 2 * y / side;
}

} // namespace

void ZoomPan::fit() {
    scale = minZoom;
    cx = cy = 0;
}

void ZoomPan::zoomAbout(double factor, CellPosition at, double side) {
    if (!(factor > 0) || !std::isfinite(factor))
        return;
    const double sx = normalisedX(at.x, side), sy = normalisedY(at.y, side);
    // The fitted point under the pointer, before and after: centre + s / zoom.
    const double px = cx + sx / scale, py = cy + sy / scale;
    scale = std::clamp(scale * factor, minZoom, maxZoom);
    cx = px - sx / scale;
    cy = py - sy / scale;
    keepInside();
}

void ZoomPan::zoomByWheel(int delta, CellPosition at, double side) {
    zoomAbout(std::pow(notchFactor, delta / 120.0), at, side);
}

void ZoomPan::panBy(double dx, double dy, double side) {
    cx -= 2 * dx / side / scale;
    cy += 2 * dy / side / scale;
    keepInside();
}

// The view shows the fitted square from centre - 1/zoom to centre + 1/zoom:
// that stays within -1 to 1.
void ZoomPan::keepInside() {
    const double reach = 1 - 1 / scale;
    cx = std::clamp(cx, -reach, reach);
    cy = std::clamp(cy, -reach, reach);
}

CellPosition ZoomPan::shown(CellPosition fitted, double side) const {
    const double sx = (normalisedX(fitted.x, side) - cx) * scale;
    const double sy = (normalisedY(fitted.y, side) - cy) * scale;
    return {(sx + 1) * side / 2, (1 - sy) * side / 2};
}

CellPosition ZoomPan::fittedAt(CellPosition at, double side) const {
    const double fx = cx + normalisedX(at.x, side) / scale;
    const double fy = cy + normalisedY(at.y, side) / scale;
    return {(fx + 1) * side / 2, (1 - fy) * side / 2};
}

GlyphProjection ZoomPan::applied(const GlyphProjection& projection) const {
    GlyphProjection zoomed = projection;
    zoomed.magnify(scale, -cx * scale, -cy * scale);
    return zoomed;
}
