#pragma once

// A glyph's strokes joined into the pen's route, and that route resampled.

#include "alphabet/Point3.h"
#include "import/pen/PenGlyph.h"

#include <vector>

// The pen's whole route through a glyph as one 3-D path. Strokes lie at z = 0
// in their drawing order; between two strokes the pen goes straight up to
// z = lift, across, and down again (with lift 0, straight across). Points that
// resampling must keep are ranked: the path's ends, then every stroke end and
// the corners of each lift, then every corner (a turn of more than 30 degrees
// at a point that is not inside a flattened curve).
struct PenRoute {
    std::vector<Point3> points;
    std::vector<unsigned char> rank; // 0 free, else kept: higher ranks are kept first
    int fixedCount = 0;              // points of nonzero rank
};

enum : unsigned char { freeRank = 0, cornerRank = 1, strokeEndRank = 2, pathEndRank = 3 };

// The route of `glyph`; repeated points are dropped. A glyph without strokes
// gives an empty route.
PenRoute penRoute(const PenGlyph& glyph, float lift);

// `count` points along `route`: every ranked point lands on one, in its place
// along the path, and between two of them the points are spaced evenly by arc
// length. Where `count` is smaller than route.fixedCount, the highest ranks are
// kept, spread along the path within each rank. An empty route gives `count`
// copies of the origin.
std::vector<Point3> resampleRoute(const PenRoute& route, int count);
