#pragma once

// The route as a glyph file of one glyph that holds every point, for the viewer.

#include "writing/RouteSink.h"

#include "alphabet/Point3.h"

#include <cstdio>
#include <vector>

class GlyphRouteWriter : public RouteSink {
public:
    void point(const RoutePoint& p) override {
        points.push_back({float(p.x), float(p.y), float(p.z)});
    }
    bool finish(std::FILE* out) const;

private:
    std::vector<Point3> points;
};
