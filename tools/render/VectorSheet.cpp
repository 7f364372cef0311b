#include "tools/render/VectorSheet.h"

#include "tools/render/RenderSetup.h"
#include "tools/render/SheetPages.h"

#include "alphabet/AlphabetFile.h"
#include "cells/vector/VectorCellPainter.h"
#include "geometry/GridGeometry.h"
#include "pictures/VectorDocument.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

// Cells drawn in one go: each pass of the painter covers them all with one
// style, and the points held for them stay few whatever the sheet's size.
constexpr int cellsPerBatch = 64;
// Threads drawing SVG pages at once: one for each of the machine's cores, at most this many.
constexpr int maxSvgThreads = 2;

class SheetDrawer {
public:
    SheetDrawer(const AlphabetFile& glyphs, const SheetLayout& layout, const Quaternion turn,
                bool direction)
        : glyphs(glyphs), layout(layout), turn(turn), direction(direction) {}

    QSize pageSize(int page) const {
        return {layout.columns * gridCellSize, layout.rowsOnPage(page) * gridCellSize};
    }

    void drawPage(QPainter& painter, int page) const {
        VectorCellPainter cells(painter);
        std::vector<VectorCell> batch;
        const int firstRow = page * layout.rowsPerPage;
        for (int row = firstRow; row < firstRow + layout.rowsOnPage(page); ++row)
            for (int column = 0; column < layout.columns; ++column) {
                const int index = layout.glyphAt(row, column);
                if (index < 0)
                    break;
                CellContent content;
                content.points = glyphs.glyph(index);
                content.pointCount = glyphs.pointsPerGlyph();
                content.orientation = turn;
                content.labelIndex = index;
                content.direction = direction;
                batch.push_back(
                    {content, QPointF(column * gridCellSize, (row - firstRow) * gridCellSize)});
                if (int(batch.size()) == cellsPerBatch)
                    paintBatch(cells, batch);
            }
        paintBatch(cells, batch);
    }

private:
    // Draws `batch` and lets go of its glyphs' points: the sheet streams through
    // the file, whatever its size.
    void paintBatch(VectorCellPainter& cells, std::vector<VectorCell>& batch) const {
        cells.paint(batch);
        if (!batch.empty())
            glyphs.release(batch.front().content.labelIndex, int(batch.size()));
        batch.clear();
    }

    const AlphabetFile& glyphs;
    const SheetLayout& layout;
    const float* turn;
    bool direction;
};

// A sheet's title: the name of the glyph file drawn.
QString titleOf(const OutputRules& rules) {
    const std::string& input = rules.input;
    return QFile::decodeName(QByteArray::fromStdString(input.substr(input.rfind('/') + 1)));
}

RenderResult writePdf(const SheetDrawer& drawer, const SheetLayout& layout,
                      const SheetRequest& sheet) {
    if (drawer.pageSize(0).width() * VectorDocument::pointsPerPixel > maxPdfPoints)
        return RenderResult::refusal(OutputFile::shownName(sheet.output) + ": " +
                                     std::to_string(layout.columns) +
                                     " columns make a page wider than the " +
                                     std::to_string(maxPdfPoints) + " points PDF readers accept");
    VectorDocument document;
    std::string error;
    const OutputStatus opened = document.open(sheet.output, sheet.rules, VectorDocument::Kind::Pdf,
                                              drawer.pageSize(0), titleOf(sheet.rules), error);
    if (opened != OutputStatus::Ready)
        return RenderResult::of(opened, error);
    for (int page = 0; page < layout.pages; ++page) {
        if (page > 0)
            document.newPage(drawer.pageSize(page));
        drawer.drawPage(document.painter(), page);
    }
    return document.finish(error) ? RenderResult() : RenderResult::failure(error);
}

RenderResult writeSvgPage(const SheetDrawer& drawer, int page, const std::string& name,
                          const OutputRules& rules) {
    VectorDocument document;
    std::string error;
    const OutputStatus opened = document.open(name, rules, VectorDocument::Kind::Svg,
                                              drawer.pageSize(page), titleOf(rules), error);
    if (opened != OutputStatus::Ready)
        return RenderResult::of(opened, error);
    drawer.drawPage(document.painter(), page);
    return document.finish(error) ? RenderResult() : RenderResult::failure(error);
}

// One SVG file per page where the sheet is taller than a page, named as the PNG pages are.
RenderResult writeSvg(const SheetDrawer& drawer, const SheetLayout& layout,
                      const SheetRequest& sheet, const RenderNotice& notice) {
    if (layout.pages == 1)
        return writeSvgPage(drawer, 0, sheet.output, sheet.rules);
    // The pages are files of their own: as many threads as there are cores (two at
    // most) draw them, each taking the next page not yet taken.
    std::vector<RenderResult> results(std::size_t(layout.pages), RenderResult{-1, {}});
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (int page = next++; page < layout.pages && !failed; page = next++) {
            RenderResult& result = results[std::size_t(page)];
            result = writeSvgPage(drawer, page, pageName(sheet.output, page + 1), sheet.rules);
            failed = failed || !result.ok();
        }
    };
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (int k = 1; k < std::min({cores, layout.pages, maxSvgThreads}); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    for (int page = 0; page < layout.pages; ++page)
        if (results[std::size_t(page)].ok())
            notice(pageWritten(layout, sheet.output, page));
    for (const RenderResult& result : results)
        if (result.status > 0)
            return result;
    return {};
}

} // namespace

RenderResult writeVectorSheet(const char* input, const SheetRequest& sheet,
                              const RenderNotice& notice) {
    return drawGlyphsOf(input, [&](const AlphabetFile& glyphs) {
        SheetLayout layout;
        const bool pdf = sheet.format == SheetFormat::Pdf;
        RenderResult planned =
            planSheet(sheet, input, glyphs.glyphCount(), gridCellSize, !pdf, layout);
        if (!planned.ok())
            return planned;
        const SheetDrawer drawer(glyphs, layout, sheet.turn, sheet.direction);
        return pdf ? writePdf(drawer, layout, sheet) : writeSvg(drawer, layout, sheet, notice);
    });
}
