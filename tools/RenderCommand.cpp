#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/PngWriter.h"
#include "tools/RenderSetup.h"
#include "tools/SheetLayout.h"
#include "tools/SheetPager.h"
#include "tools/SheetRequest.h"
#include "tools/VectorSheet.h"
#include "tools/VirtualDisplay.h"
#include "view/CharGLWidget.h"
#include "view/GridGeometry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char* const renderHelp =
    "usage: alphabet-tool render FILE -o OUT.png|OUT.svg|OUT.pdf [--format png|svg|pdf]\n"
    "                            [--columns N] [--glyphs FIRST-LAST] [--turn X,Y,Z,DEGREES]\n"
    "                            [--direction]\n"
    "Draws the glyphs of a glyph file with the viewer's own drawing, each cell as\n"
    "the viewer shows it before any glyph is turned, and writes them as a sheet of\n"
    "N cells to a row (default 4, as in the viewer): a PNG, or the same picture as\n"
    "vectors in SVG or PDF, chosen by OUT's extension (.svg, .pdf; PNG otherwise)\n"
    "or by --format, which wins.\n"
    "--turn X,Y,Z,DEGREES shows every glyph turned by DEGREES about the axis\n"
    "(X, Y, Z) of the glyph file's coordinates through its centroid,\n"
    "counterclockwise as seen from the axis's tip, as a drag that far would:\n"
    "0,1,0,90 carries the glyph's x axis onto its negative z axis.\n"
    "--glyphs FIRST-LAST draws glyphs FIRST to LAST only (numbered from 0, both\n"
    "included); FIRST alone draws one glyph, FIRST- runs to the last glyph.\n"
    "--direction marks each glyph's first point with a green ring and the way its\n"
    "path runs with arrowheads, as the viewer's key D does.\n"
    "A sheet taller than 16384 pixels is cut into pages of whole rows: PNG and SVG\n"
    "pages are written as OUT-1.png, OUT-2.png, ... and each named on standard\n"
    "error; a PDF holds them as its pages. One that fits is written to OUT itself\n"
    "('-' for standard output). Cells are 100 pixels; a PDF has 0.75 points to the\n"
    "pixel, so at most 192 columns. OUT may not be FILE; a device or FIFO is\n"
    "written straight through; a symlink's target is replaced and the link kept;\n"
    "a replaced file keeps its permissions.\n"
    "A PNG needs an X display; where DISPLAY is not set it starts Xvfb for itself.\n"
    "SVG and PDF need no display.\n"
    "Qt's scale-factor variables are ignored, so cells are always 100 pixels.\n"
    "Exit status: 0 written, 1 no glyphs or drawing/write failure, 2 usage,\n"
    "unreadable FILE, a display that can't be opened, or refused output.\n";

// Generous: a loaded machine or a sanitizer build can take seconds to map a window.
constexpr int exposeMilliseconds = 60000;

int fail(const std::string& message) {
    std::fprintf(stderr, "alphabet-tool render: %s\n", message.c_str());
    return 1;
}

bool waitUntilShown(QWidget& widget) {
    QElapsedTimer timer;
    timer.start();
    while (!(widget.windowHandle() && widget.windowHandle()->isExposed())) {
        if (timer.elapsed() > exposeMilliseconds)
            return false;
        QApplication::processEvents();
        QThread::msleep(5);
    }
    QApplication::processEvents();
    return true;
}

int refuse(const std::string& message) {
    std::fprintf(stderr, "alphabet-tool render: %s\n", message.c_str());
    return 2;
}

// Streams one page of `layout` into `output`, one row of cells at a time.
int writePage(SheetPager& pager, const SheetLayout& layout, int page, const std::string& output,
              const OutputRules& rules) {
    const int cell = pager.cellSize();
    const int rows = layout.rowsOnPage(page);
    const std::size_t stride = std::size_t(layout.columns) * std::size_t(cell) * 3;
    std::vector<unsigned char> band(stride * std::size_t(cell));
    PngWriter png;
    std::string error;
    const OutputStatus opened = png.open(output, rules, layout.columns * cell, rows * cell, error);
    if (opened != OutputStatus::Ready)
        return opened == OutputStatus::Refused ? refuse(error) : fail(error);
    for (int row = page * layout.rowsPerPage; row < page * layout.rowsPerPage + rows; ++row) {
        std::fill(band.begin(), band.end(), 0xff); // cells past the last glyph stay white
        for (int column = 0; column < layout.columns && layout.glyphAt(row, column) >= 0;
             ++column) {
            unsigned char* corner = band.data() + std::size_t(column) * std::size_t(cell) * 3;
            if (!pager.copyCell(layout.glyphAt(row, column), corner, stride, error))
                return fail(error);
        }
        for (int y = 0; y < cell; ++y)
            if (!png.writeRow(band.data() + std::size_t(y) * stride))
                return fail(OutputFile::shownName(output) + ": can't write");
    }
    return png.finish(error) ? 0 : fail(error);
}

// Lays the asked glyphs out and writes the sheet, in pages where it is too tall for one image.
int writeSheet(SheetPager& pager, const SheetRequest& sheet, const std::string& input) {
    SheetLayout layout;
    std::string error;
    if (!layOutSheet(sheet.range, pager.glyphCount(), sheet.columns, pager.cellSize(), layout,
                     error))
        return refuse(input + ": " + error);
    if (layout.pages == 1)
        return writePage(pager, layout, 0, sheet.output, sheet.rules);
    if (OutputFile::isStream(sheet.output))
        return refuse(OutputFile::shownName(sheet.output) + ": the sheet is " +
                      std::to_string(std::int64_t(layout.rows) * pager.cellSize()) +
                      " pixels high and goes into " + std::to_string(layout.pages) +
                      " page files, which need a file name (-o OUT.png)");
    // Every page's name is checked before the first is written.
    for (int page = 1; page <= layout.pages; ++page)
        if (OutputFile::check(pageName(sheet.output, page), sheet.rules, error) !=
            OutputStatus::Ready)
            return refuse(error);
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

int runRender(int argc, char** argv) {
    const char* input = nullptr;
    SheetRequest sheet;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(renderHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--columns")) {
            if (!numberOption("render", argc, argv, i, 1, 1000, sheet.columns))
                return 2;
        } else if (!std::strcmp(argv[i], "--glyphs")) {
            const char* range = optionValue("render", argc, argv, i, "a range FIRST-LAST");
            if (!range)
                return 2;
            if (!parseGlyphRange(range, sheet.range))
                return refuse(std::string("--glyphs takes FIRST-LAST, FIRST or FIRST- (glyph "
                                          "numbers from 0, FIRST up to LAST), not '") +
                              range + "'");
        } else if (!std::strcmp(argv[i], "--direction")) {
            sheet.direction = true;
        } else if (!std::strcmp(argv[i], "--format")) {
            const char* format = optionValue("render", argc, argv, i, "png, svg or pdf");
            if (!format)
                return 2;
            if (!parseSheetFormat(format, sheet.format))
                return refuse(std::string("--format takes png, svg or pdf, not '") + format + "'");
            sheet.formatGiven = true;
        } else if (!std::strcmp(argv[i], "--turn")) {
            const char* turn = optionValue("render", argc, argv, i, "AXIS_X,AXIS_Y,AXIS_Z,DEGREES");
            if (!turn)
                return 2;
            if (!parseTurn(turn, sheet.turn))
                return refuse(std::string("--turn takes AXIS_X,AXIS_Y,AXIS_Z,DEGREES, four numbers "
                                          "with an axis that is not zero, not '") +
                              turn + "'");
        } else if (!std::strcmp(argv[i], "-o")) {
            const char* output = outputOption("render", argc, argv, i);
            if (!output)
                return 2;
            sheet.output = output;
        } else if (!input && argv[i][0] != '-') {
            input = argv[i];
        } else {
            std::fprintf(stderr, "alphabet-tool render: unexpected argument '%s'\n%s", argv[i],
                         renderHelp);
            return 2;
        }
    }
    if (!input || sheet.output.empty()) {
        std::fprintf(stderr, "alphabet-tool render: %s\n%s",
                     input ? "no output given (-o OUT.png)" : "no glyph file given", renderHelp);
        return 2;
    }
    std::string error;
    GlyphHeader header;
    if (!canRead(input, error) || !readGlyphHeader(input, header, error))
        return refuse(error);
    if (refuseText("render", input, header))
        return 2;
    sheet.rules.input = input;
    if (OutputFile::check(sheet.output, sheet.rules, error) != OutputStatus::Ready)
        return refuse(error);
    if (!sheet.formatGiven)
        sheet.format = formatOfName(sheet.output);
    if (sheet.format != SheetFormat::Png)
        return writeVectorSheet(input, sheet);

    clearScaleFactors();
    VirtualDisplay display;
    const char* current = std::getenv("DISPLAY");
    if (!current || !*current) {
        if (!display.start(error))
            return fail(error);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    } else if (!checkDisplay(error)) {
        return refuse(error);
    }
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QApplication::setAttribute(Qt::AA_DisableHighDpiScaling);
#endif
    int qtArgc = 1;
    char program[] = "alphabet-tool";
    char* qtArgv[] = {program, nullptr};
    QApplication application(qtArgc, qtArgv);

    // The loader reports a bad header or a short file on standard error itself.
    CharGLWidget view(nullptr, input);
    view.setWindowTitle("alphabet-tool render");
    view.setAttribute(Qt::WA_ShowWithoutActivating);
    view.setFixedSize(gridViewSize, gridViewSize);
    view.setDirectionShown(sheet.direction);
    view.turnEveryGlyph(sheet.turn);
    view.show();
    if (!waitUntilShown(view))
        return fail("the view's window was never shown");
    if (!view.isValid())
        return fail("no OpenGL context for the view");
    SheetPager pager(view);
    if (pager.glyphCount() == 0)
        return fail(std::string(input) + ": no glyphs to render");
    return writeSheet(pager, sheet, input);
}
