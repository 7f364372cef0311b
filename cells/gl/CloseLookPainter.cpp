#include "cells/gl/CloseLookPainter.h"

#include "cells/LabelFont.h"
#include "cells/gl/CellGlState.h"
#include "cells/gl/CellPainter.h"
#include "cells/gl/DirectionMarksGL.h"
#include "cells/gl/DrawThrottle.h"
#include "geometry/DirectionMarks.h"

#include <GL/glu.h>
#include <algorithm>
#include <cmath>

namespace {

// Points handed to GL in one call at most: a long run goes in pieces, so that
// GL's copy of the points it draws, and the work it queues, stay small
// whatever the glyph's size.
constexpr int pointsPerDraw = 16384;

void squareLoop(double low, double high) {
    glBegin(GL_LINE_LOOP);
    glVertex2d(low, low);
    glVertex2d(low, high);
    glVertex2d(high, high);
    glVertex2d(high, low);
    glEnd();
}

// The projection GL has, magnified and moved as the zoom and pan ask.
void magnifyProjection(const ZoomPan& zoom) {
    GLdouble projection[16];
    glMatrixMode(GL_PROJECTION);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glLoadIdentity();
    glTranslated(-zoom.centreX() * zoom.zoom(), -zoom.centreY() * zoom.zoom(), 0);
    glScaled(zoom.zoom(), zoom.zoom(), 1);
    glMultMatrixd(projection);
    glMatrixMode(GL_MODELVIEW);
}

} // namespace

void CloseLookPainter::paint(const CloseLookContent& look) const {
    const float ratio = cells.pixelRatio();
    const GLsizei side = static_cast<GLsizei>(float(look.side) * ratio);
    glViewport(0, 0, side, side);
    glEnable(GL_MULTISAMPLE);
    drawFrame(look.side, look.cell.turning);
    if (look.camera && look.camera->visible) {
        CellPainter::loadGlyphMatrices(*look.camera, look.cell.orientation);
        magnifyProjection(look.zoom);
        const std::vector<PointRun> runs = look.runsToDraw();
        drawRuns(look.cell.points, runs);
        if (look.cell.direction)
            drawDirectionMarks(look.directionMarksOf(runs), look.side, ratio);
    }
    const QString label = glyphLabel(look.cell.labelIndex);
    cells.drawLabel(cells.labelPosition(float(look.side - cellStyleSide), 0, label), label);
}

void CloseLookPainter::drawFrame(int side, bool turning) const {
    glPushAttrib(cellDrawingAttributes);
    glLineWidth(frameLineWidth * cells.pixelRatio());
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, side, 0, side);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3fv(frameColour);
    squareLoop(closeLookFrameLow, closeLookFrameHigh(side));
    if (turning) {
        glLineStipple(static_cast<GLint>(std::max(1L, std::lround(cells.pixelRatio()))), 0xAAAA);
        glEnable(GL_LINE_STIPPLE);
        squareLoop(closeLookTurningLow, closeLookTurningHigh(side));
        glDisable(GL_LINE_STIPPLE);
    }
    glPopAttrib();
}

void CloseLookPainter::drawRuns(const Point3* points, const std::vector<PointRun>& runs) const {
    const float ratio = cells.pixelRatio();
    glPushAttrib(cellDrawingAttributes);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, sizeof(Point3), points);

    DrawThrottle throttle;
    int queued = 0; // points handed over since the last piece ended
    auto draw = [&](GLenum mode, int from, int count) {
        if (queued + count > pointsPerDraw && queued > 0) {
            throttle.pieceDrawn();
            queued = 0;
        }
        glDrawArrays(mode, from, count);
        queued += count;
    };
    glLineWidth(glyphLineWidth * ratio);
    glColor3fv(glyphLineColour);
    for (const PointRun& run : runs) {
        const int end = run.first + run.lineCount;
        // Pieces share their end points, so the strip stays whole.
        for (int from = run.first; from + 1 < end; from += pointsPerDraw)
            draw(GL_LINE_STRIP, from, std::min(pointsPerDraw + 1, end - from));
    }
    glColor3fv(glyphPointColour);
    glPointSize(glyphPointSize * ratio);
    for (const PointRun& run : runs)
        for (int from = run.first; from < run.first + run.dotCount; from += pointsPerDraw)
            draw(GL_POINTS, from, std::min(pointsPerDraw, run.first + run.dotCount - from));

    glPopClientAttrib();
    glPopAttrib();
}
