#pragma once

// Which glyphs a rendered sheet shows, and how it is cut into pages.

#include <string>

// Tallest page written: taller PNGs, valid as they are, are refused by common image viewers.
constexpr int maxPageHeight = 16384;

// Glyphs by index from 0, both ends included; last -1 runs to the last glyph.
struct GlyphRange {
    int first = 0;
    int last = -1;
};

struct SheetLayout {
    int first = 0; // the glyph in the first cell
    int glyphs = 0;
    int columns = 1;
    int rows = 0;
    int rowsPerPage = 0;
    int pages = 0;

    int rowsOnPage(int page) const;
    // The glyph in a row and column of the whole sheet, or -1 for a cell past the range.
    int glyphAt(int row, int column) const;
    // The first and the last glyph on page `page` (from 0).
    int firstGlyphOnPage(int page) const;
    int lastGlyphOnPage(int page) const;
};

// Lays `range` of `glyphCount` glyphs out `columns` to a row in cells of `cell`
// pixels; false where the range lies outside the glyphs, which `error` says.
bool layOutSheet(const GlyphRange& range, int glyphCount, int columns, int cell,
                 SheetLayout& layout, std::string& error);

// The file of page `page` (from 1) of a sheet written to `output`: sheet.png gives sheet-2.png.
std::string pageName(const std::string& output, int page);
