#pragma once

// SVG's basic shapes as the paths they stand for.

#include "import/pen/svg/SvgPathData.h"

#include <cstddef>

// Appends an ellipse around (cx, cy) as four quarter arcs, each one cubic
// within 0.03 % of its radius, from (cx + rx, cy) on towards +y, as SVG draws
// a <circle> or an <ellipse>. Each arc takes one from `budget`; false where it runs out.
bool appendEllipse(SvgOutline& outline, double cx, double cy, double rx, double ry,
                   std::size_t& budget);

// Appends a rectangle from (x, y) of `width` by `height` with corners rounded
// by rx and ry (0: square), as SVG draws a <rect>: from (x + rx, y) along the
// top, clockwise on screen. False where the budget runs out.
bool appendRect(SvgOutline& outline, double x, double y, double width, double height, double rx,
                double ry, std::size_t& budget);
