#pragma once

#include "alphabet/GlyphLabel.h"

// The glyph grid's fixed geometry, in logical pixels, for the view, the tool
// and the benchmarks alike. On a high-density screen every size is multiplied
// by the device pixel ratio once, where the view draws.

// Side of a glyph's square cell.
constexpr int gridCellSize = 100;
// Cells to a row.
constexpr int gridColumns = 4;
// Side of the square view; cells are placed in a grid area this high.
constexpr int gridViewSize = 400;
// Whole rows the view shows at once.
constexpr int gridRowsShown = gridViewSize / gridCellSize;
