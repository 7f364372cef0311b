#include "view/CharGLWidget.h"

#include <QKeyEvent>
#include <QMouseEvent>

// Normalised drag coordinates: the cell of the press spans -1 to 1, y upward.
GridPoint CharGLWidget::trackPosition(const QPoint& position) const {
    const double scale = 2.0 / static_cast<float>(cellSize);
    const double x = (position.x() - double(dragCentre.x)) * scale;
    const double y = ((height() - position.y()) - double(dragCentre.y)) * scale;
    return {static_cast<float>(x), static_cast<float>(y)};
}

void CharGLWidget::mousePressEvent(QMouseEvent* event) {
    if (pressedButton != Qt::NoButton)
        return; // a second button during a press is ignored
    pressedButton = event->button();
    activeGlyph =
        cellAt(static_cast<float>(event->pos().x()), static_cast<float>(event->pos().y()));
    if (activeGlyph >= 0) {
        dragCentre = cellCentre(activeGlyph);
        const GridPoint start = trackPosition(event->pos());
        lastTrackX = start.x;
        lastTrackY = start.y;
    }
    dragging = false;
}

void CharGLWidget::mouseMoveEvent(QMouseEvent* event) {
    if (activeGlyph < 0)
        return;
    dragging = true;
    cellFlags[activeGlyph] |= turningFlag;
    const GridPoint now = trackPosition(event->pos());
    Quaternion step;
    dragRotation(step, lastTrackX, lastTrackY, now.x, now.y);
    composeRotations(step, orientations[activeGlyph], orientations[activeGlyph]);
    lastTrackX = now.x;
    lastTrackY = now.y;
    glDraw();
}

void CharGLWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != pressedButton)
        return;
    if (dragging && activeGlyph >= 0) {
        cellFlags[activeGlyph] &= static_cast<unsigned char>(~turningFlag);
        dragging = false;
        glDraw();
    }
    activeGlyph = -1;
    pressedButton = Qt::NoButton;
}

void CharGLWidget::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_R)
        return;
    resetRotations();
    glDraw();
}

void CharGLWidget::resetRotations() {
    for (int i = 0; i < glyphCount; ++i)
        dragRotation(orientations[i], 0, 0, 0, 0);
}
