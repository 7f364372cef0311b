#pragma once

// Placed glyphs joined into one 3-D route: from one glyph's end the pen goes
// straight up to the travel height, across and down to the next glyph's start.

#include "writing/RouteSink.h"
#include "writing/TextLayout.h"

#include <vector>

struct RouteSettings {
    double scale = 1;     // output units per source unit in x and y
    double zScale = 1;    // and in z
    double travel = 1;    // the travel height T
    bool penData = true;  // points above the paper are lifts; the pen is down at z = 0
    float liftHeight = 0; // pen data: the source's lift height, which lands on T exactly
    bool flatten = false; // 3-D letters: each glyph's route is drawn, projected flat
    double tolerance = 0; // Douglas-Peucker tolerance; 0 keeps every point
};

class RouteBuilder {
public:
    RouteBuilder(const RouteSettings& settings, RouteSink& sink) : settings(settings), sink(sink) {}
    // Adds the next glyph's points, transformed once, to the route.
    void add(const PlacedGlyph& glyph);

private:
    void put(const RoutePoint& p);
    void simplify();

    RouteSettings settings;
    RouteSink& sink;
    std::vector<RoutePoint> points; // the glyph being added, reused
    std::vector<char> keep;
    RoutePoint last{};
    bool started = false;
};
