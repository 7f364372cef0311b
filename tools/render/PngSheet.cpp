#include "pictures/PngPipeline.h"
#include "tools/render/RenderCommand.h"
#include "tools/render/RenderSetup.h"
#include "tools/render/SheetPager.h"
#include "tools/render/VirtualDisplay.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>

namespace {

// Streams one page of `layout` into `output`, one row of cells at a time,
// compressed while the next row is drawn.
int writePage(SheetPager& pager, const SheetLayout& layout, int page, const std::string& output,
              const OutputRules& rules) {
    const int cell = pager.cellSize();
    const int rows = layout.rowsOnPage(page);
    const std::size_t stride = std::size_t(layout.columns) * std::size_t(cell) * 3;
    PngPipeline png(cell);
    std::string error;
    const OutputStatus opened = png.open(output, rules, layout.columns * cell, rows * cell, error);
    if (opened != OutputStatus::Ready)
        return opened == OutputStatus::Refused ? renderRefusal(error) : renderFailure(error);
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
    return png.finish(error) ? 0 : renderFailure(error);
}

// Lays the asked glyphs out and writes the sheet, in pages where it is too tall for one image.
int writeSheet(SheetPager& pager, const SheetRequest& sheet, const std::string& input) {
    SheetLayout layout;
    std::string error;
    if (!layOutSheet(sheet.range, pager.glyphCount(), sheet.columns, pager.cellSize(), layout,
                     error))
        return renderRefusal(input + ": " + error);
    pager.setLastGlyph(layout.first + layout.glyphs - 1);
    if (layout.pages == 1)
        return writePage(pager, layout, 0, sheet.output, sheet.rules);
    if (OutputFile::isStream(sheet.output))
        return renderRefusal(OutputFile::shownName(sheet.output) + ": the sheet is " +
                             std::to_string(std::int64_t(layout.rows) * pager.cellSize()) +
                             " pixels high and goes into " + std::to_string(layout.pages) +
                             " page files, which need a file name (-o OUT.png)");
    // Every page's name is checked before the first is written.
    for (int page = 1; page <= layout.pages; ++page)
        if (OutputFile::check(pageName(sheet.output, page), sheet.rules, error) !=
            OutputStatus::Ready)
            return renderRefusal(error);
    for (int page = 0; page < layout.pages; ++page) {
        const std::string name = pageName(sheet.output, page + 1);
        if (const int status = writePage(pager, layout, page, name, sheet.rules))
            return status;
        const int firstRow = page * layout.rowsPerPage;
        const int lastRow = firstRow + layout.rowsOnPage(page) - 1;
        const int lastGlyph = layout.glyphAt(lastRow, 0) + layout.columns - 1;
        std::fprintf(stderr, "alphabet-tool render: wrote %s (page %d of %d, glyphs %d to %d)\n",
                     name.c_str(), page + 1, layout.pages, layout.glyphAt(firstRow, 0),
                     std::min(lastGlyph, layout.first + layout.glyphs - 1));
    }
    return 0;
}

} // namespace

int renderPngSheet(const char* input, const SheetRequest& sheet) {
    // Software GL allocates and frees its scene memory at every flush; handing
    // those pages back to the kernel and faulting them in again each time costs
    // as much as the drawing. The heap keeps them instead.
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    // GL needs an X display for its context, though nothing is shown on it.
    clearScaleFactors();
    VirtualDisplay display;
    std::string error;
    const char* current = std::getenv("DISPLAY");
    if (!current || !*current) {
        if (!display.start(error))
            return renderFailure(error);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else if (!checkDisplay(error)) {
        return renderRefusal(error);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QGuiApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
#endif
    return drawGlyphsOf(input, [&](const AlphabetFile& glyphs) {
        SheetPager pager(glyphs, sheet.turn, sheet.direction);
        if (!pager.start(error))
            return renderFailure(error);
        return writeSheet(pager, sheet, input);
    });
}
