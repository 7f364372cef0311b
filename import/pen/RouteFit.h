#pragma once

// How closely a resampled pen route follows the route it was made from, and the
// fewest points that keep the shape of every route.

#include "import/pen/PenPath.h"

#include <cstddef>
#include <vector>

// A route resampled by default strays from it by at most 1/200 of its size.
constexpr int shapeToleranceDivisor = 200;

// The largest side of the box around the route's points.
double routeSize(const PenRoute& route);

// The farthest the route resampled at `places` strays from the route, both
// ways, stretch by stretch: every point of the route between two neighbouring
// places against the straight line between them, and that line (at its
// vertices' feet and at 8 points along it) against the stretch of the route.
double routeDeviation(const PenRoute& route, const std::vector<RoutePlace>& places);

// Whether `count` points keep the route within 1/200 of its size.
bool keepsShape(const PenRoute& route, int count);

// The fewest points from `from` up to `most` that keep the route's shape; 0 where none does.
int pointsForShape(const PenRoute& route, int from, int most);

struct PointChoice {
    int points = 0;
    bool shapeKept = true;   // false: even `most` leaves some route beyond 1/200 of its size
    bool shapeAsked = false; // some route's shape asked for more than `from`
    std::size_t asker = 0;   // the route that asked for the last point added
};

// The fewest points from `from` up to `most` with which every route keeps its
// shape. Every count below the one chosen leaves some route too far out.
PointChoice choosePoints(const std::vector<PenRoute>& routes, int from, int most);
