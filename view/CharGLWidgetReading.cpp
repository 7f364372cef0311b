#include "view/CharGLWidget.h"

#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "view/GoToGlyphDialog.h"

#include <algorithm>

namespace {

// How far from a drawn point the pointer may be, in logical pixels, to name it.
constexpr double pointPickRadius = 4;

} // namespace

void CharGLWidget::setDirectionShown(bool shown) {
    if (shown == showDirection)
        return;
    showDirection = shown;
    redraw.everything();
    glDraw();
}

void CharGLWidget::goToGlyph(int index) {
    const double row = std::max(index, 0) / columns;
    scrollTo(std::min(row * cellSize, endOffset(cellSize, columns, height(), glyphCount())));
}

void CharGLWidget::askForGlyph() {
    auto* dialog = new GoToGlyphDialog(this, glyphCount(), path);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &GoToGlyphDialog::glyphChosen, this, &CharGLWidget::goToGlyph);
    dialog->open();
}

QString CharGLWidget::describePointAt(int index, const QPoint& position) const {
    const Point3* points = alphabet.glyph(index);
    const int count = pointsPerGlyph();
    const GlyphCamera camera = placeGlyphCamera(points, count);
    if (!camera.visible)
        return QString();
    // The cell's top-left corner in widget coordinates, as cellAt places it;
    // the pointer is at the centre of its pixel.
    const double left = double(index % columns) * cellSize;
    const double top = double(index / columns) * cellSize - scrollOffset;
    const int nearest =
        nearestPoint(points, count, GlyphProjection(camera, turns.orientation(index)), cellSize,
                     {position.x() + 0.5 - left, position.y() + 0.5 - top}, pointPickRadius);
    if (nearest < 0)
        return QString();
    const Point3& p = points[nearest];
    return QString("Point %1: x %2, y %3, z %4")
        .arg(nearest)
        .arg(double(p.x), 0, 'g', 7)
        .arg(double(p.y), 0, 'g', 7)
        .arg(double(p.z), 0, 'g', 7);
}
