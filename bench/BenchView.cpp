#include "bench/BenchView.h"

#include "tests/ViewProbe.h"
#include "view/CellOutline.h"
#include "view/GlyphCamera.h"

#include <GL/glu.h>
#include <QApplication>

namespace {

using Probe = CharGLWidgetProbe;

} // namespace

BenchView::BenchView(const char* path) : CharGLWidget(nullptr, path) {
    setFixedSize(side, side);
}

void BenchView::paintOnce(bool asFloor) {
    floor = asFloor;
    glDraw();
    finishPending();
    floor = false; // a handler's repaint draws the view
}

void BenchView::finishPending() {
    QApplication::processEvents();
    makeCurrent();
    glFinish();
}

QImage BenchView::frame(bool asFloor) {
    floor = asFloor;
    const QImage image = grabFramebuffer(); // paints, resolves and reads back
    floor = false;
    return image;
}

int BenchView::samples() {
    makeCurrent();
    GLint count = 0;
    glGetIntegerv(GL_SAMPLES, &count);
    return count;
}

void BenchView::paintGL() {
    ++paints;
    if (floor)
        paintFloor();
    else
        CharGLWidget::paintGL();
    if (checkTarget) {
        GLint bound = 0;
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
        drewIntoOwnFbo = bound != 0 && GLuint(bound) == defaultFramebufferObject();
    }
}

void BenchView::prepareFloor() {
    makeCurrent();
    cells.clear();
    const int count = Probe::glyphCount(*this);
    const int size = Probe::cellSize(*this);
    const int columns = Probe::columns(*this);
    const float scroll = Probe::scrollOffset(*this);
    pointCount = Probe::pointsPerGlyph(*this);
    font = QFont("Lucida Console", 16, 50, false);
    font.setStyleStrategy(QFont::PreferAntialias);
    for (int i = 0; i < count; ++i) {
        const GridPoint corner = cellCornerOf(i, scroll, size, columns, side);
        if (corner.y > side)
            continue;
        if (corner.y < -size)
            break;
        FloorCell cell;
        cell.x = static_cast<GLint>(corner.x);
        cell.y = static_cast<GLint>(corner.y);
        cell.turning = (Probe::cellFlags(*this, i) & turningFlag) != 0;
        cell.points = Probe::glyphPoints(*this)[i];

        // The matrices as the view builds them, read back from GL once.
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, 100, 0, 100);
        glGetFloatv(GL_PROJECTION_MATRIX, cell.frameProjection);

        const GlyphCamera camera = placeGlyphCamera(cell.points, pointCount);
        cell.visible = camera.visible;
        glLoadIdentity();
        gluPerspective(glyphFieldOfView, 1, glyphNearPlane, glyphFarPlane);
        glGetFloatv(GL_PROJECTION_MATRIX, cell.glyphProjection);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
                  camera.up.z);
        float rotation[16];
        rotationMatrix(rotation, Probe::orientation(*this, i));
        glMultMatrixf(rotation);
        glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);
        glGetFloatv(GL_MODELVIEW_MATRIX, cell.glyphModelView);

        const float width = static_cast<float>(16 * double(0.83f) * 1);
        const float half = static_cast<float>(size * 0.5);
        const GridPoint centre = cellCentreOf(i, scroll, size, columns, height());
        const float x = static_cast<float>(double(centre.x) + (half - 10) - width);
        const float yGl = static_cast<float>(double(centre.y) + (10 - half));
        cell.labelX = static_cast<int>(x);
        cell.labelY = static_cast<int>(static_cast<float>(height() - double(yGl)));
        cell.label = QString(QChar::fromLatin1(static_cast<char>((65 + i) % 256)));
        cells.push_back(cell);
    }
}

void BenchView::paintFloor() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    for (const FloorCell& cell : cells) {
        glViewport(cell.x, cell.y, 100, 100);
        glEnable(GL_MULTISAMPLE);

        glPushAttrib(cellDrawingAttributes);
        glLineWidth(2);
        glDisable(GL_LIGHTING);
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(cell.frameProjection);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(0, 0, 1);
        squareLoop(2.5f, 97.5f);
        if (cell.turning) {
            glLineStipple(1, 0xAAAA);
            glEnable(GL_LINE_STIPPLE);
            squareLoop(4.5f, 95.5f);
            glDisable(GL_LINE_STIPPLE);
        }
        glPopAttrib();

        glPushAttrib(cellDrawingAttributes);
        if (cell.visible) {
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(cell.glyphProjection);
            glMatrixMode(GL_MODELVIEW);
            glLoadMatrixf(cell.glyphModelView);
            glLineWidth(2);
            glColor3f(0, 0, 0);
            glBegin(GL_LINE_STRIP);
            for (int k = 0; k < pointCount; ++k)
                glVertex3fv(&cell.points[k].x);
            glEnd();
            glColor3f(1, 0, 0);
            glPointSize(5);
            glBegin(GL_POINTS);
            for (int k = 0; k < pointCount; ++k)
                glVertex3fv(&cell.points[k].x);
            glEnd();
        }
        glPopAttrib();

        // The view's own label path: a QPainter on the widget, GL state saved around it.
        glPushAttrib(cellDrawingAttributes);
        glColor3f(0, 0, 0);
        renderText(cell.labelX, cell.labelY, cell.label, font);
        glPopAttrib();
        glEnable(GL_MULTISAMPLE);
    }
    glFlush();
}
