#include "trackball/Trackball.h"
#include "view/CharGLWidget.h"
#include "view/GlSupportCheck.h"
#include "view/GlyphCamera.h"

#include <GL/glu.h>
#include <QFont>
#include <QOpenGLContext>

namespace {

// The grid area that places the cell viewports: the view's fixed height.
constexpr int gridHeight = 400;
constexpr GLbitfield savedAttributes = GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT;
constexpr float frameLineWidth = 2.0f;
constexpr float glyphLineWidth = 2.0f;
constexpr float glyphPointSize = 5.0f;
constexpr int labelPointSize = 16;
constexpr int labelWeight = 50;
constexpr float labelWidthPerPoint = 0.83f;
constexpr int labelInset = 10;

void squareLoop(float low, float high) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(low, low);
    glVertex2f(low, high);
    glVertex2f(high, high);
    glVertex2f(high, low);
    glEnd();
}

} // namespace

void CharGLWidget::initializeGL() {
    glViewport(0, 0, 400, 400);
    glClearColor(1, 1, 1, 1);
    glClearAccum(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_MULTISAMPLE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    checkGlSupport(context()->format().majorVersion());
}

void CharGLWidget::paintGL() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    CellWalk cell(scrollOffset, cellSize, columns, gridHeight);
    int i = 0;
    // Cells wholly above the grid area are passed over in a tight loop of their
    // own: with many glyphs scrolled out it is most of a paint's own work.
    for (; i < glyphCount && cell.cornerY() > gridHeight; ++i)
        cell.next();
    // Rows only go down from here.
    for (; i < glyphCount; ++i, cell.next()) {
        if (cell.cornerY() < -cellSize)
            break; // wholly below, and so is every later glyph
        glViewport(static_cast<GLint>(cell.cornerX()), static_cast<GLint>(cell.cornerY()), cellSize,
                   cellSize);
        glEnable(GL_MULTISAMPLE);
        drawCellFrame(i);
        drawGlyph(glyphPoints[i], orientations[i], pointsPerGlyph, glyphLineWidth, glyphPointSize);
        const QString label(QChar::fromLatin1(static_cast<char>((65 + i) % 256)));
        drawCellLabel(i, label, labelPointSize, labelWeight);
    }
    glFlush();
}

void CharGLWidget::drawCellFrame(int index) {
    glPushAttrib(savedAttributes);
    glLineWidth(frameLineWidth);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, 100, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 0, 1);
    squareLoop(2.5f, 97.5f);
    if (cellFlags[index] & turningFlag) {
        glLineStipple(1, 0xAAAA);
        glEnable(GL_LINE_STIPPLE);
        squareLoop(4.5f, 95.5f);
        glDisable(GL_LINE_STIPPLE);
    }
    glPopAttrib();
}

void CharGLWidget::drawGlyph(const Point3* points, const Quaternion orientation, int pointCount,
                             float lineWidth, float pointSize) {
    glPushAttrib(savedAttributes);
    const GlyphCamera camera = placeGlyphCamera(points, pointCount);
    if (camera.visible) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60, 1, 0.1, 5000);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
                  camera.up.z);
        float rotation[16];
        rotationMatrix(rotation, orientation);
        glMultMatrixf(rotation);
        glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);

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
    glPopAttrib();
}

void CharGLWidget::drawCellLabel(int index, const QString& text, int fontPointSize,
                                 int fontWeight) {
    glPushAttrib(savedAttributes);
    QFont font("Lucida Console", fontPointSize, fontWeight, false);
    font.setStyleStrategy(QFont::PreferAntialias);
    glColor3f(0, 0, 0);
    const float width =
        static_cast<float>(fontPointSize * double(labelWidthPerPoint) * text.size());
    const float half = static_cast<float>(cellSize * 0.5);
    const GridPoint centre = cellCentre(index);
    const float x = static_cast<float>(double(centre.x) + (half - labelInset) - width);
    const float yGl = static_cast<float>(double(centre.y) + (labelInset - half));
    const float y = static_cast<float>(height() - double(yGl));
    renderText(static_cast<int>(x), static_cast<int>(y), text, font);
    glPopAttrib();
    glEnable(GL_MULTISAMPLE);
}
