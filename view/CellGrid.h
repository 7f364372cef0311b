#pragma once

// Arithmetic of the glyph grid: glyph i sits in row i / columns (row 0 at the
// top) and column i % columns of square cells, and the grid scrolls by whole
// cells. Widget coordinates have y downward from the top; GL window
// coordinates have y upward from the bottom. A positive scroll offset moves
// the cells up.

struct GridPoint {
    float x;
    float y;
};

// Glyph under the widget position (x, y), or -1 where there is none (also
// beside the grid, where the column would otherwise wrap into the next row).
int cellIndexAt(float x, float y, float scrollOffset, int cellSize, int columns, int glyphCount);

// Centre of glyph i's cell in GL window coordinates of a view `height` pixels high.
GridPoint cellCentreOf(int index, float scrollOffset, int cellSize, int columns, int height);

// Lower-left corner of glyph i's cell in GL window coordinates, placed in a
// grid area `gridHeight` pixels high.
GridPoint cellCornerOf(int index, float scrollOffset, int cellSize, int columns, int gridHeight);

// Walks the cells in glyph order, row by row from glyph 0, giving each cell's
// lower-left corner as cellCornerOf does but without a division per cell, so
// that passing over the cells scrolled out above the view costs little.
class CellWalk {
public:
    CellWalk(float scrollOffset, int cellSize, int columns, int gridHeight)
        : scroll(scrollOffset), size(cellSize), columns(columns), height(gridHeight),
          bottom(rowBottom()) {}

    float cornerX() const { return static_cast<float>(column * size); }
    float cornerY() const { return bottom; }

    // On to the next glyph's cell.
    void next() {
        if (++column == columns) {
            column = 0;
            ++row;
            bottom = rowBottom();
        }
    }

private:
    float rowBottom() const { return static_cast<float>(height - size * (row + 1)) + scroll; }

    float scroll;
    int size;
    int columns;
    int height;
    int row = 0;
    int column = 0;
    float bottom;
};

// Whole rows that a wheel delta scrolls by (a notch of 120 gives 1).
int wheelSteps(int delta);

// The scroll offset after `steps` rows, or `offset` itself where the step
// would take the first row below the view's bottom or the last row above its top.
float scrollAfterSteps(float offset, int steps, int cellSize, int columns, int height,
                       int glyphCount);
