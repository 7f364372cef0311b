#pragma once

#include "alphabet/Point3.h"
#include "geometry/GlyphCamera.h"
#include "geometry/RouteChunks.h"
#include "geometry/ZoomPan.h"

// The state of the view's closer look: which glyph is shown alone, its zoom
// and pan, and what is worked out once from its points (the camera and the
// chunks of its route), so that a frame reads only the points it draws.
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
        chunks.build(points, count);
    }
    void close() {
        shown = -1;
        chunks.clear();
        panning = false;
    }

    ZoomPan zoom;
    GlyphCamera camera{};
    RouteChunks chunks;
    bool panning = false; // the press that is held pans rather than turns
    double panX = 0;      // where the pan's last step left the pointer
    double panY = 0;

private:
    int shown = -1;
};
