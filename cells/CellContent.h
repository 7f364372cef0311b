#pragma once

#include "alphabet/Point3.h"
#include "trackball/Trackball.h"

// What one cell shows: a glyph, its turn, whether it is being turned and its
// label, for the GL painter and the vector one alike.
struct CellContent {
    const Point3* points = nullptr;
    int pointCount = 0;
    const float* orientation = identityRotation; // the glyph's turn (x, y, z, w)
    bool turning = false;                        // a dotted inner frame marks a glyph being turned
    int labelIndex = 0;     // the glyph's place in its file, which gives its label
    bool direction = false; // the path's first point and its way marked
};
