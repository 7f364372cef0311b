#pragma once

// A tally of the route: its points, box, drawn and travel lengths and lifts.

#include "writing/RouteSink.h"

#include <cstdint>

struct Box {
    double minX = 0, maxX = 0, minY = 0, maxY = 0, minZ = 0, maxZ = 0;
    bool empty = true;
    void add(const RoutePoint& p);
};

class RouteStats : public RouteSink {
public:
    void point(const RoutePoint& p) override;

    std::int64_t points = 0;
    Box box;      // of every point
    Box drawnBox; // of the points on pen-down runs
    double drawnLength = 0;
    double travelLength = 0;
    std::int64_t lifts = 0; // stretches of travel

private:
    RoutePoint last{};
};
