#pragma once

#include "alphabet/Point3.h"

#include <vector>

// Resamples an open polyline to `count` points spaced evenly along its 3-D arc
// length. The first and last points are kept exactly. A stroke without length
// (one point, or all points equal) gives `count` copies of its first point;
// an empty stroke or a count below one gives no points, a count of one gives
// the first point. If the length is not finite (NaN or infinite coordinates)
// the points are spaced evenly by index instead, so the result may hold NaN.
std::vector<Point3> resampleByArcLength(const std::vector<Point3>& stroke, int count);
