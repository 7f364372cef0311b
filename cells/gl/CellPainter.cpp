#include "cells/gl/CellPainter.h"

#include "cells/gl/DirectionMarksGL.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphProjection.h"
#include "geometry/GridGeometry.h"
#include "cells/LabelFont.h"

#include <GL/glu.h>
#include <QColor>
#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

constexpr float frameLineWidth = 2.0f;

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
    const GLsizei side = static_cast<GLsizei>(gridCellSize * ratio);
    glViewport(static_cast<GLint>(x * ratio), static_cast<GLint>(double(y) * ratio), side, side);
    glEnable(GL_MULTISAMPLE);
    drawFrame(cell.turning, ratio);
    // One camera serves the glyph and its direction marks.
    const GlyphCamera camera = placeGlyphCamera(cell.points, cell.pointCount);
    drawGlyph(cell, camera);
    if (cell.direction && camera.visible)
        drawDirectionMarks(cell.points, cell.pointCount, GlyphProjection(camera, cell.orientation),
                           gridCellSize, ratio);
    const QString label = glyphLabel(cell.labelIndex);
    drawLabel(labelPosition(x, y, label), label);
}

void CellPainter::drawFrame(bool turning, float pixelRatio) {
    glPushAttrib(cellDrawingAttributes);
    glLineWidth(frameLineWidth * pixelRatio);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, 100, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 0, 1);
    squareLoop(2.5f, 97.5f);
    if (turning) {
        glLineStipple(static_cast<GLint>(std::max(1L, std::lround(pixelRatio))), 0xAAAA);
        glEnable(GL_LINE_STIPPLE);
        squareLoop(4.5f, 95.5f);
        glDisable(GL_LINE_STIPPLE);
    }
    glPopAttrib();
}

void CellPainter::drawGlyph(const CellContent& cell, const GlyphCamera& camera) const {
    glPushAttrib(cellDrawingAttributes);
    if (camera.visible) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(glyphFieldOfView, 1, glyphNearPlane, glyphFarPlane);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
                  camera.up.z);
        float rotation[16];
        rotationMatrix(rotation, cell.orientation);
        glMultMatrixf(rotation);
        glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);
        drawPoints(cell.points, cell.pointCount, glyphLineWidth * ratio, glyphPointSize * ratio);
    }
    glPopAttrib();
}

void CellPainter::drawPoints(const Point3* points, int pointCount, float lineWidth,
                             float pointSize) {
    glLineWidth(lineWidth);
    glColor3f(0, 0, 0);
    glBegin(GL_LINE_STRIP);
    for (int k = 0; k < pointCount; ++k)
        glVertex3fv(&points[k].x);
    glEnd();

    glColor3f(1, 0, 0);
    glPointSize(pointSize);
    glBegin(GL_POINTS);
    for (int k = 0; k < pointCount; ++k)
        glVertex3fv(&points[k].x);
    glEnd();
}

QPoint CellPainter::labelPosition(float x, float y, const QString& text) const {
    const float width = static_cast<float>(labelFontPointSize * double(labelWidthPerPoint) *
                                           static_cast<double>(text.size()));
    const float half = static_cast<float>(gridCellSize * 0.5);
    // The cell's centre, as the grid places it.
    const double centreX = double(x) + double(half);
    const double centreY = double(y) + double(half);
    const float left = static_cast<float>(centreX + double(half - labelInset) - double(width));
    const float baseGl = static_cast<float>(centreY + double(labelInset - half));
    const float base = static_cast<float>(device.height() - double(baseGl));
    return QPoint(static_cast<int>(left), static_cast<int>(base));
}

void CellPainter::drawLabel(QPoint position, const QString& text) const {
    glPushAttrib(cellDrawingAttributes);
    glColor3f(0, 0, 0);
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
