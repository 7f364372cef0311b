#pragma once

// What the next paint has to draw: every visible cell, or only the cell of the
// glyph being turned. The frame buffer keeps its pixels between paints, so a
// drag step, which changes one glyph alone, can redraw that glyph's cell and
// leave the rest as they are. Every other change, and every paint asked for
// by anyone else, draws everything. Qt may run a requested paint later and
// merge requests, so the scope lives here until the paint takes it.
class RedrawScope {
public:
    // The next paint draws everything: a change that is not one glyph's turn,
    // a new frame buffer, or a paint nobody described.
    void everything() { scope = All; }

    // Only glyph `index` changed, with the grid where the last paint left it
    // (`layout`: anything that moves cells, such as the scroll offset). A
    // request for another glyph, or a moved grid, widens the next paint to everything.
    void onlyGlyph(int index, double layout) {
        if (scope == Clean && layout == paintedLayout)
            scope = index;
        else if (scope != index || layout != paintedLayout)
            scope = All;
    }

    // For the paint about to run: the one glyph whose cell to redraw, or -1 for
    // everything. The paint then leaves the frame in the state of `layout`.
    int take(double layout) {
        const int glyph = scope >= 0 ? scope : -1;
        scope = Clean;
        paintedLayout = layout;
        return glyph;
    }

private:
    static constexpr int All = -1;
    static constexpr int Clean = -2; // nothing asked since the last paint: a paint draws all

    int scope = All;
    double paintedLayout = 0;
};
