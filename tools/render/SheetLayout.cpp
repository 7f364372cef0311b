#include "tools/render/SheetLayout.h"

#include "alphabet/Counted.h"

#include <cstdint>

int SheetLayout::rowsOnPage(int page) const {
    const int left = rows - page * rowsPerPage;
    return left < rowsPerPage ? left : rowsPerPage;
}

int SheetLayout::glyphAt(int row, int column) const {
    const std::int64_t offset = std::int64_t(row) * columns + column;
    return offset < glyphs ? first + static_cast<int>(offset) : -1;
}

int SheetLayout::firstGlyphOnPage(int page) const {
    return glyphAt(page * rowsPerPage, 0);
}

int SheetLayout::lastGlyphOnPage(int page) const {
    const int last = firstGlyphOnPage(page) + rowsOnPage(page) * columns - 1;
    return last < first + glyphs - 1 ? last : first + glyphs - 1;
}

bool layOutSheet(const GlyphRange& range, int glyphCount, int columns, int cell,
                 SheetLayout& layout, std::string& error) {
    const int last = range.last < 0 ? glyphCount - 1 : range.last;
    if (range.first >= glyphCount || last >= glyphCount) {
        error = "--glyphs asks for glyph " +
                std::to_string(range.first >= glyphCount ? range.first : last) +
                ", but the file has " + counted(glyphCount, "glyph") +
                (glyphCount == 1 ? ", numbered 0"
                                 : ", numbered 0 to " + std::to_string(glyphCount - 1));
        return false;
    }
    layout.first = range.first;
    layout.glyphs = last - range.first + 1;
    layout.columns = columns;
    layout.rows = static_cast<int>((std::int64_t(layout.glyphs) + columns - 1) / columns);
    layout.rowsPerPage = maxPageHeight / cell;
    layout.pages = (layout.rows + layout.rowsPerPage - 1) / layout.rowsPerPage;
    return true;
}

std::string pageName(const std::string& output, int page) {
    const std::size_t slash = output.rfind('/');
    const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = output.rfind('.');
    // A dot that starts the name (".png") or lies in a folder's name is no extension.
    const bool extension = dot != std::string::npos && dot > base;
    const std::size_t cut = extension ? dot : output.size();
    return output.substr(0, cut) + "-" + std::to_string(page) + output.substr(cut);
}
