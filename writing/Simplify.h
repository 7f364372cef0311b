#pragma once

// Douglas-Peucker in 3-D.

#include "writing/RouteSink.h"

#include <cstddef>
#include <vector>

// Clears keep[k] for the points of [first, last] that lie within `tolerance`
// of the segment through the points kept around them; the two ends are kept.
void simplifyStretch(const std::vector<RoutePoint>& points, std::size_t first, std::size_t last,
                     double tolerance, std::vector<char>& keep);
