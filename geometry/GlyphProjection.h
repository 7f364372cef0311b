#pragma once

#include "alphabet/Point3.h"
#include "geometry/GlyphCamera.h"

// Where a glyph's points land in its square cell: the same chain of camera,
// turn and perspective that the GL drawing builds (perspective × look-at ×
// turn × move of the centroid to the origin), worked out in double precision
// without GL, for vector pictures and for finding the point under the pointer.

// A point in clip coordinates, before the division by w.
struct ClipPoint {
    double x;
    double y;
    double z;
    double w;
};

// A position in a cell `side` pixels square, from its top-left corner, y downward.
struct CellPosition {
    double x;
    double y;
};

class GlyphProjection {
public:
    // `orientation` is the glyph's turn as the view keeps it (x, y, z, w).
    GlyphProjection(const GlyphCamera& camera, const float orientation[4]);

    ClipPoint clip(const Point3& p) const;

    // Magnifies the picture by `factor` about the cell's centre, then moves it
    // by (shiftX, shiftY) in normalised coordinates (the cell spans -1 to 1, y
    // upward): x / w becomes factor x / w + shiftX, and so for y.
    void magnify(double factor, double shiftX, double shiftY);

    // Whether GL keeps a point: in front of the eye and within the depth range.
    static bool insideDepthRange(const ClipPoint& point);

    // The point a fraction `t` of the way from a to b, in clip space.
    static ClipPoint between(const ClipPoint& a, const ClipPoint& b, double t);

    // Cuts the segment a-b to the part between the near and far planes, as GL
    // clips it: false where nothing is left, else the kept part as [from, to] of it.
    static bool clipToDepthRange(const ClipPoint& a, const ClipPoint& b, double& from, double& to);

    // The cell position of a point that is inside the depth range.
    static CellPosition inCell(const ClipPoint& point, double side);

private:
    double matrix[4][4]; // row-major: clip = matrix × (x, y, z, 1)
};
