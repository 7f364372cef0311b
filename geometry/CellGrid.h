#pragma once

// Arithmetic of the glyph grid: glyph i sits in row i / columns (row 0 at the
// top) and column i % columns of square cells, and the grid scrolls by whole
// cells. Widget coordinates have y downward from the top; GL window
// coordinates have y upward from the bottom. A positive scroll offset moves
// the cells up. Offsets are doubles: with millions of glyphs a float can't
// hold every row's offset exactly.

struct GridPoint {
    float x;
    float y;
};

// Glyph under the widget position (x, y), or -1 where there is none (also
// beside the grid, where the column would otherwise wrap into the next row).
int cellIndexAt(float x, float y, double scrollOffset, int cellSize, int columns, int glyphCount);

// Centre of glyph i's cell in GL window coordinates of a view `height` pixels high.
GridPoint cellCentreOf(int index, double scrollOffset, int cellSize, int columns, int height);

// A cell's corner in widget coordinates, exactly.
struct GridCorner {
    double x;
    double y;
};

// Top-left corner of glyph i's cell in widget coordinates, where cellIndexAt finds it.
GridCorner cellTopLeftOf(int index, double scrollOffset, int cellSize, int columns);

// Lower-left corner of glyph i's cell in GL window coordinates, placed in a
// grid area `gridHeight` pixels high.
GridPoint cellCornerOf(int index, double scrollOffset, int cellSize, int columns, int gridHeight);

// The first row that is not wholly above the grid area: the rows before it
// have their lower edge above the area's top edge.
int firstRowInView(double scrollOffset, int cellSize);

// Walks the cells in glyph order, row by row from the first glyph of
// `firstRow`, giving each cell's lower-left corner as cellCornerOf does
// without a division per cell.
class CellWalk {
public:
    CellWalk(double scrollOffset, int cellSize, int columns, int gridHeight, int firstRow = 0)
        : scroll(scrollOffset), size(cellSize), columns(columns), height(gridHeight), row(firstRow),
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
    float rowBottom() const {
        return static_cast<float>(height - double(size) * (double(row) + 1) + scroll);
    }

    double scroll;
    int size;
    int columns;
    int height;
    int row;
    int column = 0;
    float bottom;
};

// Calls visit(i, cornerX, cornerY) for every glyph of `glyphCount` whose cell
// lies in or touches a grid area `gridHeight` high, in glyph order, with the
// cell's lower-left corner as CellWalk gives it. Rows above the area are never
// walked: the cost follows the cells shown, not the glyphs scrolled past.
template <typename Visit>
void forEachCellInView(double scrollOffset, int cellSize, int columns, int gridHeight,
                       int glyphCount, Visit visit) {
    const int firstRow = firstRowInView(scrollOffset, cellSize);
    CellWalk cell(scrollOffset, cellSize, columns, gridHeight, firstRow);
    const long long first = static_cast<long long>(firstRow) * columns;
    for (long long i = first; i < glyphCount; ++i, cell.next()) {
        if (cell.cornerY() < -cellSize)
            break; // wholly below, and so is every later glyph
        visit(static_cast<int>(i), cell.cornerX(), cell.cornerY());
    }
}
