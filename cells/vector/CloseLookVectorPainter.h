#pragma once

#include "cells/CloseLookContent.h"

#include <QFont>

class QPainter;

// Draws the closer look with QPainter, for SVG and PDF pictures, as the GL
// view draws it: frame at the view's edge, the glyph through its camera with
// the zoom and pan, direction marks, the label; in logical pixels from the
// view's top-left corner. Only the chunks of the route in view are drawn.
class CloseLookVectorPainter {
public:
    explicit CloseLookVectorPainter(QPainter& painter);

    void paint(const CloseLookContent& look);

private:
    void paintFrame(int side, bool turning);
    void paintGlyph(const CloseLookContent& look, const std::vector<PointRun>& runs);
    void paintDirections(const DirectionMarks& marks);
    void paintLabel(const CloseLookContent& look);

    QPainter& painter;
    QFont font;
};
