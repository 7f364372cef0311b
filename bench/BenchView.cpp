#include "bench/BenchView.h"

#include "cells/LabelFont.h"
#include "cells/gl/CellPainter.h"
#include "geometry/GlyphCamera.h"
#include "tests/ViewProbe.h"

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
    pointCount = Probe::pointsPerGlyph(*this);
    const CellPainter painter(*this);
    // The cells the view's paint walks, with the matrices its painter loads,
    // read back from GL once.
    forEachCellInView(Probe::scrollOffset(*this), gridCellSize, gridColumns, side,
                      Probe::glyphCount(*this), [&](int i, float x, float y) {
                          FloorCell cell;
                          cell.x = x;
                          cell.y = y;
                          cell.turning = (Probe::cellFlags(*this, i) & turningFlag) != 0;
                          cell.points = Probe::glyphPoints(*this)[i];
                          const GlyphCamera camera = placeGlyphCamera(cell.points, pointCount);
                          cell.visible = camera.visible;
                          CellPainter::loadGlyphMatrices(camera, Probe::orientation(*this, i));
                          glGetFloatv(GL_PROJECTION_MATRIX, cell.glyphProjection);
                          glGetFloatv(GL_MODELVIEW_MATRIX, cell.glyphModelView);
                          cell.label = glyphLabel(i);
                          cell.labelAt = painter.labelPosition(x, y, cell.label);
                          cells.push_back(cell);
                      });
}

void BenchView::paintFloor() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const CellPainter painter(*this);
    for (const FloorCell& cell : cells) {
        painter.placeCell(cell.x, cell.y);
        painter.drawFrame(cell.turning);
        if (cell.visible) {
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(cell.glyphProjection);
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(cell.glyphModelView);
            painter.drawGlyphPoints(cell.points, pointCount);
        }
        painter.drawLabel(cell.labelAt, cell.label);
    }
    glFlush();
}
