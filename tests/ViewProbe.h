#pragma once

#include "view/CharGLWidget.h"

#include <QDir>
#include <QTemporaryDir>
#include <QVector>
#include <cstdint>

// Read access to the view's state, for the tests.
struct CharGLWidgetProbe {
    // Each glyph's first point, indexed like an array of pointers.
    struct GlyphPoints {
        const AlphabetFile& file;
        const Point3* operator[](int i) const { return file.glyph(i); }
    };

    static int cellSize(const CharGLWidget&) { return gridCellSize; }
    static int columns(const CharGLWidget&) { return gridColumns; }
    static int pointsPerGlyph(const CharGLWidget& v) { return v.pointsPerGlyph(); }
    static int glyphCount(const CharGLWidget& v) { return v.glyphCount(); }
    static GlyphPoints glyphPoints(const CharGLWidget& v) { return {v.alphabet}; }
    static const Point3* pointData(const CharGLWidget& v) { return v.alphabet.glyph(0); }
    static bool dragging(const CharGLWidget& v) { return v.dragging; }
    static float scrollOffset(const CharGLWidget& v) { return static_cast<float>(v.scrollOffset); }
    // Moves the grid as a scroll would, without asking for a repaint.
    static void setScrollOffset(CharGLWidget& v, double offset) {
        v.scrollOffset = offset;
        v.redraw.everything();
    }
    // The next paint draws every visible cell, whatever was asked before it.
    static void redrawEverything(CharGLWidget& v) { v.redraw.everything(); }
    static int activeGlyph(const CharGLWidget& v) { return v.activeGlyph; }
    static GridPoint dragCentre(const CharGLWidget& v) { return v.dragCentre; }
    static float lastTrackX(const CharGLWidget& v) { return v.lastTrackX; }
    static float lastTrackY(const CharGLWidget& v) { return v.lastTrackY; }
    static Qt::MouseButton pressedButton(const CharGLWidget& v) { return v.pressedButton; }
    static const float* orientation(const CharGLWidget& v, int i) { return v.turns.orientation(i); }
    static void setOrientation(CharGLWidget& v, int i, const float q[4]) {
        float* orientation = v.turns.turn(i);
        for (int k = 0; k < 4; ++k)
            orientation[k] = q[k];
        v.redraw.everything();
    }
    static unsigned char cellFlags(const CharGLWidget& v, int i) { return v.turns.flags(i); }
    // Glyphs with an orientation or flags of their own.
    static std::size_t turnsHeld(const CharGLWidget& v) { return v.turns.held(); }
    static const AlphabetFile& alphabet(const CharGLWidget& v) { return v.alphabet; }
    static int cellAt(const CharGLWidget& v, float x, float y) { return v.cellAt(x, y); }
    static GridPoint cellCentre(const CharGLWidget& v, int i) { return v.cellCentre(i); }
    static double closeLookZoom(const CharGLWidget& v) { return v.closer.zoom.zoom(); }
    // The tooltip's line for the point under `at` in the closer look, or "".
    static QString closeLookPointAt(const CharGLWidget& v, QPoint at) {
        return v.describeCloseLookPoint(at);
    }
};

// A view that counts its repaints.
class CountingView : public CharGLWidget {
public:
    using CharGLWidget::CharGLWidget;
    int paints = 0;

protected:
    void glDraw() override {
        ++paints;
        CharGLWidget::glDraw();
    }
};
