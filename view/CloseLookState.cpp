#include "alphabet/GlyphLabel.h"
#include "cells/LabelFont.h"
#include "view/CharGLWidget.h"

bool CharGLWidget::showGlyphAlone(int index) {
    if (index < 0 || index >= glyphCount())
        return false;
    if (pressedButton != Qt::NoButton)
        endPress();
    closer.open(index, alphabet.glyph(index), pointsPerGlyph());
    closeLookGone.clear();
    redraw.everything();
    glDraw();
    emit shownGlyphChanged();
    return true;
}

void CharGLWidget::showGrid() {
    if (!closer.isOpen())
        return;
    if (pressedButton != Qt::NoButton)
        endPress();
    closer.close();
    redraw.everything();
    glDraw();
    emit shownGlyphChanged();
}

// The file shown changed. A reload keeps the closer look on its glyph while
// the file still holds it, zoom and pan as they were; anything else goes back to the grid.
void CharGLWidget::keepCloseLook(bool keepView) {
    const bool noted = !closeLookGone.isEmpty();
    if (!keepView)
        closeLookGone.clear();
    if (!closer.isOpen()) {
        if (noted && closeLookGone.isEmpty())
            emit shownGlyphChanged();
        return;
    }
    const int index = closer.glyph();
    if (keepView && index < glyphCount()) {
        closer.take(alphabet.glyph(index), pointsPerGlyph());
        return;
    }
    if (keepView)
        closeLookGone = QString("glyph %1 is no longer in the file").arg(index);
    closer.close();
    emit shownGlyphChanged();
}

QString CharGLWidget::shownGlyphTitle() const {
    if (!closer.isOpen())
        return closeLookGone;
    const int index = closer.glyph();
    const int code = glyphLabelCode(index);
    return labelIsShownQuoted(code) ? QString("glyph %1 \"%2\"").arg(index).arg(glyphLabel(index))
                                    : QString("glyph %1 (code %2)").arg(index).arg(code);
}

CloseLookContent CharGLWidget::closeLookShown() const {
    CloseLookContent look;
    look.cell = cellContent(closer.glyph());
    look.camera = &closer.camera;
    look.chunks = closer.chunksForDrawing();
    look.zoom = closer.zoom;
    look.side = gridViewSize;
    return look;
}

QString CharGLWidget::describeCloseLookPoint(const QPoint& position) const {
    if (!closer.camera.visible)
        return QString();
    const CloseLookContent look = closeLookShown();
    // The pointer is at the centre of its pixel.
    const int nearest = closer.chunks().nearestPoint(
        look.projection(), look.side, {position.x() + 0.5, position.y() + 0.5}, pointPickRadius);
    return nearest < 0 ? QString() : describePoint(look.cell.points, nearest);
}
