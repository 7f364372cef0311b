#include "tools/render/RenderCommand.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"
#include "tools/render/VectorSheet.h"

#include "alphabet/AlphabetFile.h"

#include <QGuiApplication>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const renderHelp =
    "usage: alphabet-tool render FILE -o OUT.png|OUT.svg|OUT.pdf [--format png|svg|pdf]\n"
    "                            [--columns N] [--glyphs FIRST-LAST] [--turn X,Y,Z,DEGREES]\n"
    "                            [--direction]\n"
    "Draws the glyphs of a glyph file with the viewer's own drawing, each cell as\n"
    "the viewer shows it, and writes them as a sheet of\n"
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
    "A PNG is drawn offscreen, but OpenGL needs an X display; where DISPLAY is not\n"
    "set it starts Xvfb for itself.\n"
    "SVG and PDF need no display.\n"
    "Qt's scale-factor variables are ignored, so cells are always 100 pixels.\n"
    "Exit status: 0 written, 1 no glyphs or drawing/write failure, 2 usage,\n"
    "unreadable FILE, a display that can't be opened, or refused output.\n";

} // namespace

int renderFailure(const std::string& message) {
    std::fprintf(stderr, "alphabet-tool render: %s\n", message.c_str());
    return 1;
}

int renderRefusal(const std::string& message) {
    std::fprintf(stderr, "alphabet-tool render: %s\n", message.c_str());
    return 2;
}

int drawGlyphsOf(const char* input, const std::function<int(const AlphabetFile&)>& draw) {
    int qtArgc = 1;
    char program[] = "alphabet-tool";
    char* qtArgv[] = {program, nullptr};
    QGuiApplication application(qtArgc, qtArgv);
    // The loader reports a bad header or a short file on standard error itself.
    AlphabetFile glyphs;
    glyphs.open(input);
    if (glyphs.glyphCount() == 0)
        return renderFailure(std::string(input) + ": no glyphs to render");
    return draw(glyphs);
}

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
                return renderRefusal(
                    std::string("--glyphs takes FIRST-LAST, FIRST or FIRST- (glyph "
                                "numbers from 0, FIRST up to LAST), not '") +
                    range + "'");
        } else if (!std::strcmp(argv[i], "--direction")) {
            sheet.direction = true;
        } else if (!std::strcmp(argv[i], "--format")) {
            const char* format = optionValue("render", argc, argv, i, "png, svg or pdf");
            if (!format)
                return 2;
            if (!parseSheetFormat(format, sheet.format))
                return renderRefusal(std::string("--format takes png, svg or pdf, not '") + format +
                                     "'");
            sheet.formatGiven = true;
        } else if (!std::strcmp(argv[i], "--turn")) {
            const char* turn = optionValue("render", argc, argv, i, "AXIS_X,AXIS_Y,AXIS_Z,DEGREES");
            if (!turn)
                return 2;
            if (!parseTurn(turn, sheet.turn))
                return renderRefusal(
                    std::string("--turn takes AXIS_X,AXIS_Y,AXIS_Z,DEGREES, four numbers "
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
        return renderRefusal(error);
    if (refuseText("render", input, header))
        return 2;
    sheet.rules.input = input;
    if (OutputFile::check(sheet.output, sheet.rules, error) != OutputStatus::Ready)
        return renderRefusal(error);
    if (!sheet.formatGiven)
        sheet.format = formatOfName(sheet.output);
    return sheet.format == SheetFormat::Png ? renderPngSheet(input, sheet)
                                            : writeVectorSheet(input, sheet);
}
