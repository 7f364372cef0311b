#include "bench/BenchView.h"

#include "tests/ViewProbe.h"
#include "cells/gl/CellPainter.h"
#include "geometry/GlyphCamera.h"
#include "cells/LabelFont.h"

#include <GL/glu.h>
#include <QApplication>

namespace {

using Probe = CharGLWidgetProbe;

} // namespace

BenchView::BenchView(const char* path) : CharGLWidget(nullptr, path) {
    setFixedSize(side, side);
}

void BenchView::paintOnce(bool asFloor) {
    floor = asFloor;
    glDraw();
    finishPending();
    floor = false; // a handler's repaint draws the view
}

void BenchView::finishPending() {
    QApplication::processEvents();
    makeCurrent();
    glFinish();
}

QImage BenchView::frame(bool asFloor) {
    floor = asFloor;
    const QImage image = grabFramebuffer(); // paints, resolves and reads back
    floor = false;
    return image;
}

int BenchView::samples() {
    makeCurrent();
    GLint count = 0;
    glGetIntegerv(GL_SAMPLES, &count);
    return count;
}

void BenchView::paintGL() {
    ++paints;
    if (floor)
        paintFloor();
    else
        CharGLWidget::paintGL();
    if (checkTarget) {
        GLint bound = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
        drewIntoOwnFbo = bound != 0 && GLuint(bound) == defaultFramebufferObject();
    }
}

void BenchView::prepareFloor() {
    makeCurrent();
    cells.clear();
    const int count = Probe::glyphCount(*this);
    const int size = Probe::cellSize(*this);
    const int columns = Probe::columns(*this);
    const float scroll = Probe::scrollOffset(*this);
    pointCount = Probe::pointsPerGlyph(*this);
    const CellPainter painter(*this);
    for (int i = 0; i < count; ++i) {
        const GridPoint corner = cellCornerOf(i, scroll, size, columns, side);
        if (corner.y > side)
            continue;
        if (corner.y < -size)
            break;
        FloorCell cell;
        cell.x = static_cast<GLint>(corner.x);
        cell.y = static_cast<GLint>(corner.y);
        cell.turning = (Probe::cellFlags(*this, i) & turningFlag) != 0;
        cell.points = Probe::glyphPoints(*this)[i];

        const GlyphCamera camera = placeGlyphCamera(cell.points, pointCount);
        cell.visible = camera.visible;
        // The matrices as the view builds them, read back from GL once.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(glyphFieldOfView, 1, glyphNearPlane, glyphFarPlane);
        glGetFloatv(GL_PROJECTION_MATRIX, cell.glyphProjection);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
                  camera.up.z);
        float rotation[16];
        rotationMatrix(rotation, Probe::orientation(*this, i));
        glMultMatrixf(rotation);
        glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);
        glGetFloatv(GL_MODELVIEW_MATRIX, cell.glyphModelView);

        cell.label = glyphLabel(i);
        cell.labelAt = painter.labelPosition(corner.x, corner.y, cell.label);
        cells.push_back(cell);
    }
}

void BenchView::paintFloor() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const CellPainter painter(*this);
    for (const FloorCell& cell : cells) {
        glViewport(cell.x, cell.y, gridCellSize, gridCellSize);
        glEnable(GL_MULTISAMPLE);
        CellPainter::drawFrame(cell.turning, 1);

        glPushAttrib(cellDrawingAttributes);
        if (cell.visible) {
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(cell.glyphProjection);
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(cell.glyphModelView);
            CellPainter::drawPoints(cell.points, pointCount, CellPainter::glyphLineWidth,
                                    CellPainter::glyphPointSize);
        }
        glPopAttrib();

        painter.drawLabel(cell.labelAt, cell.label);
    }
    glFlush();
}
