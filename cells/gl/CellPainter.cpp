#include "cells/gl/CellPainter.h"

#include "alphabet/GlyphLabel.h"
#include "cells/CellStyle.h"
#include "cells/LabelFont.h"
#include "cells/gl/CellGlState.h"
#include "cells/gl/DirectionMarksGL.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphProjection.h"
#include "geometry/GridGeometry.h"

#include <GL/glu.h>
#include <QColor>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// A square outline from (low, low) to (high, high) in the cell's own units.
void squareLoop(float low, float high) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(low, low);
    glVertex2f(low, high);
    glVertex2f(high, high);
    glVertex2f(high, low);
    glEnd();
}

} // namespace

CellPainter::CellPainter(QPaintDevice& textDevice)
    : device(textDevice), ratio(static_cast<float>(textDevice.devicePixelRatioF())),
      font(labelFont()) {}

// Four samples per pixel, in a compatibility profile: the drawing is
// fixed-function, immediate-mode GL.
QSurfaceFormat CellPainter::surfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSamples(4);
    return format;
}

void CellPainter::prepareContext() {
    glClearColor(1, 1, 1, 1);
    glClearAccum(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_MULTISAMPLE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void CellPainter::paintCell(const CellContent& cell, float x, float y) const {
    placeCell(x, y);
    drawFrame(cell.turning);
    // One camera serves the glyph and its direction marks.
    const GlyphCamera camera = placeGlyphCamera(cell.points, cell.pointCount);
    if (camera.visible) {
        loadGlyphMatrices(camera, cell.orientation);
        drawGlyphPoints(cell.points, cell.pointCount);
    }
    if (cell.direction && camera.visible)
        drawDirectionMarks(cell.points, cell.pointCount, GlyphProjection(camera, cell.orientation),
                           gridCellSize, ratio);
    // A control character's label is none, on every route (labelIsDrawn).
    if (!labelIsDrawn(glyphLabelCode(cell.labelIndex)))
        return;
    const QString label = glyphLabel(cell.labelIndex);
    drawLabel(labelPosition(x, y, label), label);
}

void CellPainter::scissorCells(bool on) {
    if (on)
        glEnable(GL_SCISSOR_TEST);
    else
        glDisable(GL_SCISSOR_TEST);
}

void CellPainter::scissorCell(float x, float y) const {
    const GLsizei side = static_cast<GLsizei>(gridCellSize * ratio);
    glScissor(static_cast<GLint>(x * ratio), static_cast<GLint>(double(y) * ratio), side, side);
}

void CellPainter::placeCell(float x, float y) const {
    const GLsizei side = static_cast<GLsizei>(gridCellSize * ratio);
    glViewport(static_cast<GLint>(x * ratio), static_cast<GLint>(double(y) * ratio), side, side);
    glEnable(GL_MULTISAMPLE);
}

void CellPainter::drawFrame(bool turning) const {
    glPushAttrib(cellDrawingAttributes);
    glLineWidth(frameLineWidth * ratio);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, cellStyleSide, 0, cellStyleSide);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3fv(frameColour);
    squareLoop(frameInsetLow, frameInsetHigh);
    if (turning) {
        glLineStipple(static_cast<GLint>(std::max(1L, std::lround(ratio))), 0xAAAA);
        glEnable(GL_LINE_STIPPLE);
        squareLoop(turningFrameLow, turningFrameHigh);
        glDisable(GL_LINE_STIPPLE);
    }
    glPopAttrib();
}

void CellPainter::loadGlyphMatrices(const GlyphCamera& camera, const float* orientation) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(glyphFieldOfView, 1, glyphNearPlane, glyphFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
              camera.up.z);
    float rotation[16];
    rotationMatrix(rotation, orientation);
    glMultMatrixf(rotation);
    glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);
}

void CellPainter::drawGlyphPoints(const Point3* points, int pointCount) const {
    glPushAttrib(cellDrawingAttributes);
    glLineWidth(glyphLineWidth * ratio);
    glColor3fv(glyphLineColour);
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < pointCount; ++k)
        glVertex3fv(&points[k].x);
    glEnd();

    glColor3fv(glyphPointColour);
    glPointSize(glyphPointSize * ratio);
    glBegin(GL_POINTS);
    for (int k = 0; k < pointCount; ++k)
        glVertex3fv(&points[k].x);
    glEnd();
    glPopAttrib();
}

// The label's place as labelBaseline gives it, from the cell's top-left corner
// in the device's coordinates, rounded through floats as the view always has:
// the pixels of every picture drawn before stay as they were.
QPoint CellPainter::labelPosition(float x, float y, const QString& text) const {
    const double height = device.height();
    const double top = height - (double(y) + gridCellSize);
    const LabelBaseline exact = labelBaseline(double(x), top, static_cast<int>(text.size()));
    // Back to GL's y upward, in float, and down again.
    const float baseGl = static_cast<float>(height - exact.y);
    const float base = static_cast<float>(height - double(baseGl));
    return QPoint(static_cast<int>(static_cast<float>(exact.x)), static_cast<int>(base));
}

void CellPainter::drawLabel(QPoint position, const QString& text) const {
    glPushAttrib(cellDrawingAttributes);
    glColor3fv(labelColour);
    drawText(position, text);
    glPopAttrib();
    glEnable(GL_MULTISAMPLE);
}

// Writes `text` in the current GL colour.
void CellPainter::drawText(QPoint position, const QString& text) const {
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);

    // QPainter changes the depth test, multisampling, blending, viewport,
    // scissor and more; the drawing after it relies on none of that changing.
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPushMatrix();
    }
    {
        QPainter painter(&device);
        // The viewport is in frame-buffer pixels from the bottom; the painter
        // works in logical pixels from the top.
        const qreal scale = device.devicePixelRatioF();
        const qreal top = device.height() * scale - (viewport[1] + viewport[3]);
        painter.setClipRect(
            QRectF(viewport[0] / scale, top / scale, viewport[2] / scale, viewport[3] / scale));
        QColor pen;
        pen.setRgbF(colour[0], colour[1], colour[2], colour[3]);
        painter.setPen(pen);
        painter.setFont(font);
        painter.drawText(position, text);
    }
    for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}
