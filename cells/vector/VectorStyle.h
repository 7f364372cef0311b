#pragma once

#include "cells/CellStyle.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <vector>

// A colour of the cell style (red, green, blue from 0 to 1) for QPainter.
inline QColor colourOf(const float rgb[3]) {
    return QColor::fromRgbF(rgb[0], rgb[1], rgb[2]);
}

// A glyph's lines and its square dots (each a stroke across a dot's width)
// in the cell style's pens, as the GL painter draws them.
inline void strokeGlyph(QPainter& painter, const std::vector<QPolygonF>& lines,
                        const QPainterPath& dots) {
    painter.setPen(QPen(colourOf(glyphLineColour), double(glyphLineWidth), Qt::SolidLine,
                        Qt::FlatCap, Qt::RoundJoin));
    for (const QPolygonF& line : lines)
        painter.drawPolyline(line);
    painter.setPen(QPen(colourOf(glyphPointColour), double(glyphPointSize), Qt::SolidLine,
                        Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(dots);
}
