#include "import/pen/RouteFit.h"

#include <algorithm>
#include <cmath>

namespace {

// Points of the line between two places tried against the route's stretch.
constexpr int linePoints = 8;

Point3 along(const Point3& a, const Point3& b, double f) {
    return {static_cast<float>(a.x + (double(b.x) - a.x) * f),
            static_cast<float>(a.y + (double(b.y) - a.y) * f),
            static_cast<float>(a.z + (double(b.z) - a.z) * f)};
}

// The stretch of the route from place `a` to place `b`: their points and the route's between.
void stretch(const PenRoute& route, const RoutePlace& a, const RoutePlace& b,
             std::vector<Point3>& points) {
    points.clear();
    points.push_back(pointAt(route, a));
    const std::size_t first = a.segment + 1;
    const std::size_t last = b.fraction > 0 ? b.segment : b.segment - 1; // route indices
    for (std::size_t k = first; k <= last && k < route.points.size(); ++k)
        points.push_back(route.points[k]);
    points.push_back(pointAt(route, b));
}

double stretchDeviation(const std::vector<Point3>& points) {
    const Point3& a = points.front();
    const Point3& b = points.back();
    double worst = 0;
    for (std::size_t k = 1; k + 1 < points.size(); ++k)
        worst = std::max(worst, segmentDistance(points[k], a, b));
    for (int i = 1; i < linePoints; ++i) {
        const Point3 q = along(a, b, double(i) / linePoints);
        double nearest = INFINITY;
        for (std::size_t k = 0; k + 1 < points.size(); ++k)
            nearest = std::min(nearest, segmentDistance(q, points[k], points[k + 1]));
        worst = std::max(worst, nearest);
    }
    return worst;
}

} // namespace

double routeSize(const PenRoute& route) {
    if (route.points.empty())
        return 0;
    Point3 low = route.points[0], high = route.points[0];
    for (const Point3& p : route.points) {
        low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
        high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
    }
    return std::max({double(high.x) - low.x, double(high.y) - low.y, double(high.z) - low.z});
}

double routeDeviation(const PenRoute& route, const std::vector<RoutePlace>& places) {
    double worst = 0;
    std::vector<Point3> points;
    for (std::size_t i = 0; i + 1 < places.size(); ++i) {
        stretch(route, places[i], places[i + 1], points);
        worst = std::max(worst, stretchDeviation(points));
    }
    return worst;
}

bool keepsShape(const PenRoute& route, int count) {
    if (route.points.size() < 2)
        return true;
    return routeDeviation(route, resamplePlaces(route, count)) <=
           routeSize(route) / shapeToleranceDivisor;
}

int pointsForShape(const PenRoute& route, int from, int most) {
    for (int count = from; count <= most; ++count)
        if (keepsShape(route, count))
            return count;
    return 0;
}

PointChoice choosePoints(const std::vector<PenRoute>& routes, int from, int most) {
    PointChoice choice;
    choice.points = from;
    // Goes round the routes from the one that failed last until all pass at one count.
    std::size_t passed = 0;
    for (std::size_t r = 0; passed < routes.size(); r = (r + 1) % routes.size()) {
        if (keepsShape(routes[r], choice.points)) {
            ++passed;
            continue;
        }
        if (choice.points >= most) {
            choice.shapeKept = false;
            return choice;
        }
        ++choice.points;
        choice.shapeAsked = true;
        choice.asker = r;
        passed = 0;
        r = (r + routes.size() - 1) % routes.size(); // the same route again
    }
    return choice;
}
