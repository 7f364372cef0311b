#pragma once

#include "alphabet/Point3.h"
#include "cells/CellContent.h"
#include "geometry/CellGrid.h"
#include "geometry/GridGeometry.h"

#include <QFont>
#include <QPoint>
#include <QSurfaceFormat>

struct GlyphCamera;
class QPaintDevice;
class QString;

// Draws glyph cells with fixed-function GL into the frame buffer bound in the
// current context, the view's own or an offscreen one. Labels are written
// with a QPainter on `textDevice`, which paints into that same frame buffer;
// its height (in logical pixels) and pixel ratio place the cells. Positions are
// GL window coordinates in logical pixels, y upward; every size reaches GL
// multiplied by the pixel ratio.
class CellPainter {
public:
    explicit CellPainter(QPaintDevice& textDevice);

    // The GL format of every target: multisampled, with depth, in a
    // compatibility profile for the fixed-function drawing.
    static QSurfaceFormat surfaceFormat();
    // Sets the state every drawing expects of a fresh context.
    static void prepareContext();

    float pixelRatio() const { return ratio; }

    // Frame, glyph and label of `cell`, whose lower-left corner is at (x, y).
    void paintCell(const CellContent& cell, float x, float y) const;

    // Every cell of `glyphCount` glyphs, `columns` to a row, that lies in or
    // touches the grid area scrolled by `scrollOffset`; `contentOf(i)` gives
    // glyph i's CellContent. Rows above the area are never walked: the cost
    // follows the cells shown, not the glyphs scrolled past.
    // Each cell is drawn under its own scissor, as a cell redrawn alone is:
    // a turned glyph's wide lines and dots, or its marks, reach past the
    // viewport, and would otherwise be left over in the next cell's pixels
    // when the glyph is redrawn alone.
    template <typename ContentOf>
    void paintGrid(double scrollOffset, int columns, int glyphCount, ContentOf contentOf) const {
        scissorCells(true);
        forEachCellInView(scrollOffset, gridCellSize, columns, gridViewSize, glyphCount,
                          [&](int i, float x, float y) {
                              scissorCell(x, y);
                              paintCell(contentOf(i), x, y);
                          });
        scissorCells(false);
    }
    // Turns GL's scissor test on or off; while on, scissorCell limits drawing
    // to the cell whose lower-left corner is at (x, y).
    static void scissorCells(bool on);
    void scissorCell(float x, float y) const;

    // The steps paintCell takes, in its order, for drawing a cell from
    // matrices and positions worked out beforehand.
    // The viewport of the cell whose lower-left corner is at (x, y).
    void placeCell(float x, float y) const;
    // The blue frame (and the dotted inner one while turning), in the current viewport.
    void drawFrame(bool turning) const;
    // Sets the GL projection and model-view matrices that show a glyph through
    // `camera`, turned by `orientation`.
    static void loadGlyphMatrices(const GlyphCamera& camera, const float* orientation);
    // The glyph's polyline and points through the current matrices; GL state
    // but for the matrices is as it was afterwards.
    void drawGlyphPoints(const Point3* points, int pointCount) const;
    // Where the label `text` of the cell with its lower-left corner at (x, y)
    // starts its baseline, in logical pixels from the device's top left.
    QPoint labelPosition(float x, float y, const QString& text) const;
    // Writes the label `text` at `position`, clipped to the current viewport;
    // GL state is as it was afterwards.
    void drawLabel(QPoint position, const QString& text) const;

private:
    void drawText(QPoint position, const QString& text) const;

    QPaintDevice& device;
    float ratio;
    QFont font;
};
