#pragma once

#include "cells/CloseLookContent.h"

class CellPainter;
struct DirectionMarks;

// Draws the closer look with fixed-function GL into the bound frame buffer:
// the frame at the view's edge, the glyph through its camera with the zoom
// and pan, its direction marks and its label in the lower right corner, with
// the look of a cell (CellStyle.h) at one size whatever the zoom. Only the
// chunks of the route in view are drawn, straight from the glyph's points.
class CloseLookPainter {
public:
    // Labels and the pixel ratio come from `cells`.
    explicit CloseLookPainter(const CellPainter& cells) : cells(cells) {}

    void paint(const CloseLookContent& look) const;

    // The glyph's lines and dots for `runs` of its points, through the current matrices.
    void drawRuns(const Point3* points, const std::vector<PointRun>& runs) const;

private:
    void drawFrame(int side, bool turning) const;

    const CellPainter& cells;
};
