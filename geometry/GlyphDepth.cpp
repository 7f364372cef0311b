#include "geometry/GlyphDepth.h"

#include "geometry/GlyphCamera.h"

#include <algorithm>
#include <cmath>

GlyphDepth glyphDepth(const Point3* points, int count) {
    GlyphDepth depth;
    const GlyphCamera camera = placeGlyphCamera(points, count);
    if (!camera.visible && camera.problem != GlyphProblem::OutsideDepthRange)
        return depth;
    const Point3& g = camera.centroid;
    if (!camera.visible) {
        double largest = 0;
        for (int k = 0; k < count; ++k)
            largest =
                std::max(largest, std::hypot(double(points[k].x) - g.x, double(points[k].y) - g.y,
                                             double(points[k].z) - g.z));
        depth = {true, (glyphEyeDistanceFactor - 1) * largest,
                 (glyphEyeDistanceFactor + 1) * largest};
        return depth;
    }
    const double eye = std::hypot(double(camera.eye.x), double(camera.eye.y), double(camera.eye.z));
    if (!(eye > 0))
        return depth;
    const double ax = camera.eye.x / eye, ay = camera.eye.y / eye, az = camera.eye.z / eye;
    depth = {true, INFINITY, -INFINITY};
    for (int k = 0; k < count; ++k) {
        const double d =
            eye - ((double(points[k].x) - g.x) * ax + (double(points[k].y) - g.y) * ay +
                   (double(points[k].z) - g.z) * az);
        depth.nearest = std::min(depth.nearest, d);
        depth.farthest = std::max(depth.farthest, d);
    }
    return depth;
}

bool withinDepthRange(const GlyphDepth& depth) {
    return !depth.known || (depth.nearest >= glyphNearPlane && depth.farthest <= glyphFarPlane);
}

void ScaleRange::fit(const GlyphDepth& depth) {
    if (!depth.known || !(depth.nearest > 0))
        return;
    low = std::max(low, glyphNearPlane / depth.nearest);
    high = std::min(high, glyphFarPlane / depth.farthest);
}

double roundScale(const ScaleRange& range) {
    double best = 0;
    for (int power = -30; power <= 30; ++power) {
        const double factor = std::pow(10.0, power);
        if (factor >= range.low && factor <= range.high &&
            (best == 0 || std::fabs(power) < std::fabs(std::log10(best))))
            best = factor;
    }
    return best;
}
