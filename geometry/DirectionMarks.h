#pragma once

#include "alphabet/Point3.h"
#include "geometry/GlyphProjection.h"
#include "geometry/PointRun.h"

#include <vector>

// What shows which way a glyph's pen path runs, as flat shapes in its cell
// (positions from the cell's top-left corner, y downward, in a cell `side`
// units square): a ring round the first point, and arrowheads along the path
// at even steps of its length on the screen, each pointing the way the path
// runs there. Plain geometry for any drawing: GL, SVG or PDF.

// A filled triangle whose `tip` points along the path.
struct DirectionArrow {
    CellPosition tip;
    CellPosition left;
    CellPosition right;
};

struct DirectionMarks {
    bool hasStart = false; // false: the first point is not drawn (behind the eye or too far)
    CellPosition start{0, 0};
    double ringRadius = 0;
    std::vector<DirectionArrow> arrows;
};

// Sizes in a cell 100 units square; other sides scale them.
constexpr double directionRingRadius = 6;
constexpr double directionArrowSpacing = 26;
constexpr double directionArrowLength = 9;
constexpr double directionArrowHalfWidth = 4.5;
constexpr int directionArrowsAtMost = 100000;
// Green, apart from the red points, the black path and the blue frames: a ring
// round the start, and arrowheads with a thin white edge that parts them from the points.
constexpr float directionStartColour[3] = {0.0f, 0.62f, 0.0f};
constexpr float directionArrowColour[3] = {0.0f, 0.45f, 0.0f};
constexpr float directionRingLineWidth = 2.5f;
constexpr float directionArrowEdgeWidth = 2.0f;

// The marks of the `count` points of a glyph seen through `projection`.
// Segments with an end outside the depth range are left out, as GL clips them.
DirectionMarks directionMarks(const Point3* points, int count, const GlyphProjection& projection,
                              double side);
// The same with the marks' sizes and spacing multiplied by `scale` rather
// than by side / 100: marks of one size in a picture of any side.
DirectionMarks directionMarks(const Point3* points, int count, const GlyphProjection& projection,
                              double side, double scale);
// The marks of the path's lines in `runs` of the `count` points alone, as one
// path whose arrows are spaced along those lines: what a view that draws only
// these runs shows. The ring is still the first point's. The points are read
// twice, and nothing of them is kept.
DirectionMarks directionMarks(const Point3* points, int count, const std::vector<PointRun>& runs,
                              const GlyphProjection& projection, double side, double scale);

// The index of the point nearest `at` on the screen, no further than `within`
// (cell units), or -1; of equally near points the first.
int nearestPoint(const Point3* points, int count, const GlyphProjection& projection, double side,
                 CellPosition at, double within);
