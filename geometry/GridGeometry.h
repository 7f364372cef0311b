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

// The label font asks for this family by name; the font system substitutes
// where it is missing.
constexpr const char* labelFontFamily = "Lucida Console";
constexpr int labelFontPointSize = 16;
// The label's width is estimated from its length: this many pixels per point
// of font size per character. Its right end and its baseline are this far in
// from the cell's right and lower edges.
constexpr float labelWidthPerPoint = 0.83f;
constexpr int labelInset = 10;
