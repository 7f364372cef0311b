#include "view/CharGLWidget.h"

#include <QColor>
#include <QPainter>

void CharGLWidget::renderText(int x, int y, const QString& text, const QFont& font) {
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
        QPainter painter(this);
        // The viewport is in frame-buffer pixels from the bottom; the painter
        // works in widget coordinates from the top.
        const qreal ratio = devicePixelRatioF();
        const qreal top = height() * ratio - (viewport[1] + viewport[3]);
        painter.setClipRect(
            QRectF(viewport[0] / ratio, top / ratio, viewport[2] / ratio, viewport[3] / ratio));
        QColor pen;
        pen.setRgbF(colour[0], colour[1], colour[2], colour[3]);
        painter.setPen(pen);
        painter.setFont(font);
        painter.drawText(x, y, text);
    }
    for (GLenum matrix : {GL_TEXTURE, GL_PROJECTION, GL_MODELVIEW}) {
        glMatrixMode(matrix);
        glPopMatrix();
    }
    glPopClientAttrib();
    glPopAttrib();
}
