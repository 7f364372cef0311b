#pragma once

#include "alphabet/Point3.h"

#include <QFont>
#include <QPointF>
#include <vector>

class QPainter;

// What one cell of the glyph grid shows, for a vector picture of it.
struct VectorCell {
    const Point3* points = nullptr;
    int pointCount = 0;
    const float* orientation = nullptr; // the glyph's turn (x, y, z, w)
    int index = 0;                      // the glyph's place in its file, which gives its label
    QPointF corner;                     // the cell's top-left corner, in the painter's pixels
    bool direction = false;             // the path's first point and its way marked
};

// Draws cells with QPainter as the GL view draws them, in logical pixels:
// blue frame, black polyline, a red square dot per point and the label, from
// the same camera, turn and perspective. Each kind of mark is drawn for all
// cells in one pass with one pen, so SVG and PDF output carry one style
// change per pass rather than per cell; within a cell the order stays the
// view's, and cells don't overlap. Cells asked for it get the view's
// direction marks over the glyph.
class VectorCellPainter {
public:
    // `labelFont` should be the label font at the resolution of the painter's device.
    VectorCellPainter(QPainter& painter, const QFont& labelFont, int cellSide);

    void paint(const std::vector<VectorCell>& cells);

private:
    void paintFrames(const std::vector<VectorCell>& cells);
    void paintGlyphs(const std::vector<VectorCell>& cells);
    void paintDirections(const std::vector<VectorCell>& cells);
    void paintLabels(const std::vector<VectorCell>& cells);

    QPainter& painter;
    QFont font;
    int side;
};
