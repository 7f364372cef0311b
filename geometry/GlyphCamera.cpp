#include "geometry/GlyphCamera.h"

#include <cmath>
#include <initializer_list>

namespace {

// A view axis this close to the up vector would leave the camera without a side direction.
constexpr double verticalAxisTolerance = 1e-6;

bool isFinite(const Point3& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

Point3 difference(const Point3& a, const Point3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

float length(const Point3& v) {
    double x = v.x, y = v.y, z = v.z;
    return static_cast<float>(std::sqrt(x * x + y * y + z * z));
}

Point3 divided(const Point3& v, float divisor) {
    double d = divisor;
    return {static_cast<float>(v.x / d), static_cast<float>(v.y / d), static_cast<float>(v.z / d)};
}

Point3 cross(const Point3& a, const Point3& b) {
    double ax = a.x, ay = a.y, az = a.z, bx = b.x, by = b.y, bz = b.z;
    return {static_cast<float>(ay * bz - az * by), static_cast<float>(az * bx - ax * bz),
            static_cast<float>(ax * by - ay * bx)};
}

float absDot(const Point3& a, const Point3& b) {
    double dot = double(a.x) * b.x + double(a.y) * b.y + double(a.z) * b.z;
    return static_cast<float>(std::fabs(dot));
}

Point3 centroidOf(const Point3* points, int n) {
    Point3 sum = points[0];
    for (int k = 1; k < n; ++k) {
        sum.x += points[k].x;
        sum.y += points[k].y;
        sum.z += points[k].z;
    }
    float inverse = 1.0f / static_cast<float>(n);
    return {sum.x * inverse, sum.y * inverse, sum.z * inverse};
}

// The unit vector from the first point that is not the centroid towards the
// centroid: the reference direction when the middle point sits on the centroid.
bool firstDirection(const Point3* points, int n, const Point3& centroid, Point3& direction) {
    for (int k = 0; k < n; ++k) {
        Point3 v = difference(centroid, points[k]);
        float dist = length(v);
        if (dist > 0) {
            direction = divided(v, dist);
            return true;
        }
    }
    return false;
}

// The unit axis most nearly along +z that is at right angles to a line of direction r.
Point3 axisAcrossLine(const Point3& r) {
    for (Point3 wish : {Point3{0, 0, 1}, Point3{1, 0, 0}}) {
        double along = double(wish.x) * r.x + double(wish.y) * r.y + double(wish.z) * r.z;
        Point3 across{static_cast<float>(wish.x - along * r.x),
                      static_cast<float>(wish.y - along * r.y),
                      static_cast<float>(wish.z - along * r.z)};
        float len = length(across);
        if (len > 1e-3f)
            return divided(across, len);
    }
    return {0, 0, 1};
}

} // namespace

GlyphCamera placeGlyphCamera(const Point3* points, int n) {
    GlyphCamera camera{{0, 0, 0}, {0, 0, 1}, {0, 1, 0}, false, GlyphProblem::None};
    if (n <= 0) {
        camera.problem = GlyphProblem::NoPoints;
        return camera;
    }
    // A NaN or infinite coordinate makes its component of the sum, and so of the
    // centroid, NaN or infinite, as does a sum beyond float range: the one check
    // of the centroid finds both without a pass of its own over the points.
    const Point3 g = centroidOf(points, n);
    if (!isFinite(g)) {
        camera.problem = GlyphProblem::NonFinite;
        return camera;
    }
    camera.centroid = g;
    camera.visible = true;

    const Point3 m = points[n / 2];
    Point3 axis = difference(g, m);
    Point3 reference{0, 0, 0};
    float middleDistance = length(axis);
    if (middleDistance > 0) {
        reference = divided(axis, middleDistance);
    } else if (!firstDirection(points, n, g, reference)) {
        // Every point lies on the centroid: show it as a dot seen from +z.
        camera.problem = n < 2 ? GlyphProblem::SinglePoint : GlyphProblem::AllPointsEqual;
        return camera;
    } else {
        camera.problem = GlyphProblem::MiddleAtCentroid;
    }

    // The point most nearly at right angles to the reference direction fixes the
    // view axis; of several with the smallest cosine the first one counts. A
    // point on the centroid has no direction and adds nothing to the distance.
    float largest = 0;
    float smallestCosine = 10;
    int across = -1;
    for (int k = 0; k < n; ++k) {
        const Point3 v = difference(g, points[k]);
        const float dist = length(v);
        if (!(dist > 0))
            continue;
        const float c = absDot(divided(v, dist), reference);
        if (largest < dist)
            largest = dist;
        if (c < smallestCosine) {
            smallestCosine = c;
            across = k;
        }
    }
    bool axisFixed = false;
    if (across >= 0) {
        const Point3 v = difference(g, points[across]);
        const Point3 u = divided(v, length(v));
        Point3 normal = cross(reference, u);
        float normalLength = length(normal);
        axisFixed = normalLength > 0;
        axis = axisFixed ? divided(normal, normalLength) : normal;
    }
    if (!axisFixed) {
        camera.problem = GlyphProblem::AllOnOneLine;
        axis = axisAcrossLine(reference);
    }

    float eyeDistance = largest * glyphEyeDistanceFactor;
    if (!std::isfinite(eyeDistance) || !(largest > 0)) {
        camera.visible = false;
        camera.problem = GlyphProblem::NonFinite;
        return camera;
    }
    // Seen from 2.1 d, every point lies between 1.1 d and 3.1 d from the eye. A glyph
    // wholly outside the depth range would show nothing, so no degenerate matrix is built for it.
    if (3.1 * largest < glyphNearPlane || 1.1 * largest > glyphFarPlane) {
        camera.visible = false;
        camera.problem = GlyphProblem::OutsideDepthRange;
        return camera;
    }
    camera.eye = {axis.x * eyeDistance, axis.y * eyeDistance, axis.z * eyeDistance};

    if (std::hypot(double(axis.x), double(axis.z)) < verticalAxisTolerance) {
        // Looking straight down (or up) the up vector: take the far side of z as up.
        camera.up = {0, 0, axis.y > 0 ? -1.0f : 1.0f};
        if (camera.problem == GlyphProblem::None)
            camera.problem = GlyphProblem::VerticalViewAxis;
    }
    return camera;
}

const char* glyphProblemText(GlyphProblem problem) {
    switch (problem) {
    case GlyphProblem::None:
        return "none";
    case GlyphProblem::NoPoints:
        return "no points";
    case GlyphProblem::NonFinite:
        return "NaN or infinite coordinates";
    case GlyphProblem::SinglePoint:
        return "fewer than two points";
    case GlyphProblem::AllPointsEqual:
        return "all points equal";
    case GlyphProblem::MiddleAtCentroid:
        return "middle point at the centroid";
    case GlyphProblem::AllOnOneLine:
        return "all points on one line";
    case GlyphProblem::VerticalViewAxis:
        return "view axis along the up vector";
    case GlyphProblem::OutsideDepthRange:
        return "too small or too large for the camera's depth range";
    }
    return "unknown";
}
