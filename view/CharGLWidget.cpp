#include "view/CharGLWidget.h"

#include "alphabet/AlphabetLoader.h"
#include "trackball/Trackball.h"

#include <QSurfaceFormat>
#include <QWheelEvent>
#include <cstring>

namespace {

// Four samples per pixel, in a compatibility profile: the drawing is
// fixed-function, immediate-mode GL.
QSurfaceFormat viewFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setDepthBufferSize(24);
    format.setSamples(4);
    return format;
}

} // namespace

CharGLWidget::CharGLWidget(QWidget* parent, const char* alphabetPath)
    : QOpenGLWidget(parent, Qt::WindowFlags()) {
    setFormat(viewFormat());
    // The counts stay 0 when the file can't be opened: the view is then empty.
    pointData = loadAlphabet(alphabetPath, pointsPerGlyph, glyphCount);

    glyphPoints = new Point3*[glyphCount];
    orientations = new Quaternion[glyphCount];
    cellFlags = new unsigned char[glyphCount];
    std::memset(cellFlags, 0, static_cast<std::size_t>(glyphCount));
    for (int i = 0; i < glyphCount; ++i) {
        glyphPoints[i] = pointData + static_cast<std::size_t>(i) * pointsPerGlyph;
        dragRotation(orientations[i], 0, 0, 0, 0);
    }

    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

CharGLWidget::~CharGLWidget() {
    delete[] pointData;
    delete[] glyphPoints;
    delete[] orientations;
    delete[] cellFlags;
}

int CharGLWidget::cellAt(float x, float y) const {
    return cellIndexAt(x, y, scrollOffset, cellSize, columns, glyphCount);
}

GridPoint CharGLWidget::cellCentre(int index) const {
    return cellCentreOf(index, scrollOffset, cellSize, columns, height());
}

void CharGLWidget::wheelEvent(QWheelEvent* event) {
    // One delta, as a single-axis wheel reports it: the vertical one, else the horizontal.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    scrollOffset =
        scrollAfterSteps(scrollOffset, wheelSteps(delta), cellSize, columns, height(), glyphCount);
    event->accept();
    glDraw();
}

void CharGLWidget::glDraw() {
    repaint();
}
