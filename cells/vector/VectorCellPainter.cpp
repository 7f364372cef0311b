#include "cells/vector/VectorCellPainter.h"

#include "alphabet/GlyphLabel.h"
#include "cells/CellStyle.h"
#include "cells/LabelFont.h"
#include "cells/vector/VectorStyle.h"
#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphProjection.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// The cell's side in the painter's pixels.
constexpr int side = cellStyleSide;

// Tenths of a pixel are below what shows (a dot is 5 pixels, its centre held
// to 0.05), and short numbers are what an SVG's size and time go by.
double rounded(double value) {
    return std::round(value * 10) / 10;
}

QPointF placed(const QPointF& corner, const ClipPoint& clip) {
    const CellPosition p = GlyphProjection::inCell(clip, side);
    return {rounded(corner.x() + p.x), rounded(corner.y() + p.y)};
}

// The glyph's line strip as polylines, broken where the depth range cuts it,
// and its points inside the depth range.
void projectGlyph(const VectorCell& cell, const GlyphCamera& camera, std::vector<QPolygonF>& lines,
                  QPainterPath& dots) {
    if (!camera.visible)
        return;
    const CellContent& content = cell.content;
    const GlyphProjection projection(camera, content.orientation);
    std::vector<ClipPoint> clip(static_cast<std::size_t>(content.pointCount));
    for (int k = 0; k < content.pointCount; ++k)
        clip[std::size_t(k)] = projection.clip(content.points[k]);

    bool joined = false; // the last polyline ends at the current point
    for (std::size_t k = 0; k + 1 < clip.size(); ++k) {
        double from = 0, to = 1;
        if (!GlyphProjection::clipToDepthRange(clip[k], clip[k + 1], from, to)) {
            joined = false;
            continue;
        }
        if (!joined || from > 0) {
            lines.emplace_back();
            lines.back() << placed(cell.corner,
                                   GlyphProjection::between(clip[k], clip[k + 1], from));
        }
        lines.back() << placed(cell.corner, GlyphProjection::between(clip[k], clip[k + 1], to));
        joined = to == 1;
    }
    // A dot is a stroke as wide as it is long, which gives GL's square point.
    const double half = double(glyphPointSize) / 2;
    for (const ClipPoint& point : clip) {
        if (!GlyphProjection::insideDepthRange(point))
            continue;
        const QPointF centre = placed(cell.corner, point);
        dots.moveTo(centre.x() - half, centre.y());
        dots.lineTo(centre.x() + half, centre.y());
    }
}

// `triangle` (closed) run counterclockwise on the page, reversed where it runs the other way.
QPolygonF sameTurn(QPolygonF triangle) {
    const QPointF a = triangle[1] - triangle[0], b = triangle[2] - triangle[0];
    if (a.x() * b.y() - a.y() * b.x() < 0)
        std::reverse(triangle.begin(), triangle.end());
    return triangle;
}

} // namespace

VectorCellPainter::VectorCellPainter(QPainter& painter_) : painter(painter_), font(labelFont()) {}

void VectorCellPainter::paint(const std::vector<VectorCell>& cells) {
    // One camera for each cell, for its glyph and its direction marks.
    std::vector<GlyphCamera> cameras;
    cameras.reserve(cells.size());
    for (const VectorCell& cell : cells)
        cameras.push_back(placeGlyphCamera(cell.content.points, cell.content.pointCount));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    paintFrames(cells);
    paintGlyphs(cells, cameras);
    paintDirections(cells, cameras);
    paintLabels(cells);
    painter.restore();
}

// Four separate sides, as GL's wide line loop draws them: no join fills the outer corners.
void VectorCellPainter::paintFrames(const std::vector<VectorCell>& cells) {
    const double low = double(frameInsetLow), high = double(frameInsetHigh);
    QPainterPath frames;
    for (const VectorCell& cell : cells) {
        const QPointF corners[4] = {
            cell.corner + QPointF(low, high), cell.corner + QPointF(low, low),
            cell.corner + QPointF(high, low), cell.corner + QPointF(high, high)};
        for (int k = 0; k < 4; ++k) {
            frames.moveTo(corners[k]);
            frames.lineTo(corners[(k + 1) % 4]);
        }
    }
    painter.setPen(QPen(colourOf(frameColour), double(frameLineWidth), Qt::SolidLine, Qt::FlatCap,
                        Qt::MiterJoin));
    painter.drawPath(frames);
}

void VectorCellPainter::paintGlyphs(const std::vector<VectorCell>& cells,
                                    const std::vector<GlyphCamera>& cameras) {
    std::vector<QPolygonF> lines;
    QPainterPath dots;
    for (std::size_t k = 0; k < cells.size(); ++k)
        if (cells[k].content.pointCount > 0)
            projectGlyph(cells[k], cameras[k], lines, dots);
    strokeGlyph(painter, lines, dots);
}

// As the GL view draws them: each arrowhead's white edge, then its fill over
// the inner half of the edge, then the ring round the first point.
void VectorCellPainter::paintDirections(const std::vector<VectorCell>& cells,
                                        const std::vector<GlyphCamera>& cameras) {
    QPainterPath arrows;
    QPainterPath rings;
    for (std::size_t k = 0; k < cells.size(); ++k) {
        const VectorCell& cell = cells[k];
        const CellContent& content = cell.content;
        if (!content.direction || !cameras[k].visible)
            continue;
        const DirectionMarks marks =
            directionMarks(content.points, content.pointCount,
                           GlyphProjection(cameras[k], content.orientation), side);
        auto at = [&](const CellPosition& p) { return cell.corner + QPointF(p.x, p.y); };
        for (const DirectionArrow& arrow : marks.arrows)
            arrows.addPolygon(sameTurn(
                QPolygonF({at(arrow.tip), at(arrow.left), at(arrow.right), at(arrow.tip)})));
        if (marks.hasStart)
            rings.addEllipse(at(marks.start), marks.ringRadius, marks.ringRadius);
    }
    // Overlapping arrowheads are solid, as GL's triangles are: every triangle turns
    // the same way, so the winding rule fills where two meet.
    arrows.setFillRule(Qt::WindingFill);
    painter.setPen(QPen(Qt::white, double(directionArrowEdgeWidth)));
    painter.drawPath(arrows);
    painter.fillPath(arrows, colourOf(directionArrowColour));
    painter.setPen(QPen(colourOf(directionStartColour), double(directionRingLineWidth)));
    painter.drawPath(rings);
}

// The label's baseline starts where labelBaseline puts it, its fraction cut off.
void VectorCellPainter::paintLabels(const std::vector<VectorCell>& cells) {
    painter.setPen(colourOf(labelColour));
    painter.setFont(font);
    for (const VectorCell& cell : cells) {
        const int index = cell.content.labelIndex;
        if (!labelIsDrawn(glyphLabelCode(index)))
            continue; // a control character draws nothing, and SVG can't hold it
        const QString text = glyphLabel(index);
        const LabelBaseline at =
            labelBaseline(cell.corner.x(), cell.corner.y(), static_cast<int>(text.size()));
        painter.drawText(QPointF(std::trunc(at.x), std::trunc(at.y)), text);
    }
}
