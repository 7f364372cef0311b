#include "geometry/GridGeometry.h"
#include "pictures/VectorDocument.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/render/PngSheet.h"
#include "tools/render/RenderSetup.h"
#include "tools/render/VectorSheet.h"
#include "tools/render/VirtualDisplay.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The render command's help after its usage lines, its numbers from the code they describe.
std::string renderText() {
    char pdfPoints[16];
    std::snprintf(pdfPoints, sizeof pdfPoints, "%g", VectorDocument::pointsPerPixel);
    const std::string cell = std::to_string(gridCellSize);
    return "Draws the glyphs of a glyph file with the viewer's own drawing, each cell as\n"
           "the viewer shows it, and writes them as a sheet of\n"
           "N cells to a row (default " +
           std::to_string(gridColumns) +
           ", as in the viewer): a PNG, or the same picture as\n"
           "vectors in SVG or PDF, chosen by OUT's extension (.png, .svg, .pdf; PNG where\n"
           "there is none, another is refused) or by --format, which wins.\n"
           "--turn X,Y,Z,DEGREES shows every glyph turned by DEGREES about the axis\n"
           "(X, Y, Z) of the glyph file's coordinates through its centroid,\n"
           "counterclockwise as seen from the axis's tip, as a drag that far would:\n"
           "0,1,0,90 carries the glyph's x axis onto its negative z axis.\n"
           "--glyphs FIRST-LAST draws glyphs FIRST to LAST only (numbered from 0, both\n"
           "included); FIRST alone draws one glyph, FIRST- runs to the last glyph.\n"
           "--direction marks each glyph's first point with a green ring and the way its\n"
           "path runs with arrowheads, as the viewer's key D does.\n"
           "A sheet taller than " +
           std::to_string(maxPageHeight) +
           " pixels is cut into pages of whole rows: PNG and SVG\n"
           "pages are written as OUT-1.png, OUT-2.png, ... and each named on standard\n"
           "error; a PDF holds them as its pages. One that fits is written to OUT itself\n"
           "('-' for standard output). Cells are " +
           cell + " pixels; a PDF has " + pdfPoints +
           " points to the\n"
           "pixel, so at most " +
           std::to_string(maxPdfColumns) +
           " columns. OUT may not be FILE; a device or FIFO is\n"
           "written straight through; a symlink's target is replaced and the link kept;\n"
           "a replaced file keeps its permissions.\n"
           "A PNG is drawn offscreen, but OpenGL needs an X display; where DISPLAY is not\n"
           "set it starts Xvfb for itself.\n"
           "SVG and PDF need no display.\n"
           "Qt's scale-factor variables are ignored, so cells are always " +
           cell +
           " pixels.\n"
           "Exit status: 0 written, 1 no glyphs or drawing/write failure, 2 usage,\n"
           "unreadable FILE, a display that can't be opened, or refused output.\n";
}

// The most columns --columns takes.
constexpr int mostColumns = 1000;

// Parses "FIRST-LAST", "FIRST" or "FIRST-"; false where `text` is anything else.
bool parseGlyphRange(const char* text, GlyphRange& range) {
    const char* dash = std::strchr(text, '-');
    const std::string first = dash ? std::string(text, dash) : std::string(text);
    GlyphRange parsed;
    if (first.empty() || first[0] == '+' ||
        !parseWholeNumber(first.c_str(), 0, INT_MAX, parsed.first))
        return false;
    if (!dash)
        parsed.last = parsed.first;
    else if (dash[1] != '\0' &&
             (dash[1] == '+' || !parseWholeNumber(dash + 1, parsed.first, INT_MAX, parsed.last)))
        return false;
    range = parsed;
    return true;
}

int say(const RenderResult& result) {
    if (!result.ok())
        std::fprintf(stderr, "alphabet-tool render: %s\n", result.message.c_str());
    return result.status;
}

// Refuses an input that can't be read or is text, and an output that may not be written.
int checkFiles(const char* input, SheetRequest& sheet) {
    std::string error;
    GlyphHeader header;
    if (!canRead(input, error) || !readGlyphHeader(input, header, error))
        return say(RenderResult::refusal(error));
    if (refuseText("render", input, header))
        return 2;
    sheet.rules.input = input;
    if (OutputFile::check(sheet.output, sheet.rules, error) != OutputStatus::Ready)
        return say(RenderResult::refusal(error));
    return 0;
}

} // namespace

int runRender(int argc, char** argv) {
    const char* input = nullptr;
    SheetRequest sheet;
    const CommandLine line{
        "render",
        "FILE",
        {outputOption("-o", "-o OUT.png|OUT.svg|OUT.pdf",
                      [&](const char* file) { sheet.output = file; }),
         textOption("--format", "[--format png|svg|pdf]", "png, svg or pdf", "png, svg or pdf",
                    [&](const char* format, std::string&) {
                        return sheet.formatGiven = parseSheetFormat(format, sheet.format);
                    }),
         numberOption("--columns", "[--columns N]", 1, mostColumns, sheet.columns),
         textOption(
             "--glyphs", "[--glyphs FIRST-LAST]", "a range FIRST-LAST",
             "FIRST-LAST, FIRST or FIRST- (glyph numbers from 0, FIRST up to LAST)",
             [&](const char* range, std::string&) { return parseGlyphRange(range, sheet.range); }),
         textOption("--turn", "[--turn X,Y,Z,DEGREES]", "AXIS_X,AXIS_Y,AXIS_Z,DEGREES",
                    "AXIS_X,AXIS_Y,AXIS_Z,DEGREES, four numbers with an axis that is not zero",
                    [&](const char* turn, std::string&) { return parseTurn(turn, sheet.turn); }),
         flagOption("--direction", "[--direction]", sheet.direction)},
        renderText()};
    if (const int status = parseCommandLine(line, argc, argv, oneFileOperand(input)); status >= 0)
        return status;
    if (!input || sheet.output.empty())
        return usageRefusal(line, input ? "no output given (-o OUT.png)" : "no glyph file given");
    if (const int status = checkFiles(input, sheet))
        return status;
    // --format wins over the name; without it the name must name a format.
    if (!sheet.formatGiven) {
        std::string error;
        if (!pictureFormatOf(sheet.output, sheet.format, error))
            return say(RenderResult::refusal(error + "; or give --format"));
    }
    VirtualDisplay display;
    if (const int status = say(setUpRender(sheet.format, display)))
        return status;
    const RenderNotice notice = [](const std::string& line) {
        std::fprintf(stderr, "alphabet-tool render: %s\n", line.c_str());
    };
    return say(sheet.format == SheetFormat::Png ? renderPngSheet(input, sheet, notice)
                                                : writeVectorSheet(input, sheet, notice));
}
