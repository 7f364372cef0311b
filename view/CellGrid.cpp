#include "view/CellGrid.h"

#include <cmath>

int cellIndexAt(float x, float y, float scrollOffset, int cellSize, int columns, int glyphCount) {
    float a = y + scrollOffset;
    if (a < 0)
        return -1;
    double row = std::trunc(a / static_cast<float>(cellSize));
    double column = std::trunc(x / static_cast<float>(cellSize));
    // A column beside the grid would wrap into the neighbouring row.
    if (column < 0 || column >= columns)
        return -1;
    double index = row * columns + column;
    return index < glyphCount ? static_cast<int>(index) : -1;
}

GridPoint cellCentreOf(int index, float scrollOffset, int cellSize, int columns, int height) {
    double x = (index % columns + 0.5) * cellSize;
    double y = height - cellSize * (index / columns + 0.5) + scrollOffset;
    return {static_cast<float>(x), static_cast<float>(y)};
}

GridPoint cellCornerOf(int index, float scrollOffset, int cellSize, int columns, int gridHeight) {
    int row = index / columns;
    int column = index % columns;
    return {static_cast<float>(column * cellSize),
            static_cast<float>(gridHeight - cellSize * (row + 1)) + scrollOffset};
}

int wheelSteps(int delta) {
    return static_cast<int>(delta / 100.0);
}

float scrollAfterSteps(float offset, int steps, int cellSize, int columns, int height,
                       int glyphCount) {
    float candidate = static_cast<float>(offset - double(steps) * cellSize);
    double lower = cellSize - height - 0.1;
    double lastRow = std::trunc((glyphCount - 0.1) / columns);
    double upper = cellSize * lastRow + 0.1;
    return (lower < candidate && candidate <= upper) ? candidate : offset;
}
