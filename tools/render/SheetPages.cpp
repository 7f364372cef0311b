#include "tools/render/SheetPages.h"

#include <cstdint>

RenderResult planSheet(const SheetRequest& sheet, const std::string& input, int glyphCount,
                       int cell, bool pageFiles, SheetLayout& layout) {
    std::string error;
    if (!layOutSheet(sheet.range, glyphCount, sheet.columns, cell, layout, error))
        return RenderResult::refusal(input + ": " + error);
    if (!pageFiles || layout.pages == 1)
        return {};
    if (OutputFile::isStream(sheet.output))
        return RenderResult::refusal(OutputFile::shownName(sheet.output) + ": the sheet is " +
                                     std::to_string(std::int64_t(layout.rows) * cell) +
                                     " pixels high and goes into " + std::to_string(layout.pages) +
                                     " page files, which need a file name (-o OUT." +
                                     (sheet.format == SheetFormat::Png ? "png" : "svg") + ")");
    for (int page = 1; page <= layout.pages; ++page)
        if (OutputFile::check(pageName(sheet.output, page), sheet.rules, error) !=
            OutputStatus::Ready)
            return RenderResult::refusal(error);
    return {};
}

std::string pageWritten(const SheetLayout& layout, const std::string& output, int page) {
    return "wrote " + pageName(output, page + 1) + " (page " + std::to_string(page + 1) + " of " +
           std::to_string(layout.pages) + ", glyphs " +
           std::to_string(layout.firstGlyphOnPage(page)) + " to " +
           std::to_string(layout.lastGlyphOnPage(page)) + ")";
}
