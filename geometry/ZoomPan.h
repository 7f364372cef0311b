#pragma once

#include "geometry/GlyphProjection.h"

// The closer look's zoom and pan over one glyph's face-on picture. The whole
// glyph, fitted, fills the square view as its cell does; `zoom` magnifies that
// picture about `centre`, the point of it (in the fitted picture's normalised
// coordinates, -1 to 1, y upward) shown in the middle of the view. The view
// never leaves the fitted square: at zoom 1 the centre is the square's own.
class ZoomPan {
public:
    static constexpr double minZoom = 1;
    static constexpr double maxZoom = 1000;
    // One wheel notch (a delta of 120) zooms by this factor.
    static constexpr double notchFactor = 1.25;

    double zoom() const { return scale; }
    double centreX() const { return cx; }
    double centreY() const { return cy; }
    bool fitted() const { return scale == minZoom && cx == 0 && cy == 0; }

    // The whole glyph again.
    void fit();
    // Zooms by `factor`, within minZoom to maxZoom, about `at` (a position in a
    // view `side` pixels square, y downward): what was under it stays under it,
    // unless keeping it there would take the view past the fitted square's edge.
    void zoomAbout(double factor, CellPosition at, double side);
    // Zooms as a wheel delta asks (positive: rolled away, in): a notch of 120
    // by notchFactor, smaller touchpad steps in proportion.
    void zoomByWheel(int delta, CellPosition at, double side);
    // Moves the picture by (dx, dy) view pixels, y downward, as a drag does.
    void panBy(double dx, double dy, double side);

    // Where a point of the fitted picture, at `fitted` in a view `side`
    // pixels square, is shown now; and back.
    CellPosition shown(CellPosition fitted, double side) const;
    CellPosition fittedAt(CellPosition shown, double side) const;

    // `projection` (the fitted picture) with this zoom and pan applied.
    GlyphProjection applied(const GlyphProjection& projection) const;

private:
    void keepInside();

    double scale = minZoom;
    double cx = 0;
    double cy = 0;
};
