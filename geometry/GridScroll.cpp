#include "geometry/GridScroll.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int notch = 120;
// Deltas from this size up are whole wheel notches, taken as they come.
constexpr int wheelDelta = 100;

} // namespace

int wheelSteps(int delta) {
    return static_cast<int>(delta / 100.0);
}

double scrollAfterSteps(double offset, int steps, int cellSize, int columns, int height,
                        int glyphCount) {
    const double candidate = offset - double(steps) * cellSize;
    const double lower = cellSize - height - 0.1;
    const double lastRow = std::trunc((glyphCount - 0.1) / columns);
    const double upper = cellSize * lastRow + 0.1;
    return (lower < candidate && candidate <= upper) ? candidate : offset;
}

int WheelAccumulator::steps(int delta) {
    if (std::abs(delta) >= wheelDelta) {
        pending = 0;
        return wheelSteps(delta);
    }
    if ((delta > 0 && pending < 0) || (delta < 0 && pending > 0))
        pending = 0;
    pending += delta;
    const int rows = pending / notch;
    pending -= rows * notch;
    return rows;
}

double homeOffset() {
    return 0;
}

double endOffset(int cellSize, int columns, int height, int glyphCount) {
    const double rows = std::ceil(double(glyphCount) / columns);
    return std::max(homeOffset(), rows * cellSize - height);
}

double offsetByRows(double offset, int rows, int cellSize, int columns, int height,
                    int glyphCount) {
    const double wanted = offset + double(rows) * cellSize;
    if (rows > 0)
        return std::max(offset, std::min(wanted, endOffset(cellSize, columns, height, glyphCount)));
    return std::min(offset, std::max(wanted, homeOffset()));
}
