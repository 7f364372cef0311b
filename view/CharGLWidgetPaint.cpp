#include "cells/gl/CellPainter.h"
#include "view/CharGLWidget.h"
#include "view/GlSupportCheck.h"

#include <QOpenGLContext>

// Sizes are in logical pixels; the painter multiplies each by the device
// pixel ratio (1 on an ordinary screen) where it reaches GL.
void CharGLWidget::initializeGL() {
    const GLsizei side =
        static_cast<GLsizei>(gridViewSize * static_cast<float>(devicePixelRatioF()));
    glViewport(0, 0, side, side);
    CellPainter::prepareContext();
    checkGlSupport(context()->format().majorVersion());
}

void CharGLWidget::resizeGL(int, int) {
    redraw.everything(); // a new frame buffer holds nothing yet
}

void CharGLWidget::paintGL() {
    const int onlyGlyph = redraw.take(scrollOffset);
    if (closer.isOpen()) {
        paintCloseLook();
        return;
    }
    const CellPainter painter(*this);
    if (onlyGlyph >= 0) {
        redrawCell(painter, onlyGlyph);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    painter.paintGrid(scrollOffset, gridColumns, glyphCount(),
                      [this](int index) { return cellContent(index); });
    glFlush();
}

// A drag step turned one glyph: its cell alone is cleared and drawn again,
// under a scissor, so the pixels are those a full paint gives and no other
// cell is touched.
void CharGLWidget::redrawCell(const CellPainter& painter, int index) {
    const GridPoint corner =
        cellCornerOf(index, scrollOffset, gridCellSize, gridColumns, gridViewSize);
    CellPainter::scissorCells(true);
    painter.scissorCell(corner.x, corner.y);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    painter.paintCell(cellContent(index), corner.x, corner.y);
    CellPainter::scissorCells(false);
    glFlush();
}

CellContent CharGLWidget::cellContent(int index) const {
    CellContent cell;
    cell.points = alphabet.glyph(index);
    cell.pointCount = pointsPerGlyph();
    cell.orientation = turns.orientation(index);
    // A drag that turns every glyph marks every cell.
    cell.turning = (turns.flags(index) & turningFlag) || (dragging && turningAll);
    cell.direction = showDirection;
    cell.labelIndex = index;
    return cell;
}
