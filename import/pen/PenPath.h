#pragma once

// A glyph's strokes joined into the pen's route, and that route resampled.

#include "alphabet/Point3.h"
#include "import/pen/PenGlyph.h"

#include <cstddef>
#include <vector>

// The pen's whole route through a glyph as one 3-D path. Strokes lie at z = 0
// in their drawing order; between two strokes the pen goes straight up to
// z = lift, across, and down again (with lift 0, straight across). Points that
// resampling must keep are ranked: the path's ends, then every stroke end on
// the paper, then the corners of each lift, then every corner (a turn of more
// than 30 degrees at a point that is not inside a flattened curve).
struct PenRoute {
    std::vector<Point3> points;
    std::vector<unsigned char> rank; // 0 free, else kept: higher ranks are kept first
    int fixedCount = 0;              // points of nonzero rank
};

enum : unsigned char {
    freeRank = 0,
    cornerRank = 1,
    liftRank = 2,
    strokeEndRank = 3,
    pathEndRank = 4
};

// The route of `glyph`; repeated points are dropped. A glyph without strokes
// gives an empty route.
PenRoute penRoute(const PenGlyph& glyph, float lift);

// `count` points along `route`: every ranked point lands on one, in its place
// along the path, and between two of them the points are spaced evenly by arc
// length. Where `count` is smaller than route.fixedCount, the highest ranks are
// kept, spread along the path within each rank. An empty route gives `count`
// copies of the origin.
std::vector<Point3> resampleRoute(const PenRoute& route, int count);

// A place on a route: `fraction` of the way from point `segment` to the next.
struct RoutePlace {
    std::size_t segment;
    double fraction;
};

// Where resampleRoute puts its `count` points on a route of two points or more.
std::vector<RoutePlace> resamplePlaces(const PenRoute& route, int count);

// The point at `place`: the route's own point where the fraction is 0 or 1.
Point3 pointAt(const PenRoute& route, const RoutePlace& place);
