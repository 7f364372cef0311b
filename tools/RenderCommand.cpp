#include "tools/RenderCommand.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const renderHelp =
    "usage: alphabet-tool render FILE -o OUT.png [--columns N] [--glyphs FIRST-LAST]\n"
    "Draws the glyphs of a glyph file with the viewer's own drawing, each cell as\n"
    "the viewer shows it before any glyph is turned, and writes them as a PNG\n"
    "sheet of N cells to a row (default 4, as in the viewer).\n"
    "--glyphs FIRST-LAST draws glyphs FIRST to LAST only (numbered from 0, both\n"
    "included); FIRST alone draws one glyph, FIRST- runs to the last glyph.\n"
    "A sheet taller than 16384 pixels is cut into pages of whole rows, written as\n"
    "OUT-1.png, OUT-2.png, ... and each named on standard error; one that fits is\n"
    "written to OUT.png itself ('-' for standard output). OUT may not be FILE; a\n"
    "device or FIFO is written straight through; a symlink's target is replaced\n"
    "and the link kept; a replaced file keeps its permissions.\n"
    "Draws offscreen, but OpenGL needs an X display; where DISPLAY is not set it\n"
    "starts Xvfb for itself.\n"
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

    return renderPngSheet(input, sheet);
}
