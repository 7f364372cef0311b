#pragma once

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
