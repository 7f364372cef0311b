#include "view/CharGLWidget.h"
#include "view/EventPosition.h"

#include "alphabet/Counted.h"
#include "alphabet/GlyphLabel.h"
#include "cells/LabelFont.h"

#include <QFocusEvent>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>

namespace {

// How a tooltip names glyph `index`: its place, its label as its cell shows it
// (none for a control character) and its points.
QString describeGlyph(int index, int points) {
    const int code = glyphLabelCode(index);
    const QString label = !labelIsDrawn(code) ? QString("no label (code %1)").arg(code)
                          : labelIsShownQuoted(code)
                              ? QString("label \"%1\" (code %2)").arg(glyphLabel(index)).arg(code)
                              : QString("label a blank (code %1)").arg(code);
    return QString("Glyph %1: %2, %3")
        .arg(index)
        .arg(label)
        .arg(QString::fromStdString(counted(points, "point")));
}

} // namespace

// Normalised drag coordinates: the cell of the press spans -1 to 1, y upward.
GridPoint CharGLWidget::trackPosition(const QPoint& position) const {
    const double scale = 2.0 / static_cast<float>(gridCellSize);
    const double x = (position.x() - double(dragCentre.x)) * scale;
    const double y = ((height() - position.y()) - double(dragCentre.y)) * scale;
    return {static_cast<float>(x), static_cast<float>(y)};
}

void CharGLWidget::mousePressEvent(QMouseEvent* event) {
    if (pressedButton != Qt::NoButton)
        return; // a second button during a press is ignored
    if (closer.isOpen()) {
        closeLookPress(event);
        return;
    }
    pressedButton = event->button();
    const QPoint at = positionOf(event);
    activeGlyph = cellAt(static_cast<float>(at.x()), static_cast<float>(at.y()));
    if (activeGlyph >= 0) {
        dragCentre = cellCentre(activeGlyph);
        const GridPoint start = trackPosition(at);
        lastTrackX = start.x;
        lastTrackY = start.y;
    }
    turningAll = activeGlyph >= 0 && (event->modifiers() & Qt::ControlModifier);
    dragging = false;
}

void CharGLWidget::mouseMoveEvent(QMouseEvent* event) {
    // The drag's button came up where the view didn't see it (a dialog, another
    // window): the press is over, and this move turns nothing.
    if (pressedButton != Qt::NoButton && !(event->buttons() & pressedButton))
        endPress();
    if (closer.isOpen()) {
        closeLookMove(positionOf(event));
        return;
    }
    if (activeGlyph < 0)
        return;
    dragging = true;
    if (!turningAll)
        turns.setFlags(activeGlyph, turns.flags(activeGlyph) | turningFlag);
    const GridPoint now = trackPosition(positionOf(event));
    Quaternion step;
    dragRotation(step, lastTrackX, lastTrackY, now.x, now.y);
    if (turningAll) {
        turns.turnAll(step);
        redraw.everything();
    } else {
        float* orientation = turns.turn(activeGlyph);
        composeRotations(step, orientation, orientation);
        redraw.onlyGlyph(activeGlyph, scrollOffset);
    }
    lastTrackX = now.x;
    lastTrackY = now.y;
    glDraw();
}

void CharGLWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == pressedButton)
        endPress();
}

// The glyph keeps the turn it was given and loses its stippled frame.
void CharGLWidget::endPress() {
    if (dragging && activeGlyph >= 0) {
        if (!turningAll)
            turns.setFlags(activeGlyph,
                           static_cast<unsigned char>(turns.flags(activeGlyph) & ~turningFlag));
        dragging = false;
        redraw.everything();
        glDraw();
    }
    activeGlyph = -1;
    turningAll = false;
    pressedButton = Qt::NoButton;
}

void CharGLWidget::keyPressEvent(QKeyEvent* event) {
    if (openOrCloseByKey(event) || (closer.isOpen() && closeLookKey(event)))
        return;
    if (event->key() == Qt::Key_R) {
        resetRotations();
        redraw.everything();
        glDraw();
    } else if (event->key() == Qt::Key_D && !(event->modifiers() & Qt::ControlModifier)) {
        setDirectionShown(!showDirection);
    } else if (event->key() == Qt::Key_G && (event->modifiers() & Qt::ControlModifier)) {
        askForGlyph();
    } else if (!scrollByKey(event->key())) {
        QOpenGLWidget::keyPressEvent(event); // not ours: the window may want it
    }
}

// Up and Down move a row as a wheel notch does; Page Up and Page Down move by
// the rows the view shows, Home and End go to the first and last rows, never past them.
bool CharGLWidget::scrollByKey(int key) {
    const int count = glyphCount();
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        scrollTo(scrollAfterSteps(scrollOffset, key == Qt::Key_Up ? 1 : -1, gridCellSize,
                                  gridColumns, height(), count));
        return true;
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        scrollTo(offsetByRows(scrollOffset, key == Qt::Key_PageUp ? -gridRowsShown : gridRowsShown,
                              gridCellSize, gridColumns, height(), count));
        return true;
    case Qt::Key_Home:
        scrollTo(homeOffset());
        return true;
    case Qt::Key_End:
        scrollTo(endOffset(gridCellSize, gridColumns, height(), count));
        return true;
    default:
        return false;
    }
}

void CharGLWidget::resetRotations() {
    turns.resetOrientations();
}

bool CharGLWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        showGlyphTip(help->pos(), help->globalPos());
        return true;
    }
    if (pressedButton != Qt::NoButton && takesTheMouse(event))
        endPress();
    return QOpenGLWidget::event(event);
}

// Whether `event` says the mouse went to something else, which then sees the
// release: a modal dialog or message box that blocks the window, or a popup.
// Anything else that takes the release is caught by the next move.
bool CharGLWidget::takesTheMouse(const QEvent* event) {
    return event->type() == QEvent::WindowBlocked ||
           (event->type() == QEvent::FocusOut &&
            static_cast<const QFocusEvent*>(event)->reason() == Qt::PopupFocusReason);
}

void CharGLWidget::showGlyphTip(const QPoint& position, const QPoint& globalPosition) {
    const int index = closer.isOpen() ? closer.glyph()
                                      : cellAt(static_cast<float>(position.x()),
                                               static_cast<float>(position.y()));
    if (index < 0) {
        QToolTip::hideText();
        return;
    }
    const QString point =
        closer.isOpen() ? describeCloseLookPoint(position) : describePointAt(index, position);
    QToolTip::showText(globalPosition,
                       describeGlyph(index, pointsPerGlyph()) +
                           (point.isEmpty() ? QString() : "\n" + point),
                       this);
}
