#include "tools/render/VectorSheet.h"

#include "tools/render/RenderCommand.h"

#include "alphabet/AlphabetFile.h"
#include "cells/vector/VectorCellPainter.h"
#include "geometry/GridGeometry.h"
#include "pictures/VectorDocument.h"

#include <QGuiApplication>
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <malloc.h>
#include <thread>
#include <vector>

namespace {

// Cells drawn in one go: each pass of the painter covers them all with one
// style, and the points held for them stay few whatever the sheet's size.
constexpr int cellsPerBatch = 64;
// Threads drawing SVG pages at once: one for each of the machine's cores, at most this many.
constexpr int maxSvgThreads = 2;
// The widest and tallest page PDF readers accept.
constexpr double maxPdfPoints = 14400;

int statusOf(OutputStatus status, const std::string& error) {
    return status == OutputStatus::Refused ? renderRefusal(error) : renderFailure(error);
}

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

int writePdf(const SheetDrawer& drawer, const SheetLayout& layout, const SheetRequest& sheet) {
    if (drawer.pageSize(0).width() * 0.75 > maxPdfPoints)
        return renderRefusal(OutputFile::shownName(sheet.output) + ": " +
                             std::to_string(layout.columns) +
                             " columns make a page wider than the 14400 points PDF readers accept");
    VectorDocument document;
    std::string error;
    const OutputStatus opened = document.open(sheet.output, sheet.rules, VectorDocument::Kind::Pdf,
                                              drawer.pageSize(0), error);
    if (opened != OutputStatus::Ready)
        return statusOf(opened, error);
    for (int page = 0; page < layout.pages; ++page) {
        if (page > 0)
            document.newPage(drawer.pageSize(page));
        drawer.drawPage(document.painter(), page);
    }
    return document.finish(error) ? 0 : renderFailure(error);
}

int writeSvgPage(const SheetDrawer& drawer, int page, const std::string& name,
                 const OutputRules& rules) {
    VectorDocument document;
    std::string error;
    const OutputStatus opened =
        document.open(name, rules, VectorDocument::Kind::Svg, drawer.pageSize(page), error);
    if (opened != OutputStatus::Ready)
        return statusOf(opened, error);
    drawer.drawPage(document.painter(), page);
    return document.finish(error) ? 0 : renderFailure(error);
}

// One SVG file per page where the sheet is taller than a page, named as the PNG pages are.
int writeSvg(const SheetDrawer& drawer, const SheetLayout& layout, const SheetRequest& sheet) {
    if (layout.pages == 1)
        return writeSvgPage(drawer, 0, sheet.output, sheet.rules);
    if (OutputFile::isStream(sheet.output))
        return renderRefusal(OutputFile::shownName(sheet.output) + ": the sheet is " +
                             std::to_string(std::int64_t(layout.rows) * gridCellSize) +
                             " pixels high and goes into " + std::to_string(layout.pages) +
                             " page files, which need a file name (-o OUT.svg)");
    std::string error;
    for (int page = 1; page <= layout.pages; ++page)
        if (OutputFile::check(pageName(sheet.output, page), sheet.rules, error) !=
            OutputStatus::Ready)
            return renderRefusal(error);
    // The pages are files of their own: as many threads as there are cores (two at
    // most) draw them, each taking the next page not yet taken.
    std::vector<int> statuses(std::size_t(layout.pages), -1);
    std::atomic<int> next{0};
    std::atomic<bool> failed{false};
    const auto work = [&] {
        for (int page = next++; page < layout.pages && !failed; page = next++) {
            const int status =
                writeSvgPage(drawer, page, pageName(sheet.output, page + 1), sheet.rules);
            statuses[std::size_t(page)] = status;
            failed = failed || status != 0;
        }
    };
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    std::vector<std::thread> helpers;
    for (int k = 1; k < std::min({cores, layout.pages, maxSvgThreads}); ++k)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
    for (int page = 0; page < layout.pages; ++page) {
        if (statuses[std::size_t(page)] != 0)
            continue;
        const int first = layout.glyphAt(page * layout.rowsPerPage, 0);
        const int last = std::min(first + layout.rowsOnPage(page) * layout.columns,
                                  layout.first + layout.glyphs) -
                         1;
        std::fprintf(stderr, "alphabet-tool render: wrote %s (page %d of %d, glyphs %d to %d)\n",
                     pageName(sheet.output, page + 1).c_str(), page + 1, layout.pages, first, last);
    }
    for (const int status : statuses)
        if (status > 0)
            return status;
    return 0;
}

} // namespace

int writeVectorSheet(const char* input, const SheetRequest& sheet) {
    // Qt's SVG generator builds each page in a string of megabytes and converts it
    // at the end: freed large blocks are kept for the next page rather than handed
    // back to the kernel and faulted in again, which halves the page faults.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    mallopt(M_TOP_PAD, 64 << 20);
    // Qt's own platform for pictures that are never shown: no display server, no GL.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return drawGlyphsOf(input, [&](const AlphabetFile& glyphs) {
        SheetLayout layout;
        std::string error;
        if (!layOutSheet(sheet.range, glyphs.glyphCount(), sheet.columns, gridCellSize, layout,
                         error))
            return renderRefusal(std::string(input) + ": " + error);
        const SheetDrawer drawer(glyphs, layout, sheet.turn, sheet.direction);
        return sheet.format == SheetFormat::Pdf ? writePdf(drawer, layout, sheet)
                                                : writeSvg(drawer, layout, sheet);
    });
}
