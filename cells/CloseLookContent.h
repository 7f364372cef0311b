#pragma once

#include "cells/CellContent.h"
#include "cells/CellStyle.h"
#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/RouteChunks.h"
#include "geometry/ZoomPan.h"

// How far past the view's edge, in pixels, a point or segment still counts as
// in view: a dot or wide line centred just outside reaches in.
constexpr double closeLookCullMargin = 8;

// What the closer look shows: one glyph alone in the whole square view,
// zoomed and panned, for the GL painter and the vector one alike. Its camera
// and the chunks of its route are worked out once, when the glyph is taken,
// so that a picture reads only the points it draws.
struct CloseLookContent {
    CellContent cell; // the glyph, its turn, whether it turns, its marks and label
    const GlyphCamera* camera = nullptr;
    const RouteChunks* chunks = nullptr; // built for cell.points; none: draw every point
    ZoomPan zoom;
    int side = 400; // the view's side in logical pixels

    // The glyph's projection into the view, with the zoom and pan.
    GlyphProjection projection() const {
        return zoom.applied(GlyphProjection(*camera, cell.orientation));
    }

    // The runs of points to draw: those the chunks keep in view, or all.
    std::vector<PointRun> runsToDraw() const {
        if (chunks)
            return chunks->runsInView(projection(), 2 * closeLookCullMargin / side);
        if (cell.pointCount <= 0)
            return {};
        return {{0, cell.pointCount, cell.pointCount}};
    }
    // The direction marks along `runs`, at one size whatever the zoom.
    DirectionMarks directionMarksOf(const std::vector<PointRun>& runs) const {
        return directionMarks(cell.points, cell.pointCount, runs, projection(), side, 1);
    }
};

// The frame lies at the view's edge, as far in as a cell's lies in its cell:
// its lines keep their width at any side, as every mark of the closer look does.
constexpr double closeLookFrameLow = frameInsetLow;
constexpr double closeLookFrameHigh(int side) {
    return side - (cellStyleSide - double(frameInsetHigh));
}
constexpr double closeLookTurningLow = turningFrameLow;
constexpr double closeLookTurningHigh(int side) {
    return side - (cellStyleSide - double(turningFrameHigh));
}
