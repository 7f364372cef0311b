#include "tools/render/PngSheet.h"

#include "pictures/PngPipeline.h"
#include "tools/render/RenderSetup.h"
#include "tools/render/SheetPager.h"
#include "tools/render/SheetPages.h"

#include <algorithm>

namespace {

// Streams one page of `layout` into `output`, one row of cells at a time,
// compressed while the next row is drawn.
RenderResult writePage(SheetPager& pager, const SheetLayout& layout, int page,
                       const std::string& output, const OutputRules& rules) {
    const int cell = pager.cellSize();
    const int rows = layout.rowsOnPage(page);
    const std::size_t stride = std::size_t(layout.columns) * std::size_t(cell) * 3;
    PngPipeline png(cell);
    std::string error;
    const OutputStatus opened = png.open(output, rules, layout.columns * cell, rows * cell, error);
    if (opened != OutputStatus::Ready)
        return RenderResult::of(opened, error);
    for (int row = page * layout.rowsPerPage; row < page * layout.rowsPerPage + rows; ++row) {
        unsigned char* band = png.next();
        if (!band)
            break; // writing failed, which finish() tells
        std::fill(band, band + stride * std::size_t(cell), 0xff); // past the last glyph: white
        for (int column = 0; column < layout.columns && layout.glyphAt(row, column) >= 0; ++column)
            pager.copyCell(layout.glyphAt(row, column),
                           band + std::size_t(column) * std::size_t(cell) * 3, stride);
        png.submit(cell);
    }
    return png.finish(error) ? RenderResult() : RenderResult::failure(error);
}

// Lays the asked glyphs out and writes the sheet, in pages where it is too tall for one image.
RenderResult writeSheet(SheetPager& pager, const SheetRequest& sheet, const std::string& input,
                        const RenderNotice& notice) {
    SheetLayout layout;
    RenderResult planned =
        planSheet(sheet, input, pager.glyphCount(), pager.cellSize(), true, layout);
    if (!planned.ok())
        return planned;
    pager.setLastGlyph(layout.first + layout.glyphs - 1);
    if (layout.pages == 1)
        return writePage(pager, layout, 0, sheet.output, sheet.rules);
    for (int page = 0; page < layout.pages; ++page) {
        RenderResult written =
            writePage(pager, layout, page, pageName(sheet.output, page + 1), sheet.rules);
        if (!written.ok())
            return written;
        notice(pageWritten(layout, sheet.output, page));
    }
    return {};
}

} // namespace

RenderResult renderPngSheet(const char* input, const SheetRequest& sheet,
                            const RenderNotice& notice) {
    return drawGlyphsOf(input, [&](const AlphabetFile& glyphs) {
        SheetPager pager(glyphs, sheet.turn, sheet.direction);
        std::string error;
        if (!pager.start(error))
            return RenderResult::failure(error);
        return writeSheet(pager, sheet, input, notice);
    });
}
