#include "geometry/CellGrid.h"

#include <algorithm>
#include <cmath>

int cellIndexAt(float x, float y, double scrollOffset, int cellSize, int columns, int glyphCount) {
    const double a = y + scrollOffset;
    if (a < 0)
        return -1;
    const double row = std::trunc(a / cellSize);
    const double column = std::trunc(x / static_cast<float>(cellSize));
    // A column beside the grid would wrap into the neighbouring row.
    if (column < 0 || column >= columns)
        return -1;
    const double index = row * columns + column;
    return index < glyphCount ? static_cast<int>(index) : -1;
}

GridPoint cellCentreOf(int index, double scrollOffset, int cellSize, int columns, int height) {
    const double x = (index % columns + 0.5) * cellSize;
    const double y = height - cellSize * (index / columns + 0.5) + scrollOffset;
    return {static_cast<float>(x), static_cast<float>(y)};
}

GridCorner cellTopLeftOf(int index, double scrollOffset, int cellSize, int columns) {
    return {double(index % columns) * cellSize, double(index / columns) * cellSize - scrollOffset};
}

GridPoint cellCornerOf(int index, double scrollOffset, int cellSize, int columns, int gridHeight) {
    const int row = index / columns;
    const int column = index % columns;
    return {static_cast<float>(column * cellSize),
            static_cast<float>(gridHeight - double(cellSize) * (row + 1) + scrollOffset)};
}

int firstRowInView(double scrollOffset, int cellSize) {
    // Row r lies wholly above the grid area when its lower edge, at
    // height - cellSize (r + 1) + offset, is above the area's top, at height:
    // that is when offset > cellSize (r + 1), whatever the height.
    const double first = std::ceil(scrollOffset / cellSize - 1);
    return static_cast<int>(std::clamp(first, 0.0, 2147483647.0));
}
