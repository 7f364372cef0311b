#pragma once

#include "alphabet/Point3.h"
#include "geometry/GlyphCamera.h"
#include "geometry/RouteChunks.h"
#include "geometry/ZoomPan.h"

// The state of the view's closer look: which glyph is shown alone, its zoom
// and pan, and what is worked out once from its points (the camera and the
// chunks of its route), so that a frame reads only the points it draws. The
// whole glyph shows every point, so the chunks are worked out only once the
// view is zoomed or a point is looked for.
class CloseLook {
public:
    bool isOpen() const { return shown >= 0; }
    int glyph() const { return shown; }

    // Shows glyph `index`, whose `count` points are at `points`, fitted.
    void open(int index, const Point3* points, int count) {
        shown = index;
        zoom.fit();
        take(points, count);
    }
    // The same glyph read again (the file changed): zoom and pan stay.
    void take(const Point3* points, int count) {
        camera = placeGlyphCamera(points, count);
        source = points;
        pointCount = count;
        route.clear();
    }
    void close() {
        shown = -1;
        route.clear();
        panning = false;
    }

    // The chunks of the glyph's route, worked out the first time they are asked for.
    const RouteChunks& chunks() const {
        if (!route.holds(source, pointCount))
            route.build(source, pointCount);
        return route;
    }
    // The chunks where the zoom culls anything, else none: every point is drawn.
    const RouteChunks* chunksForDrawing() const { return zoom.fitted() ? nullptr : &chunks(); }

    ZoomPan zoom;
    GlyphCamera camera{};
    bool panning = false; // the press that is held pans rather than turns
    double panX = 0;      // where the pan's last step left the pointer
    double panY = 0;

private:
    int shown = -1;
    const Point3* source = nullptr;
    int pointCount = 0;
    mutable RouteChunks route;
};
