#pragma once

#include "alphabet/Point3.h"
#include "trackball/Trackball.h"
#include "view/CellGrid.h"

#include <QOpenGLWidget>

// The OpenGL view that shows every glyph of an alphabet file in its own
// square cell, four to a row, and turns a glyph when it is dragged.
class CharGLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    static constexpr const char* defaultAlphabetPath = "./universal.alphabet";

    // Loads the glyphs of `alphabetPath`; the viewer always uses the default.
    explicit CharGLWidget(QWidget* parent, const char* alphabetPath = defaultAlphabetPath);
    ~CharGLWidget() override;

    CharGLWidget(const CharGLWidget&) = delete;
    CharGLWidget& operator=(const CharGLWidget&) = delete;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void initializeGL() override;
    void paintGL() override;

    // Asks for a repaint of the whole view. Qt may run paintGL later rather
    // than at once, so a paint reads only the view's members.
    virtual void glDraw();

    // Draws `text` with its baseline starting at the widget position (x, y),
    // in the current GL colour, clipped to the current viewport; GL state is
    // as it was afterwards.
    void renderText(int x, int y, const QString& text, const QFont& font);

private:
    friend struct CharGLWidgetProbe; // read access for the tests
    friend class SheetPager;         // alphabet-tool render scrolls the view page by page

    int cellAt(float x, float y) const;
    GridPoint cellCentre(int index) const;
    GridPoint trackPosition(const QPoint& position) const;
    void resetRotations();

    void drawCellFrame(int index);
    void drawGlyph(const Point3* points, const Quaternion orientation, int pointCount,
                   float lineWidth, float pointSize);
    void drawCellLabel(int index, const QString& text, int fontPointSize, int fontWeight);

    int cellSize = 100;
    int columns = 4;
    int pointsPerGlyph = 0;
    int glyphCount = 0;
    Point3** glyphPoints = nullptr;
    Point3* pointData = nullptr;
    bool dragging = false;
    float scrollOffset = 0.0f;
    int activeGlyph = -1;
    GridPoint dragCentre{0, 0};
    float lastTrackX = 0;
    float lastTrackY = 0;
    Qt::MouseButton pressedButton = Qt::NoButton;
    Quaternion* orientations = nullptr;
    unsigned char* cellFlags = nullptr;
};

// Bit of cellFlags that marks a glyph being turned.
constexpr unsigned char turningFlag = 2;
