#include "cells/gl/DirectionMarksGL.h"

#include "cells/gl/CellGlState.h"
#include "geometry/DirectionMarks.h"

#include <cmath>

namespace {

constexpr int ringSegments = 28;

void vertex(const CellPosition& p) {
    glVertex2d(p.x, p.y);
}

} // namespace

void drawDirectionMarks(const Point3* points, int count, const GlyphProjection& projection,
                        int cellSize, float pixelRatio) {
    drawDirectionMarks(directionMarks(points, count, projection, cellSize), cellSize, pixelRatio);
}

void drawDirectionMarks(const DirectionMarks& marks, int cellSize, float pixelRatio) {
    glPushAttrib(cellDrawingAttributes);
    glDisable(GL_DEPTH_TEST); // over the glyph's lines and points
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, cellSize, cellSize, 0, -1, 1); // cell positions: y downward
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // A white edge parts each arrowhead from the red points under it.
    glColor3f(1, 1, 1);
    glLineWidth(directionArrowEdgeWidth * pixelRatio);
    for (const DirectionArrow& arrow : marks.arrows) {
        glBegin(GL_LINE_LOOP);
        vertex(arrow.tip);
        vertex(arrow.left);
        vertex(arrow.right);
        glEnd();
    }
    glColor3fv(directionArrowColour);
    glBegin(GL_TRIANGLES);
    for (const DirectionArrow& arrow : marks.arrows) {
        vertex(arrow.tip);
        vertex(arrow.left);
        vertex(arrow.right);
    }
    glEnd();

    if (marks.hasStart) {
        glColor3fv(directionStartColour);
        glLineWidth(directionRingLineWidth * pixelRatio);
        glBegin(GL_LINE_LOOP);
        const double pi = std::acos(-1.0);
        for (int k = 0; k < ringSegments; ++k) {
            const double a = 2 * pi * k / ringSegments;
            glVertex2d(marks.start.x + marks.ringRadius * std::cos(a),
                       marks.start.y + marks.ringRadius * std::sin(a));
        }
        glEnd();
    }
    glPopAttrib();
}
