#include "writing/RouteBuilder.h"

#include "writing/Simplify.h"

namespace {

bool samePlace(const RoutePoint& a, const RoutePoint& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

void RouteBuilder::add(const PlacedGlyph& placed) {
    const double s = settings.scale;
    points.clear();
    for (const Point3& p : placed.glyph->points) {
        RoutePoint q{placed.x0 + p.x * s, placed.y0 + p.y * s, p.z * settings.zScale, false, false};
        if (settings.penData) {
            // Lifts land on T exactly, whatever rounding the scaling brings.
            if (p.z >= settings.liftHeight && p.z > 0)
                q.z = settings.travel;
            q.drawn = q.z == 0;
            q.travel = !points.empty() && !(q.drawn && points.back().drawn);
        } else {
            q.drawn = settings.flatten;
        }
        points.push_back(q);
    }
    if (settings.tolerance > 0)
        simplify();

    for (std::size_t k = 0; k < points.size(); ++k) {
        if (settings.tolerance > 0 && !keep[k])
            continue;
        RoutePoint p = points[k];
        if (k == 0 && started) {
            put({last.x, last.y, settings.travel, false, true});
            put({p.x, p.y, settings.travel, false, true});
            p.travel = true;
        }
        put(p);
    }
}

void RouteBuilder::put(const RoutePoint& p) {
    if (started && samePlace(p, last))
        return;
    sink.point(p);
    last = p;
    started = true;
}

void RouteBuilder::simplify() {
    keep.assign(points.size(), 1);
    if (!settings.penData) {
        if (points.size() > 2)
            simplifyStretch(points, 0, points.size() - 1, settings.tolerance, keep);
        return;
    }
    // Each run on the paper on its own: the lifts between them keep every corner.
    for (std::size_t k = 0; k < points.size();) {
        if (!points[k].drawn) {
            ++k;
            continue;
        }
        std::size_t end = k;
        while (end + 1 < points.size() && points[end + 1].drawn)
            ++end;
        if (end > k + 1)
            simplifyStretch(points, k, end, settings.tolerance, keep);
        k = end + 1;
    }
}
