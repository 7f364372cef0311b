#pragma once

#include "cells/CellContent.h"

#include <QFont>
#include <QPointF>
#include <vector>

class QPainter;
struct GlyphCamera;

// A cell for a vector picture: what it shows and its top-left corner, in the
// painter's pixels.
struct VectorCell {
    CellContent content;
    QPointF corner;
};

// Draws cells with QPainter as the GL view draws them, in logical pixels:
// blue frame, black polyline, a red square dot per point and the label, from
// the same camera, turn and perspective. Each kind of mark is drawn for all
// cells in one pass with one pen, so SVG and PDF output carry one style
// change per pass rather than per cell; within a cell the order stays the
// view's, and cells don't overlap. Cells asked for it get the view's
// direction marks over the glyph. A glyph being turned has no dotted frame here.
class VectorCellPainter {
public:
    explicit VectorCellPainter(QPainter& painter);

    void paint(const std::vector<VectorCell>& cells);

private:
    void paintFrames(const std::vector<VectorCell>& cells);
    void paintGlyphs(const std::vector<VectorCell>& cells, const std::vector<GlyphCamera>& cameras);
    void paintDirections(const std::vector<VectorCell>& cells,
                         const std::vector<GlyphCamera>& cameras);
    void paintLabels(const std::vector<VectorCell>& cells);

    QPainter& painter;
    QFont font;
};
