#include "trackball/Trackball.h"
#include "view/CellOutline.h"
#include "view/CharGLWidget.h"
#include "view/DirectionMarksGL.h"
#include "view/GlSupportCheck.h"
#include "view/GlyphCamera.h"
#include "view/LabelFont.h"

#include <GL/glu.h>
#include <QOpenGLContext>
#include <algorithm>
#include <cmath>

namespace {

// The grid area that places the cell viewports: the view's fixed height.
constexpr int gridHeight = gridViewSize;
constexpr float frameLineWidth = 2.0f;
constexpr float glyphLineWidth = 2.0f;
constexpr float glyphPointSize = 5.0f;
constexpr float labelWidthPerPoint = 0.83f;
constexpr int labelInset = 10;

} // namespace

// Sizes below are in logical pixels; each is multiplied by the device pixel
// ratio (1 on an ordinary screen) where it reaches GL.
void CharGLWidget::initializeGL() {
    pixelRatio = static_cast<float>(devicePixelRatioF());
    const GLsizei side = static_cast<GLsizei>(gridViewSize * pixelRatio);
    glViewport(0, 0, side, side);
    glClearColor(1, 1, 1, 1);
    glClearAccum(0, 0, 0, 0);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LINE_SMOOTH);
    glEnable(GL_MULTISAMPLE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    checkGlSupport(context()->format().majorVersion());
}

void CharGLWidget::resizeGL(int, int) {
    redraw.everything(); // a new frame buffer holds nothing yet
}

void CharGLWidget::paintGL() {
    pixelRatio = static_cast<float>(devicePixelRatioF());
    const int onlyGlyph = redraw.take(scrollOffset);
    if (onlyGlyph >= 0) {
        redrawCell(onlyGlyph);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Rows above the grid area are never walked: the cost of a paint follows
    // the cells shown, not the glyphs scrolled past.
    const int firstRow = firstRowInView(scrollOffset, cellSize);
    CellWalk cell(scrollOffset, cellSize, columns, gridHeight, firstRow);
    const int count = glyphCount();
    const long long first = std::min<long long>(count, static_cast<long long>(firstRow) * columns);
    for (int i = static_cast<int>(first); i < count; ++i, cell.next()) {
        if (cell.cornerY() < -cellSize)
            break; // wholly below, and so is every later glyph
        paintCell(i, cell.cornerX(), cell.cornerY());
    }
    glFlush();
}

// A drag step turned one glyph: its cell alone is cleared and drawn again,
// under a scissor, so the pixels are those a full paint gives and no other
// cell is touched.
void CharGLWidget::redrawCell(int index) {
    const GridPoint corner = cellCornerOf(index, scrollOffset, cellSize, columns, gridHeight);
    const GLsizei side = static_cast<GLsizei>(cellSize * pixelRatio);
    glEnable(GL_SCISSOR_TEST);
    glScissor(static_cast<GLint>(corner.x * pixelRatio),
              static_cast<GLint>(double(corner.y) * pixelRatio), side, side);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    paintCell(index, corner.x, corner.y);
    glDisable(GL_SCISSOR_TEST);
    glFlush();
}

// Frame, glyph and label of glyph `index`, whose cell has its lower-left corner at (x, y).
void CharGLWidget::paintCell(int index, float x, float y) {
    glViewport(static_cast<GLint>(x * pixelRatio), static_cast<GLint>(double(y) * pixelRatio),
               static_cast<GLsizei>(cellSize * pixelRatio),
               static_cast<GLsizei>(cellSize * pixelRatio));
    glEnable(GL_MULTISAMPLE);
    drawCellFrame(index);
    drawGlyph(alphabet.glyph(index), turns.orientation(index), pointsPerGlyph(),
              glyphLineWidth * pixelRatio, glyphPointSize * pixelRatio);
    if (showDirection)
        drawDirectionMarks(alphabet.glyph(index), pointsPerGlyph(), turns.orientation(index),
                           cellSize, pixelRatio);
    drawCellLabel(index, glyphLabel(index), labelFontPointSize, QFont::Normal);
}

void CharGLWidget::drawCellFrame(int index) {
    glPushAttrib(cellDrawingAttributes);
    glLineWidth(frameLineWidth * pixelRatio);
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0, 100, 0, 100);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glColor3f(0, 0, 1);
    squareLoop(2.5f, 97.5f);
    // A drag that turns every glyph marks every cell.
    if ((turns.flags(index) & turningFlag) || (dragging && turningAll)) {
        glLineStipple(static_cast<GLint>(std::max(1L, std::lround(pixelRatio))), 0xAAAA);
        glEnable(GL_LINE_STIPPLE);
        squareLoop(4.5f, 95.5f);
        glDisable(GL_LINE_STIPPLE);
    }
    glPopAttrib();
}

void CharGLWidget::drawGlyph(const Point3* points, const Quaternion orientation, int pointCount,
                             float lineWidth, float pointSize) {
    glPushAttrib(cellDrawingAttributes);
    const GlyphCamera camera = placeGlyphCamera(points, pointCount);
    if (camera.visible) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(glyphFieldOfView, 1, glyphNearPlane, glyphFarPlane);
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
    glPushAttrib(cellDrawingAttributes);
    const QFont font = labelFont(fontPointSize, fontWeight);
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
