#pragma once

#include <algorithm>
#include <cmath>

// One glyph point in glyph-file units, stored packed in the file as three
// little-endian IEEE 754 single-precision floats.
struct Point3 {
    float x;
    float y;
    float z;
};

static_assert(sizeof(Point3) == 12, "Point3 must match the 12-byte file layout");

// The straight distance between two points, in double precision.
inline double distance(const Point3& a, const Point3& b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, dz = double(b.z) - a.z;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

// The distance from `p` to the segment from `a` to `b`, in double precision.
inline double segmentDistance(const Point3& p, const Point3& a, const Point3& b) {
    const double ux = double(b.x) - a.x, uy = double(b.y) - a.y, uz = double(b.z) - a.z;
    const double wx = double(p.x) - a.x, wy = double(p.y) - a.y, wz = double(p.z) - a.z;
    const double length = ux * ux + uy * uy + uz * uz;
    const double t = length > 0 ? std::clamp((wx * ux + wy * uy + wz * uz) / length, 0.0, 1.0) : 0;
    return std::hypot(wx - t * ux, wy - t * uy, wz - t * uz);
}
