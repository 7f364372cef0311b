#pragma once

// What the PNG and the vector routes share about a sheet's pages.

#include "tools/render/RenderResult.h"
#include "tools/render/SheetLayout.h"
#include "tools/render/SheetRequest.h"

#include <string>

// Lays out the glyphs `sheet` asks for of `glyphCount` in cells of `cell` pixels.
// Where the sheet goes into page files (`pageFiles`: PNG and SVG, not PDF, which
// holds its pages), they need a file name, and every page's name is checked
// before the first is written. A refusal says why `input` or the output won't do.
RenderResult planSheet(const SheetRequest& sheet, const std::string& input, int glyphCount,
                       int cell, bool pageFiles, SheetLayout& layout);

// The line that tells page `page` (from 0) of a sheet written to `output` was written.
std::string pageWritten(const SheetLayout& layout, const std::string& output, int page);
