#include "alphabet/AlphabetWriter.h"
#include "alphabet/GlyphText.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const importHelp =
    "usage: alphabet-tool import TEXT [-o FILE] [--points N]\n"
    "Makes a glyph file from a text file (or standard input for '-'): one point\n"
    "'x y z' per line, a blank line between glyphs, '#' starts a comment.\n"
    "Every glyph must have the same number of points unless --points is given;\n"
    "with --points N every glyph is resampled along its length to N points.\n"
    "Writes FILE (default universal.alphabet) only if the whole text is sound.\n"
    "Exit status: 0 written, 1 bad text or write failure, 2 usage or unreadable TEXT.\n";

} // namespace

int runImport(int argc, char** argv) {
    std::string input;
    std::string output = "universal.alphabet";
    int points = 0;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(importHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--points") && i + 1 < argc) {
            if (!parseNumberOption("import", "--points", argv[++i], 1, 1000000, points))
                return 2;
        } else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) {
            output = argv[++i];
        } else if (input.empty() && (argv[i][0] != '-' || !std::strcmp(argv[i], "-"))) {
            input = argv[i];
        } else {
            std::fprintf(stderr, "alphabet-tool import: unexpected argument '%s'\n%s", argv[i],
                         importHelp);
            return 2;
        }
    }
    if (input.empty()) {
        std::fprintf(stderr, "alphabet-tool import: no text file given\n%s", importHelp);
        return 2;
    }

    std::string text;
    std::string error;
    if (!readWholeFile(input, text, error)) {
        std::fprintf(stderr, "alphabet-tool import: %s\n", error.c_str());
        return 2;
    }
    GlyphSet glyphs;
    TextError problem;
    if (!parseGlyphText(text, points, glyphs, problem)) {
        const std::string where =
            problem.line > 0 ? input + ":" + std::to_string(problem.line) : input;
        const bool lengths = problem.message.find("differing lengths") != std::string::npos;
        std::fprintf(stderr, "alphabet-tool import: %s: %s%s\n", where.c_str(),
                     problem.message.c_str(), lengths ? " (give --points N)" : "");
        return 1;
    }
    if (!writeAlphabet(output, glyphs.pointsPerGlyph, glyphs.glyphCount, glyphs.points.data(),
                       error)) {
        std::fprintf(stderr, "alphabet-tool import: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
