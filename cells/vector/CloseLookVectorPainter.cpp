#include "cells/vector/CloseLookVectorPainter.h"

#include "alphabet/GlyphLabel.h"
#include "cells/LabelFont.h"
#include "cells/vector/VectorStyle.h"
#include "geometry/DirectionMarks.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// Tenths of a pixel are below what shows, and keep the numbers short.
QPointF placed(const ClipPoint& clip, double side) {
    const CellPosition p = GlyphProjection::inCell(clip, side);
    return {std::round(p.x * 10) / 10, std::round(p.y * 10) / 10};
}

} // namespace

CloseLookVectorPainter::CloseLookVectorPainter(QPainter& painter_)
    : painter(painter_), font(labelFont()) {}

void CloseLookVectorPainter::paint(const CloseLookContent& look) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setClipRect(QRectF(0, 0, look.side, look.side));
    paintFrame(look.side, look.cell.turning);
    if (look.camera && look.camera->visible) {
        const std::vector<PointRun> runs = look.runsToDraw();
        paintGlyph(look, runs);
        if (look.cell.direction)
            paintDirections(look.directionMarksOf(runs));
    }
    paintLabel(look);
    painter.restore();
}

// Four separate sides, as GL's wide line loop draws them.
void CloseLookVectorPainter::paintFrame(int side, bool turning) {
    auto square = [&](double low, double high) {
        const QPointF corners[4] = {{low, high}, {low, low}, {high, low}, {high, high}};
        QPainterPath sides;
        for (int k = 0; k < 4; ++k) {
            sides.moveTo(corners[k]);
            sides.lineTo(corners[(k + 1) % 4]);
        }
        return sides;
    };
    QPen pen(colourOf(frameColour), double(frameLineWidth), Qt::SolidLine, Qt::FlatCap,
             Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawPath(square(closeLookFrameLow, closeLookFrameHigh(side)));
    if (turning) {
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawPath(square(closeLookTurningLow, closeLookTurningHigh(side)));
    }
}

// The runs in view as polylines, broken where the depth range cuts them, and
// a square dot on each of their points inside it.
void CloseLookVectorPainter::paintGlyph(const CloseLookContent& look,
                                        const std::vector<PointRun>& runs) {
    const GlyphProjection projection = look.projection();
    const Point3* points = look.cell.points;
    const double side = look.side;
    std::vector<QPolygonF> lines;
    QPainterPath dots;
    const double half = double(glyphPointSize) / 2;
    for (const PointRun& run : runs) {
        bool joined = false; // the last polyline ends at the current point
        ClipPoint previous = projection.clip(points[run.first]);
        for (int k = run.first + 1; k < run.first + run.lineCount; ++k) {
            const ClipPoint next = projection.clip(points[k]);
            double from = 0, to = 1;
            if (GlyphProjection::clipToDepthRange(previous, next, from, to)) {
                if (!joined || from > 0) {
                    lines.emplace_back();
                    lines.back() << placed(GlyphProjection::between(previous, next, from), side);
                }
                lines.back() << placed(GlyphProjection::between(previous, next, to), side);
                joined = to == 1;
            } else {
                joined = false;
            }
            previous = next;
        }
        for (int k = run.first; k < run.first + run.dotCount; ++k) {
            const ClipPoint clip = projection.clip(points[k]);
            if (!GlyphProjection::insideDepthRange(clip))
                continue;
            const QPointF centre = placed(clip, side);
            dots.moveTo(centre.x() - half, centre.y());
            dots.lineTo(centre.x() + half, centre.y());
        }
    }
    strokeGlyph(painter, lines, dots);
}

void CloseLookVectorPainter::paintDirections(const DirectionMarks& marks) {
    auto at = [](const CellPosition& p) { return QPointF(p.x, p.y); };
    QPainterPath arrows;
    for (const DirectionArrow& arrow : marks.arrows)
        arrows.addPolygon(
            QPolygonF({at(arrow.tip), at(arrow.left), at(arrow.right), at(arrow.tip)}));
    painter.setPen(QPen(Qt::white, double(directionArrowEdgeWidth)));
    painter.drawPath(arrows);
    painter.fillPath(arrows, colourOf(directionArrowColour));
    if (marks.hasStart) {
        painter.setPen(QPen(colourOf(directionStartColour), double(directionRingLineWidth)));
        painter.drawEllipse(at(marks.start), marks.ringRadius, marks.ringRadius);
    }
}

// In the lower right corner, where a cell has its label.
void CloseLookVectorPainter::paintLabel(const CloseLookContent& look) {
    const int index = look.cell.labelIndex;
    if (!labelIsDrawn(glyphLabelCode(index)))
        return; // a control character draws nothing, and SVG can't hold it
    const QString text = glyphLabel(index);
    const double corner = look.side - cellStyleSide;
    const LabelBaseline at = labelBaseline(corner, corner, static_cast<int>(text.size()));
    painter.setPen(colourOf(labelColour));
    painter.setFont(font);
    painter.drawText(QPointF(std::trunc(at.x), std::trunc(at.y)), text);
}
