#include "trackball/Trackball.h"

#include <algorithm>
#include <cmath>

int composeCount = 0;

namespace {

constexpr double sphereLimitFactor = 0.7071067811865476; // 1/√2
constexpr double sheetDivisor = 1.4142135623730951;      // √2
constexpr double chordDivisor = 1.6;                     // twice the radius
constexpr int renormaliseAfter = 97;
// Lengths outside this range are handled in double precision, where they can't overflow.
constexpr double safeLengthLow = 1e-30;
constexpr double safeLengthHigh = 1e30;

} // namespace

void normalise3(float v[3]) {
    double x = v[0], y = v[1], z = v[2];
    const double exact = std::sqrt(x * x + y * y + z * z);
    float length = static_cast<float>(exact);
    if (!(exact > 0))
        return;
    if (exact < safeLengthLow || exact > safeLengthHigh) {
        // The float length or its inverse would overflow or lose precision: divide in double.
        for (int i = 0; i < 3; ++i)
            v[i] = static_cast<float>(v[i] / exact);
        return;
    }
    float inverse = static_cast<float>(1.0 / length);
    v[0] = static_cast<float>(double(v[0]) * inverse);
    v[1] = static_cast<float>(double(v[1]) * inverse);
    v[2] = static_cast<float>(double(v[2]) * inverse);
}

void rotationFromAxisAngle(float axis[3], float angle, float q[4]) {
    normalise3(axis);
    if (axis[0] == 0 && axis[1] == 0 && axis[2] == 0) {
        q[0] = q[1] = q[2] = 0;
        q[3] = 1;
        return;
    }
    double half = double(angle) * 0.5;
    float s = static_cast<float>(std::sin(half));
    q[0] = static_cast<float>(double(axis[0]) * s);
    q[1] = static_cast<float>(double(axis[1]) * s);
    q[2] = static_cast<float>(double(axis[2]) * s);
    q[3] = static_cast<float>(std::cos(half));
}

float sphereHeight(float radius, float x, float y) {
    double r = radius;
    float d = static_cast<float>(std::sqrt(double(x) * x + double(y) * y));
    if (r * sphereLimitFactor > d)
        return static_cast<float>(std::sqrt(r * r - double(d) * d));
    float t = static_cast<float>(r / sheetDivisor);
    return static_cast<float>(double(t) * t / d);
}

void rotationMatrix(float m[16], const float q[4]) {
    double x = q[0], y = q[1], z = q[2], w = q[3];
    auto f = [](double v) { return static_cast<float>(v); };
    m[0] = f(1 - 2 * (y * y + z * z));
    m[1] = f(2 * (x * y - w * z));
    m[2] = f(2 * (x * z + y * w));
    m[3] = 0;
    m[4] = f(2 * (x * y + w * z));
    m[5] = f(1 - 2 * (x * x + z * z));
    m[6] = f(2 * (y * z - x * w));
    m[7] = 0;
    m[8] = f(2 * (x * z - y * w));
    m[9] = f(2 * (y * z + x * w));
    m[10] = f(1 - 2 * (x * x + y * y));
    m[11] = 0;
    m[12] = 0;
    m[13] = 0;
    m[14] = 0;
    m[15] = 1;
}

void dragRotation(float q[4], float p1x, float p1y, float p2x, float p2y) {
    if (p1x == p2x && p1y == p2y) {
        q[0] = q[1] = q[2] = 0;
        q[3] = 1;
        return;
    }
    double x1 = p1x, y1 = p1y, x2 = p2x, y2 = p2y;
    double z1 = sphereHeight(trackballRadius, p1x, p1y);
    double z2 = sphereHeight(trackballRadius, p2x, p2y);

    double cross[3] = {y2 * z1 - z2 * y1, z2 * x1 - x2 * z1, x2 * y1 - y2 * x1};
    const double largest =
        std::max({std::fabs(cross[0]), std::fabs(cross[1]), std::fabs(cross[2])});
    if (largest > safeLengthHigh || (largest > 0 && largest < safeLengthLow)) {
        // Far-out or nearly equal positions: keep the direction, which is all the axis
        // gives, well within float range.
        for (double& c : cross)
            c /= largest;
    }
    float axis[3] = {static_cast<float>(cross[0]), static_cast<float>(cross[1]),
                     static_cast<float>(cross[2])};

    double dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
    float chord = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    float t = static_cast<float>(chord / chordDivisor);
    if (t > 1)
        t = 1;
    else if (t < -1)
        t = -1;
    float halfAngle = static_cast<float>(std::asin(double(t)));
    float angle = static_cast<float>(2.0 * halfAngle);
    rotationFromAxisAngle(axis, angle, q);
}

void composeRotations(const float q1[4], const float q2[4], float dest[4]) {
    double ax = q1[0], ay = q1[1], az = q1[2], aw = q1[3];
    double bx = q2[0], by = q2[1], bz = q2[2], bw = q2[3];
    dest[0] = static_cast<float>(ax * bw + bx * aw + (by * az - bz * ay));
    dest[1] = static_cast<float>(ay * bw + by * aw + (bz * ax - bx * az));
    dest[2] = static_cast<float>(az * bw + bz * aw + (bx * ay - by * ax));
    dest[3] = static_cast<float>(aw * bw - (ax * bx + ay * by + az * bz));

    if (++composeCount > renormaliseAfter) {
        composeCount = 0;
        // Divide by the length, not its square, so the result has unit length.
        double x = dest[0], y = dest[1], z = dest[2], w = dest[3];
        float length = static_cast<float>(std::sqrt(x * x + y * y + z * z + w * w));
        if (length > 0) {
            for (int i = 0; i < 4; ++i)
                dest[i] = static_cast<float>(dest[i] / double(length));
        }
    }
}
