#include "geometry/RouteChunks.h"

#include "geometry/DirectionMarks.h"

#include <algorithm>
#include <cmath>

namespace {

// The affine map from glyph coordinates to clip coordinates, read back from
// the projection: clip(p) = origin + p.x ex + p.y ey + p.z ez.
struct ClipMap {
    ClipPoint origin, ex, ey, ez;

    explicit ClipMap(const GlyphProjection& projection)
        : origin(projection.clip({0, 0, 0})), ex(less(projection.clip({1, 0, 0}), origin)),
          ey(less(projection.clip({0, 1, 0}), origin)),
          ez(less(projection.clip({0, 0, 1}), origin)) {}

    static ClipPoint less(const ClipPoint& a, const ClipPoint& b) {
        return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w};
    }
};

// One side of the clip volume as a function of glyph coordinates that is
// negative outside: a x + b y + c z + d, from a combination of the clip
// coordinates (kx x + ky y + kz z + kw w).
struct Plane {
    double a, b, c, d, norm;

    Plane(const ClipMap& map, double kx, double ky, double kz, double kw) {
        auto combined = [&](const ClipPoint& p) {
            return kx * p.x + ky * p.y + kz * p.z + kw * p.w;
        };
        a = combined(map.ex);
        b = combined(map.ey);
        c = combined(map.ez);
        d = combined(map.origin);
        norm = std::sqrt(a * a + b * b + c * c);
    }
};

} // namespace

void RouteChunks::build(const Point3* points, int count) {
    chunks.clear();
    source = points;
    pointCount = count;
    if (!points || count <= 0)
        return;
    chunks.reserve(std::size_t(count + chunkPoints - 1) / chunkPoints);
    for (int first = 0; first < count; first += chunkPoints) {
        const int last = std::min(first + chunkPoints, count - 1);
        double low[3] = {points[first].x, points[first].y, points[first].z};
        double high[3] = {low[0], low[1], low[2]};
        for (int k = first + 1; k <= last; ++k) {
            const double p[3] = {points[k].x, points[k].y, points[k].z};
            for (int i = 0; i < 3; ++i) {
                low[i] = std::min(low[i], p[i]);
                high[i] = std::max(high[i], p[i]);
            }
        }
        // The sphere round the box, read in one pass: a little larger than the
        // smallest, which a second pass over the points would give.
        const double dx = high[0] - low[0], dy = high[1] - low[1], dz = high[2] - low[2];
        const double radius = std::sqrt(dx * dx + dy * dy + dz * dz) / 2;
        // A little over, for the rounding of floats to doubles and back.
        chunks.push_back({(low[0] + high[0]) / 2, (low[1] + high[1]) / 2, (low[2] + high[2]) / 2,
                          radius * (1 + 1e-9) + 1e-9});
    }
}

void RouteChunks::clear() {
    chunks.clear();
    source = nullptr;
    pointCount = 0;
}

std::vector<PointRun> RouteChunks::runsInView(const GlyphProjection& projection,
                                              double margin) const {
    const ClipMap map(projection);
    const double wide = 1 + margin;
    const Plane planes[6] = {Plane(map, 1, 0, 0, wide), Plane(map, -1, 0, 0, wide),
                             Plane(map, 0, 1, 0, wide), Plane(map, 0, -1, 0, wide),
                             Plane(map, 0, 0, 1, 1),    Plane(map, 0, 0, -1, 1)};
    std::vector<PointRun> runs;
    bool joined = false; // the last run ends with the chunk before this one
    for (std::size_t k = 0; k < chunks.size(); ++k) {
        const Sphere& s = chunks[k];
        bool inside = true;
        for (const Plane& plane : planes)
            if (plane.a * s.x + plane.b * s.y + plane.c * s.z + plane.d < -s.radius * plane.norm) {
                inside = false;
                break;
            }
        // NaN bounds compare false everywhere and so stay in: GL decides for them.
        if (!inside) {
            joined = false;
            continue;
        }
        const int first = static_cast<int>(k) * chunkPoints;
        const int end = std::min(first + chunkPoints, pointCount); // its own points
        const int lineEnd = std::min(end + 1, pointCount);         // and the next chunk's first
        if (joined) {
            runs.back().lineCount = lineEnd - runs.back().first;
            runs.back().dotCount = end - runs.back().first;
        } else {
            runs.push_back({first, lineEnd - first, end - first});
        }
        joined = true;
    }
    return runs;
}

int RouteChunks::nearestPoint(const GlyphProjection& projection, double side, CellPosition at,
                              double within) const {
    // The chunks that may hold a point near `at` are those in view of a
    // picture magnified so that it spans the square of `within` round `at`.
    GlyphProjection near = projection;
    const double factor = side / (2 * within);
    const double ax = 2 * at.x / side - 1, ay = 1 - 2 * at.y / side;
    near.magnify(factor, -ax * factor, -ay * factor);
    int nearest = -1;
    double best = within;
    for (const PointRun& run : runsInView(near, 0)) {
        const int found =
            ::nearestPoint(source + run.first, run.lineCount, projection, side, at, within);
        if (found < 0)
            continue;
        const ClipPoint clip = projection.clip(source[run.first + found]);
        const CellPosition p = GlyphProjection::inCell(clip, side);
        const double distance = std::hypot(p.x - at.x, p.y - at.y);
        if (distance < best || (nearest < 0 && distance <= best)) {
            best = distance;
            nearest = run.first + found;
        }
    }
    return nearest;
}
