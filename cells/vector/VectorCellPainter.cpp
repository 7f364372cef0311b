#include "cells/vector/VectorCellPainter.h"

#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphProjection.h"
#include "geometry/GridGeometry.h"
#include "cells/LabelFont.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace {

// As the GL view draws, in pixels of a 100-pixel cell.
constexpr double frameLow = 2.5;
constexpr double frameHigh = 97.5;
constexpr double frameLineWidth = 2;
constexpr double glyphLineWidth = 2;
constexpr double glyphPointSize = 5;

// Tenths of a pixel are below what shows (a dot is 5 pixels, its centre held
// to 0.05), and short numbers are what an SVG's size and time go by.
double rounded(double value) {
    return std::round(value * 10) / 10;
}

QPointF placed(const QPointF& corner, const ClipPoint& clip, double side) {
    const CellPosition p = GlyphProjection::inCell(clip, side);
    return {rounded(corner.x() + p.x), rounded(corner.y() + p.y)};
}

ClipPoint between(const ClipPoint& a, const ClipPoint& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
            a.w + (b.w - a.w) * t};
}

// Cuts the segment a–b to the part between the near and far planes, as GL
// clips it: false where nothing is left, else the kept part as [from, to] of it.
bool clipToDepthRange(const ClipPoint& a, const ClipPoint& b, double& from, double& to) {
    from = 0;
    to = 1;
    // Signed distances inside the near plane (z >= -w) and the far plane (z <= w).
    const double planes[2][2] = {{a.z + a.w, b.z + b.w}, {a.w - a.z, b.w - b.z}};
    for (const auto& d : planes) {
        if (d[0] < 0 && d[1] < 0)
            return false;
        if (d[0] < 0)
            from = std::max(from, d[0] / (d[0] - d[1]));
        else if (d[1] < 0)
            to = std::min(to, d[0] / (d[0] - d[1]));
    }
    return from <= to;
}

// The glyph's line strip as polylines, broken where the depth range cuts it,
// and its points inside the depth range.
void projectGlyph(const VectorCell& cell, double side, std::vector<QPolygonF>& lines,
                  QPainterPath& dots) {
    const GlyphCamera camera = placeGlyphCamera(cell.points, cell.pointCount);
    if (!camera.visible)
        return;
    const GlyphProjection projection(camera, cell.orientation);
    std::vector<ClipPoint> clip(static_cast<std::size_t>(cell.pointCount));
    for (int k = 0; k < cell.pointCount; ++k)
        clip[std::size_t(k)] = projection.clip(cell.points[k]);

    bool joined = false; // the last polyline ends at the current point
    for (std::size_t k = 0; k + 1 < clip.size(); ++k) {
        double from = 0, to = 1;
        if (!clipToDepthRange(clip[k], clip[k + 1], from, to)) {
            joined = false;
            continue;
        }
        if (!joined || from > 0) {
            lines.emplace_back();
            lines.back() << placed(cell.corner, between(clip[k], clip[k + 1], from), side);
        }
        lines.back() << placed(cell.corner, between(clip[k], clip[k + 1], to), side);
        joined = to == 1;
    }
    // A dot is a stroke as wide as it is long, which gives GL's square point.
    const double half = glyphPointSize / 2;
    for (const ClipPoint& point : clip) {
        if (!GlyphProjection::insideDepthRange(point))
            continue;
        const QPointF centre = placed(cell.corner, point, side);
        dots.moveTo(centre.x() - half, centre.y());
        dots.lineTo(centre.x() + half, centre.y());
    }
}

QColor colourOf(const float rgb[3]) {
    return QColor::fromRgbF(rgb[0], rgb[1], rgb[2]);
}

} // namespace

VectorCellPainter::VectorCellPainter(QPainter& painter_, const QFont& labelFont, int cellSide)
    : painter(painter_), font(labelFont), side(cellSide) {}

void VectorCellPainter::paint(const std::vector<VectorCell>& cells) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    paintFrames(cells);
    paintGlyphs(cells);
    paintDirections(cells);
    paintLabels(cells);
    painter.restore();
}

// Four separate sides, as GL's wide line loop draws them: no join fills the outer corners.
void VectorCellPainter::paintFrames(const std::vector<VectorCell>& cells) {
    const double scale = side / 100.0;
    const double low = frameLow * scale, high = frameHigh * scale;
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
    painter.setPen(QPen(Qt::blue, frameLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(frames);
}

void VectorCellPainter::paintGlyphs(const std::vector<VectorCell>& cells) {
    std::vector<QPolygonF> lines;
    QPainterPath dots;
    for (const VectorCell& cell : cells)
        if (cell.pointCount > 0)
            projectGlyph(cell, side, lines, dots);
    painter.setPen(QPen(Qt::black, glyphLineWidth, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
    for (const QPolygonF& line : lines)
        painter.drawPolyline(line);
    painter.setPen(QPen(Qt::red, glyphPointSize, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(dots);
}

// As the GL view draws them: each arrowhead's white edge, then its fill over
// the inner half of the edge, then the ring round the first point.
void VectorCellPainter::paintDirections(const std::vector<VectorCell>& cells) {
    QPainterPath arrows;
    QPainterPath rings;
    for (const VectorCell& cell : cells) {
        if (!cell.direction)
            continue;
        const GlyphCamera camera = placeGlyphCamera(cell.points, cell.pointCount);
        if (!camera.visible)
            continue;
        const DirectionMarks marks = directionMarks(
            cell.points, cell.pointCount, GlyphProjection(camera, cell.orientation), side);
        auto at = [&](const CellPosition& p) { return cell.corner + QPointF(p.x, p.y); };
        for (const DirectionArrow& arrow : marks.arrows)
            arrows.addPolygon(
                QPolygonF({at(arrow.tip), at(arrow.left), at(arrow.right), at(arrow.tip)}));
        if (marks.hasStart)
            rings.addEllipse(at(marks.start), marks.ringRadius, marks.ringRadius);
    }
    const double scale = side / 100.0;
    painter.setPen(QPen(Qt::white, directionArrowEdgeWidth * scale));
    painter.drawPath(arrows);
    painter.fillPath(arrows, colourOf(directionArrowColour));
    painter.setPen(QPen(colourOf(directionStartColour), directionRingLineWidth * scale));
    painter.drawPath(rings);
}

// The label's baseline starts where the view's drawCellLabel puts it.
void VectorCellPainter::paintLabels(const std::vector<VectorCell>& cells) {
    painter.setPen(Qt::black);
    painter.setFont(font);
    const double half = side * 0.5;
    for (const VectorCell& cell : cells) {
        const QString text = glyphLabel(cell.index);
        if (!text.at(0).isPrint())
            continue; // a control character draws nothing, and SVG can't hold it
        const double width = labelFontPointSize * double(labelWidthPerPoint) * text.size();
        const double x = std::trunc(cell.corner.x() + half + (half - labelInset) - width);
        const double y = std::trunc(cell.corner.y() + half + (half - labelInset));
        painter.drawText(QPointF(x, y), text);
    }
}
