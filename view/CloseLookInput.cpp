#include "view/CharGLWidget.h"
#include "view/EventPosition.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

namespace {

// An arrow key pans by this many logical pixels.
constexpr double keyPanStep = 40;

// Shift+drag and a middle-button drag pan; any other drag turns.
bool pans(const QMouseEvent* event) {
    return event->button() == Qt::MiddleButton || (event->modifiers() & Qt::ShiftModifier);
}

// Normalised drag coordinates over the whole view: it spans -1 to 1, y upward.
GridPoint trackPositionInView(const QPoint& position, int height) {
    const double scale = 2.0 / gridViewSize, half = gridViewSize / 2.0;
    return {static_cast<float>((position.x() - half) * scale),
            static_cast<float>(((height - position.y()) - half) * scale)};
}

} // namespace

// A left double-click opens the glyph under it alone, and in the closer look
// goes back to the grid. The click's button is then held until its release,
// and turns nothing. Other double-clicks are further presses.
void CharGLWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint at = positionOf(event);
    bool taken = false;
    if (event->button() == Qt::LeftButton && pressedButton == Qt::NoButton) {
        if (closer.isOpen()) {
            showGrid();
            taken = true;
        } else {
            taken = showGlyphAlone(cellAt(static_cast<float>(at.x()), static_cast<float>(at.y())));
        }
    }
    if (!taken) {
        QOpenGLWidget::mouseDoubleClickEvent(event);
        return;
    }
    pressedButton = event->button();
    activeGlyph = -1;
    dragging = false;
}

// Enter opens the glyph under the pointer alone; Enter and Escape go back.
bool CharGLWidget::openOrCloseByKey(const QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter &&
        !(key == Qt::Key_Escape && closer.isOpen()))
        return false;
    if (closer.isOpen()) {
        showGrid();
        return true;
    }
    const QPoint at = mapFromGlobal(QCursor::pos());
    if (!rect().contains(at))
        return false;
    return showGlyphAlone(cellAt(static_cast<float>(at.x()), static_cast<float>(at.y())));
}

// The closer look's own keys: R turns back and fits, Home fits, the arrows
// pan, + and - zoom about the middle. Keys that would scroll the grid behind
// it do nothing; D and Ctrl+G are the grid's.
bool CharGLWidget::closeLookKey(const QKeyEvent* event) {
    const double side = gridViewSize;
    const CellPosition middle{side / 2, side / 2};
    switch (event->key()) {
    case Qt::Key_R:
        resetRotations();
        closer.zoom.fit();
        break;
    case Qt::Key_Home:
        closer.zoom.fit();
        break;
    case Qt::Key_Left:
    case Qt::Key_Right:
        closer.zoom.panBy(event->key() == Qt::Key_Left ? keyPanStep : -keyPanStep, 0, side);
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
        closer.zoom.panBy(0, event->key() == Qt::Key_Up ? keyPanStep : -keyPanStep, side);
        break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Minus:
        closer.zoom.zoomByWheel(event->key() == Qt::Key_Minus ? -120 : 120, middle, side);
        break;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
    redraw.everything();
    glDraw();
    return true;
}

void CharGLWidget::closeLookPress(const QMouseEvent* event) {
    const QPoint at = positionOf(event);
    pressedButton = event->button();
    dragging = false;
    closer.panning = pans(event);
    turningAll = !closer.panning && (event->modifiers() & Qt::ControlModifier);
    activeGlyph = closer.panning ? -1 : closer.glyph();
    closer.panX = at.x();
    closer.panY = at.y();
    dragCentre = {gridViewSize / 2.0f, gridViewSize / 2.0f};
    const GridPoint start = trackPositionInView(at, height());
    lastTrackX = start.x;
    lastTrackY = start.y;
}

void CharGLWidget::closeLookMove(const QPoint& position) {
    if (pressedButton == Qt::NoButton)
        return;
    if (closer.panning) {
        closer.zoom.panBy(position.x() - closer.panX, position.y() - closer.panY, gridViewSize);
        closer.panX = position.x();
        closer.panY = position.y();
    } else if (activeGlyph >= 0) {
        dragging = true;
        if (!turningAll)
            turns.setFlags(activeGlyph, turns.flags(activeGlyph) | turningFlag);
        const GridPoint now = trackPositionInView(position, height());
        Quaternion step;
        dragRotation(step, lastTrackX, lastTrackY, now.x, now.y);
        if (turningAll) {
            turns.turnAll(step);
        } else {
            float* orientation = turns.turn(activeGlyph);
            composeRotations(step, orientation, orientation);
        }
        lastTrackX = now.x;
        lastTrackY = now.y;
    } else {
        return;
    }
    redraw.everything();
    glDraw();
}

// The wheel zooms about the point under the pointer.
void CharGLWidget::closeLookWheel(QWheelEvent* event) {
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    event->accept();
    if (delta == 0)
        return;
    const QPointF at = event->position();
    closer.zoom.zoomByWheel(delta, {at.x(), at.y()}, gridViewSize);
    redraw.everything();
    glDraw();
}
