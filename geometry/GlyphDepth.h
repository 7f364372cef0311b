#pragma once

// Where a glyph lies in its camera's depth range, and the factors that would
// bring it in.

#include "alphabet/Point3.h"

// The nearest and farthest of a glyph's points along its camera's view axis.
// Where the camera is not placed (no points, non-finite ones, all points on
// the centroid) `known` is false; where the glyph lies wholly outside the
// range, the depths are the bounds 1.1 and 3.1 times its largest point distance.
struct GlyphDepth {
    bool known = false;
    double nearest = 0;
    double farthest = 0;
};

GlyphDepth glyphDepth(const Point3* points, int count);

// Whether every point lies between the near and the far plane (true where unknown).
bool withinDepthRange(const GlyphDepth& depth);

// The factors, applied to every coordinate, that bring every point into the range.
struct ScaleRange {
    double low = 0;
    double high = 1e300;

    // Narrows the range to also fit a glyph of `depth`.
    void fit(const GlyphDepth& depth);
    bool empty() const { return !(low <= high); }
};

// The power of ten in `range` nearest to 1; 0 where the range holds none.
double roundScale(const ScaleRange& range);
