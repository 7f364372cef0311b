#pragma once

#include "import/pen/PenGlyph.h"
#include "import/pen/svg/SvgTransform.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// SVG path data as straight and cubic segments in absolute coordinates:
// quadratic curves become the cubics they are, arcs become cubics within
// 0.03 % of their radius, every other command a line.
struct SvgSegment {
    bool cubic;
    double x1, y1, x2, y2; // the control points of a cubic
    double x, y;           // where the segment ends
};

struct SvgSubpath {
    double x0, y0; // where it starts
    std::vector<SvgSegment> segments;
};

using SvgOutline = std::vector<SvgSubpath>;

// Appends the subpaths of path data `d`: every command, absolute and relative,
// with implicit repeats, Z, and arcs with zero or too small radii as SVG
// mends them. At most `budget` segments are added; the budget is reduced by
// those added. False, with `problem` naming the place, on malformed data or
// where the budget runs out; `outline` may then hold part of the path.
bool parsePathData(std::u16string_view d, SvgOutline& outline, std::size_t& budget,
                   std::string& problem);

// Appends the subpaths of a points attribute (polyline, or polygon where `closed`).
bool parsePoints(std::u16string_view points, bool closed, SvgOutline& outline, std::size_t& budget,
                 std::string& problem);

// Maps every point of `outline` from subpath `first` on by `map`; false where a
// point then lies beyond the range of a 32-bit float.
bool transformOutline(SvgOutline& outline, std::size_t first, const Affine& map);

// The size of the box around every point and control point (its larger side).
double outlineSize(const SvgOutline& outline);

// The strokes of `outline`, curves flattened into lines that stay within
// `tolerance` of them. Subpaths without segments draw nothing. At most
// `budget` points are made, the budget reduced by those made; false where it
// runs out.
bool flattenOutline(const SvgOutline& outline, double tolerance, std::vector<PenStroke>& strokes,
                    std::size_t& budget);
