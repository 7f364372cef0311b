#include "view/GlyphCamera.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr float eyeDistanceFactor = 2.1f;
// The camera's depth range; the view's perspective projection uses the same planes.
constexpr double nearPlane = 0.1;
constexpr double farPlane = 5000;
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

// The unit vector from p towards the centroid g, for p at `dist` from g. The
// quotients are taken in float: a quotient of two floats worked out in double
// and rounded to float is the same value, since double carries more than twice
// the digits of float.
Point3 unitTowards(const Point3& g, const Point3& p, float dist) {
    const Point3 v = difference(g, p);
    return {v.x / dist, v.y / dist, v.z / dist};
}

// The distance of p from the centroid g; `cosine` is |u . r|, for u the unit
// vector from p towards g and r the reference direction.
float directionTowards(const Point3& g, const Point3& p, const Point3& r, float& cosine) {
    const float dist = length(difference(g, p));
    cosine = absDot(unitTowards(g, p, dist), r);
    return dist;
}

// directionTowards for `count` points in a row: distances[j] and cosines[j]
// for points[j].
void directionsTowards(const Point3& g, const Point3* points, int count, const Point3& r,
                       float* distances, float* cosines) {
    int j = 0;
#if defined(__SSE2__)
    // Four points at a time, with the same operations in the same order as
    // directionTowards, each correctly rounded as there: the same values.
    const __m128 gx = _mm_set1_ps(g.x), gy = _mm_set1_ps(g.y), gz = _mm_set1_ps(g.z);
    const __m128d rx = _mm_set1_pd(r.x), ry = _mm_set1_pd(r.y), rz = _mm_set1_pd(r.z);
    const __m128d sign = _mm_set1_pd(-0.0);
    // The doubles of the low and of the high two lanes.
    auto low = [](__m128 v) { return _mm_cvtps_pd(v); };
    auto high = [](__m128 v) { return _mm_cvtps_pd(_mm_movehl_ps(v, v)); };
    auto floats = [](__m128d lo, __m128d hi) {
        return _mm_movelh_ps(_mm_cvtpd_ps(lo), _mm_cvtpd_ps(hi));
    };
    auto lengthOf = [](__m128d x, __m128d y, __m128d z) {
        return _mm_sqrt_pd(
            _mm_add_pd(_mm_add_pd(_mm_mul_pd(x, x), _mm_mul_pd(y, y)), _mm_mul_pd(z, z)));
    };
    for (; j + 4 <= count; j += 4) {
        // Twelve floats, x0 y0 z0 x1 | y1 z1 x2 y2 | z2 x3 y3 z3, sorted into x, y and z.
        const float* f = &points[j].x;
        const __m128 a = _mm_loadu_ps(f), b = _mm_loadu_ps(f + 4), c = _mm_loadu_ps(f + 8);
        const __m128 bc = _mm_shuffle_ps(b, c, _MM_SHUFFLE(1, 0, 3, 2));
        const __m128 x = _mm_shuffle_ps(a, bc, _MM_SHUFFLE(3, 0, 3, 0));
        const __m128 y =
            _mm_shuffle_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(0, 0, 2, 1)),
                           _mm_shuffle_ps(b, c, _MM_SHUFFLE(2, 2, 3, 3)), _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 z =
            _mm_shuffle_ps(_mm_shuffle_ps(a, b, _MM_SHUFFLE(1, 1, 2, 2)),
                           _mm_shuffle_ps(c, c, _MM_SHUFFLE(3, 3, 0, 0)), _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 vx = _mm_sub_ps(gx, x), vy = _mm_sub_ps(gy, y), vz = _mm_sub_ps(gz, z);
        const __m128 dist =
            floats(lengthOf(low(vx), low(vy), low(vz)), lengthOf(high(vx), high(vy), high(vz)));
        const __m128 ux = _mm_div_ps(vx, dist), uy = _mm_div_ps(vy, dist),
                     uz = _mm_div_ps(vz, dist);
        auto absDotOf = [&](__m128d x2, __m128d y2, __m128d z2) {
            const __m128d dot =
                _mm_add_pd(_mm_add_pd(_mm_mul_pd(x2, rx), _mm_mul_pd(y2, ry)), _mm_mul_pd(z2, rz));
            return _mm_andnot_pd(sign, dot);
        };
        _mm_storeu_ps(distances + j, dist);
        _mm_storeu_ps(cosines + j, floats(absDotOf(low(ux), low(uy), low(uz)),
                                          absDotOf(high(ux), high(uy), high(uz))));
    }
#endif
    for (; j < count; ++j)
        distances[j] = directionTowards(g, points[j], r, cosines[j]);
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

    // The per-point work runs over a block of points at a time, apart from the
    // choices that depend on the points before, so that the square roots and
    // divisions of neighbouring points overlap. Each point of a smaller cosine
    // would set the view axis anew, so only the last of them, the first point
    // of the smallest cosine, needs it worked out.
    constexpr int blockSize = 64;
    float distances[blockSize];
    float cosines[blockSize];
    float largest = 0;
    float smallestCosine = 10;
    int across = -1;
    for (int start = 0; start < n; start += blockSize) {
        const int count = std::min(blockSize, n - start);
        directionsTowards(g, points + start, count, reference, distances, cosines);
        for (int j = 0; j < count; ++j) {
            const float dist = distances[j];
            if (!(dist > 0))
                continue; // a point on the centroid has no direction
            if (largest < dist)
                largest = dist;
            if (cosines[j] < smallestCosine) {
                smallestCosine = cosines[j];
                across = start + j;
            }
        }
    }
    bool axisFixed = false;
    if (across >= 0) {
        const Point3& p = points[across];
        const Point3 u = unitTowards(g, p, length(difference(g, p)));
        Point3 normal = cross(reference, u);
        float normalLength = length(normal);
        axisFixed = normalLength > 0;
        axis = axisFixed ? divided(normal, normalLength) : normal;
    }
    if (!axisFixed) {
        camera.problem = GlyphProblem::AllOnOneLine;
        axis = axisAcrossLine(reference);
    }

    float eyeDistance = largest * eyeDistanceFactor;
    if (!std::isfinite(eyeDistance) || !(largest > 0)) {
        camera.visible = false;
        camera.problem = GlyphProblem::NonFinite;
        return camera;
    }
    // Seen from 2.1 d, every point lies between 1.1 d and 3.1 d from the eye. A glyph
    // wholly outside the depth range would show nothing, so no degenerate matrix is built for it.
    if (3.1 * largest < nearPlane || 1.1 * largest > farPlane) {
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
