#pragma once

#include "alphabet/AlphabetFile.h"
#include "alphabet/Point3.h"
#include "cells/CellContent.h"
#include "cells/CloseLookContent.h"
#include "geometry/CellGrid.h"
#include "geometry/GlyphTurns.h"
#include "geometry/GridGeometry.h"
#include "geometry/GridScroll.h"
#include "trackball/Trackball.h"
#include "view/CloseLook.h"
#include "view/GlyphFileWatcher.h"
#include "view/RedrawScope.h"

#include <QByteArray>
#include <QOpenGLWidget>
#include <QString>
#include <vector>

class CellPainter;
struct VectorCell;

// The OpenGL view that shows every glyph of an alphabet file in its own
// square cell, four to a row, and turns a glyph when it is dragged. It follows
// its file: when the file is replaced or rewritten, the view shows the new glyphs.
class CharGLWidget : public QOpenGLWidget {
    Q_OBJECT

public:
    static constexpr const char* defaultAlphabetPath = "./universal.alphabet";

    // Loads the glyphs of `alphabetPath`; a file that can't be opened leaves the view empty.
    explicit CharGLWidget(QWidget* parent, const char* alphabetPath = defaultAlphabetPath);
    ~CharGLWidget() override;

    CharGLWidget(const CharGLWidget&) = delete;
    CharGLWidget& operator=(const CharGLWidget&) = delete;

    // Shows the glyphs of `path` from the first row, none of them turned.
    // Where the file can't be opened or holds no glyph file, the glyphs shown
    // stay, false is returned and `why` says what is wrong with it. Only regular
    // files are read: a pipe or a device would hold the GUI thread.
    bool openAlphabet(const QByteArray& path, QString* why = nullptr);
    // The file shown, as it was given: the file system's bytes, which need not be text.
    const QByteArray& alphabetPath() const { return path; }

    // Why the file shown could not be read in full; empty when it was.
    QString alphabetProblem() const {
        return textRefused.isEmpty() ? QString::fromStdString(alphabet.problem()) : textRefused;
    }
    // False where the file shown gave no glyph and alphabetProblem() says why.
    bool showsGlyphFile() const { return textRefused.isEmpty() && alphabet.holdsGlyphFile(); }
    int glyphCount() const { return alphabet.glyphCount(); }
    int pointsPerGlyph() const { return alphabet.pointsPerGlyph(); }

    // Scrolls the grid so that glyph `index`'s row is at the top, or as far as End goes.
    void goToGlyph(int index);
    // Asks, without blocking, for a glyph index or label to go to (Ctrl+G).
    void askForGlyph();

    // Whether each cell marks its glyph's first point and the way its path runs (key D).
    void setDirectionShown(bool shown);
    bool directionShown() const { return showDirection; }

    // The cells the view shows now, with their corners in widget coordinates,
    // for drawing the view as vectors.
    std::vector<VectorCell> cellsShown() const;

    // The closer look (CloseLook*.cpp): glyph `index` alone in the whole view,
    // with its turn, fitted; false, and nothing changes, where the file holds
    // no such glyph. In the closer look the wheel zooms, a drag turns, a
    // Shift+drag or middle-button drag pans.
    bool showGlyphAlone(int index);
    // Back to the grid at its scroll position, every turn kept.
    void showGrid();
    // The glyph shown alone, or -1 in the grid.
    int glyphShownAlone() const { return closer.glyph(); }
    // What the closer look shows, for vector pictures.
    CloseLookContent closeLookShown() const;
    // What the window's title adds: the glyph shown alone, or why the view
    // went back to the grid by itself; empty otherwise.
    QString shownGlyphTitle() const;

signals:
    // The closer look opened, went to another glyph or closed.
    void shownGlyphChanged();

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

    // Asks for a repaint, of what `redraw` says has changed. Qt may run paintGL
    // later rather than at once, so a paint reads only the view's members.
    virtual void glDraw();

private:
    friend struct CharGLWidgetProbe; // read access for the tests

    // How far from a drawn point the pointer may be, in logical pixels, to
    // name it: in the grid, and in the closer look whatever the zoom.
    static constexpr double pointPickRadius = 4;

    int cellAt(float x, float y) const;
    // The top-left corner of glyph `index`'s cell, in widget coordinates.
    GridCorner cellTopLeft(int index) const;
    GridPoint cellCentre(int index) const;
    GridPoint trackPosition(const QPoint& position) const;
    void endPress();
    static bool takesTheMouse(const QEvent* event);
    void resetRotations();
    void scrollTo(double offset);
    bool scrollByKey(int key);
    void showGlyphTip(const QPoint& position, const QPoint& globalPosition);
    // The point of glyph `index` under the widget position, as a tooltip line, or "".
    QString describePointAt(int index, const QPoint& position) const;

    // Takes the glyphs of `file` in place of those shown; keeps the scroll
    // offset and every glyph's turn where `keepView` and the counts are the same.
    void showAlphabet(AlphabetFile&& file, bool keepView);
    void reloadAlphabet();

    void redrawCell(const CellPainter& painter, int index);
    CellContent cellContent(int index) const;
    static QString describePoint(const Point3* points, int nearest);

    // The closer look's input and painting (CloseLookInput.cpp, CloseLookPaint.cpp).
    bool openOrCloseByKey(const QKeyEvent* event);
    bool closeLookKey(const QKeyEvent* event);
    void closeLookPress(const QMouseEvent* event);
    void closeLookMove(const QPoint& position);
    void closeLookWheel(QWheelEvent* event);
    void paintCloseLook();
    QString describeCloseLookPoint(const QPoint& position) const;
    void keepCloseLook(bool keepView);

    AlphabetFile alphabet;
    QByteArray path;
    QString textRefused; // the file given at the start is text to import, as this says
    bool dragging = false;
    bool turningAll = false; // the press held Ctrl: its drag turns every glyph
    bool showDirection = false;
    double scrollOffset = 0.0;
    int activeGlyph = -1;
    GridPoint dragCentre{0, 0};
    float lastTrackX = 0;
    float lastTrackY = 0;
    Qt::MouseButton pressedButton = Qt::NoButton;
    GlyphTurns turns;
    WheelAccumulator wheel;
    RedrawScope redraw;
    GlyphFileWatcher watcher;
    CloseLook closer;
    QString closeLookGone; // why the view left the closer look by itself, for the title
};

// Bit of a glyph's flags that marks a glyph being turned.
constexpr unsigned char turningFlag = 2;
