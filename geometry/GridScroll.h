#pragma once

// How the grid scrolls: by wheel deltas, touchpad deltas and keys. Offsets
// are in pixels, a positive one moving the cells up (see CellGrid.h).

// Whole rows that a wheel delta scrolls by (a notch of 120 gives 1).
int wheelSteps(int delta);

// The scroll offset after `steps` rows, or `offset` itself where the step
// would take the first row below the view's bottom or the last row above its top.
double scrollAfterSteps(double offset, int steps, int cellSize, int columns, int height,
                        int glyphCount);

// Rows from the wheel's deltas. A delta of 100 or more scrolls by itself, as a
// wheel notch does. Smaller ones (touchpads and high-resolution wheels send
// 8, 15, 30...) add up in the direction of travel, and every 120 added scrolls
// a row; turning back drops what was added.
class WheelAccumulator {
public:
    int steps(int delta);

private:
    int pending = 0;
};

// The offset that shows the first row at the top.
double homeOffset();

// The offset that shows the last row at the bottom, or the first at the top
// where every row fits.
double endOffset(int cellSize, int columns, int height, int glyphCount);

// `offset` moved by `rows` rows (negative: towards the first), stopping at the
// home and end offsets and never moving away from the direction asked.
double offsetByRows(double offset, int rows, int cellSize, int columns, int height, int glyphCount);
