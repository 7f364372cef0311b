#include "writing/RouteStats.h"

#include <algorithm>
#include <cmath>

void Box::add(const RoutePoint& p) {
    if (empty) {
        minX = maxX = p.x;
        minY = maxY = p.y;
        minZ = maxZ = p.z;
        empty = false;
        return;
    }
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
    minZ = std::min(minZ, p.z);
    maxZ = std::max(maxZ, p.z);
}

void RouteStats::point(const RoutePoint& p) {
    box.add(p);
    if (p.drawn)
        drawnBox.add(p);
    if (points > 0) {
        const double length =
            std::sqrt((p.x - last.x) * (p.x - last.x) + (p.y - last.y) * (p.y - last.y) +
                      (p.z - last.z) * (p.z - last.z));
        (p.travel ? travelLength : drawnLength) += length;
        lifts += p.travel && !last.travel;
    }
    last = p;
    ++points;
}
