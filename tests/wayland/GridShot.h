#pragma once

// Finds the viewer's 4 x 4 grid of framed 100 x 100 cells in a screenshot of
// a whole desktop and lists what any of its cells lacks: a complete frame, a
// glyph (red dots and dark line) or a label (dark ink in the lower right corner).

#include <QImage>
#include <QPoint>
#include <QStringList>

struct GridShot {
    bool found = false;   // some cell frame is complete where the frames line up best
    QPoint origin;        // screenshot pixel of the grid's top-left corner
    QStringList problems; // one line per missing part; empty when every cell is whole
};

GridShot checkGridShot(const QImage& shot);
