#pragma once

// Consecutive points of a glyph's route, as drawn: the line strip through
// points first .. first + lineCount - 1, and dots on the first dotCount of them.
struct PointRun {
    int first;
    int lineCount;
    int dotCount;
};
