#include "view/DirectionMarksGL.h"

#include "view/CellPainter.h"
#include "view/DirectionMarks.h"
#include "view/GlyphCamera.h"

#include <cmath>

namespace {

constexpr int ringSegments = 28;
constexpr float ringLineWidth = 2.5f;
constexpr float arrowEdgeWidth = 2.0f;
// Green: apart from the red points, the black path and the blue frames.
constexpr float startColour[3] = {0.0f, 0.62f, 0.0f};
constexpr float arrowColour[3] = {0.0f, 0.45f, 0.0f};

void vertex(const CellPosition& p) {
    glVertex2d(p.x, p.y);
}

} // namespace

void drawDirectionMarks(const Point3* points, int count, const float orientation[4], int cellSize,
                        float pixelRatio) {
    const GlyphCamera camera = placeGlyphCamera(points, count);
    if (!camera.visible)
        return;
    const DirectionMarks marks =
        directionMarks(points, count, GlyphProjection(camera, orientation), cellSize);

    glPushAttrib(cellDrawingAttributes);
    glDisable(GL_DEPTH_TEST); // over the glyph's lines and points
    glDisable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, cellSize, cellSize, 0, -1, 1); // cell positions: y downward
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // A white edge parts each arrowhead from the red points under it.
    glColor3f(1, 1, 1);
    glLineWidth(arrowEdgeWidth * pixelRatio);
    for (const DirectionArrow& arrow : marks.arrows) {
        glBegin(GL_LINE_LOOP);
        vertex(arrow.tip);
        vertex(arrow.left);
        vertex(arrow.right);
        glEnd();
    }
    glColor3fv(arrowColour);
    glBegin(GL_TRIANGLES);
    for (const DirectionArrow& arrow : marks.arrows) {
        vertex(arrow.tip);
        vertex(arrow.left);
        vertex(arrow.right);
    }
    glEnd();

    if (marks.hasStart) {
        glColor3fv(startColour);
        glLineWidth(ringLineWidth * pixelRatio);
        glBegin(GL_LINE_LOOP);
        const double pi = std::acos(-1.0);
        for (int k = 0; k < ringSegments; ++k) {
            const double a = 2 * pi * k / ringSegments;
            glVertex2d(marks.start.x + marks.ringRadius * std::cos(a),
                       marks.start.y + marks.ringRadius * std::sin(a));
        }
        glEnd();
    }
    glPopAttrib();
}
