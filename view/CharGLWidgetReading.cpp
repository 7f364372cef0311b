#include "view/CharGLWidget.h"

#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "view/GoToGlyphDialog.h"

#include <algorithm>
#include <charconv>

namespace {

// `value` in the fewest digits that give back the same float, as export writes
// it: the tooltip's numbers can be searched for in the exported text.
QString shortest(float value) {
    char text[32];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
    return QString::fromLatin1(text, int(written.ptr - text));
}

} // namespace

void CharGLWidget::setDirectionShown(bool shown) {
    if (shown == showDirection)
        return;
    showDirection = shown;
    redraw.everything();
    glDraw();
}

void CharGLWidget::goToGlyph(int index) {
    if (closer.isOpen()) {
        showGlyphAlone(index); // the closer look goes to that glyph
        return;
    }
    const double row = std::max(index, 0) / gridColumns;
    scrollTo(
        std::min(row * gridCellSize, endOffset(gridCellSize, gridColumns, height(), glyphCount())));
}

void CharGLWidget::askForGlyph() {
    auto* dialog = new GoToGlyphDialog(
        this, [this] { return glyphCount(); }, path);
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
    // The pointer is at the centre of its pixel.
    const GridCorner corner = cellTopLeft(index);
    const int nearest = nearestPoint(
        points, count, GlyphProjection(camera, turns.orientation(index)), gridCellSize,
        {position.x() + 0.5 - corner.x, position.y() + 0.5 - corner.y}, pointPickRadius);
    return nearest < 0 ? QString() : describePoint(points, nearest);
}

// Point `nearest` of the glyph whose points are at `points`, as a tooltip line.
QString CharGLWidget::describePoint(const Point3* points, int nearest) {
    const Point3& p = points[nearest];
    return QString("Point %1: x %2, y %3, z %4")
        .arg(nearest)
        .arg(shortest(p.x), shortest(p.y), shortest(p.z));
}
