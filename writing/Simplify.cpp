#include "writing/Simplify.h"

#include <cmath>
#include <utility>

namespace {

// The distance from p to the segment a-b.
double segmentDistance(const RoutePoint& p, const RoutePoint& a, const RoutePoint& b) {
    const double dx = b.x - a.x, dy = b.y - a.y, dz = b.z - a.z;
    const double px = p.x - a.x, py = p.y - a.y, pz = p.z - a.z;
    const double length = dx * dx + dy * dy + dz * dz;
    double t = length > 0 ? (px * dx + py * dy + pz * dz) / length : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    const double ex = px - t * dx, ey = py - t * dy, ez = pz - t * dz;
    return std::sqrt(ex * ex + ey * ey + ez * ez);
}

} // namespace

void simplifyStretch(const std::vector<RoutePoint>& points, std::size_t first, std::size_t last,
                     double tolerance, std::vector<char>& keep) {
    // Spans still to split, on a stack rather than by recursion: a stretch may be long.
    std::vector<std::pair<std::size_t, std::size_t>> spans{{first, last}};
    while (!spans.empty()) {
        const auto [a, b] = spans.back();
        spans.pop_back();
        double farthest = -1;
        std::size_t at = a;
        for (std::size_t k = a + 1; k < b; ++k) {
            const double d = segmentDistance(points[k], points[a], points[b]);
            if (d > farthest) {
                farthest = d;
                at = k;
            }
        }
        if (farthest > tolerance) {
            spans.push_back({a, at});
            spans.push_back({at, b});
        } else {
            for (std::size_t k = a + 1; k < b; ++k)
                keep[k] = 0;
        }
    }
}
