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
    "usage: alphabet-tool import TEXT [-o FILE] [--points N] [--force]\n"
    "Makes a glyph file from a text file (or standard input for '-'): one point\n"
    "'x y z' per line, a blank line between glyphs, '#' starts a comment.\n"
    "Commas, semicolons and tabs separate numbers too, so CSV imports as it is;\n"
    "a first line without numbers (column names such as x,y,z) is skipped.\n"
    "A UTF-8 byte-order mark is skipped; UTF-16 is refused (convert it with iconv).\n"
    "Every glyph must have the same number of points unless --points is given;\n"
    "with --points N every glyph is resampled along its length to N points.\n"
    "Writes FILE ('-' for standard output) only if the whole text is sound, and\n"
    "says on standard error what it wrote. Without -o it writes universal.alphabet,\n"
    "but never over an existing one unless --force is given. FILE may not be TEXT;\n"
    "a device or FIFO is written straight through; a symlink's target is replaced\n"
    "and the link kept; a replaced file keeps its permissions.\n"
    "Exit status: 0 written, 1 bad text or write failure, 2 usage, unreadable TEXT\n"
    "or refused output.\n";

std::string plural(int count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// The line that says what an import wrote.
std::string summary(const std::string& output, const GlyphSet& glyphs, bool resampled) {
    std::string line = "wrote " + OutputFile::shownName(output) + ": " +
                       plural(glyphs.glyphCount, "glyph") + " of " +
                       plural(glyphs.pointsPerGlyph, "point");
    if (!resampled)
        line += " (not resampled)";
    else if (glyphs.fewestInText == glyphs.mostInText)
        line += " (resampled from " + std::to_string(glyphs.fewestInText) + ")";
    else
        line += " (resampled from " + std::to_string(glyphs.fewestInText) + ".." +
                std::to_string(glyphs.mostInText) + ")";
    if (!glyphs.header.empty())
        line += "; header line \"" + glyphs.header + "\" skipped";
    return line;
}

} // namespace

int runImport(int argc, char** argv) {
    std::string input;
    const char* output = nullptr;
    int points = 0;
    bool force = false;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(importHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--points")) {
            if (!numberOption("import", argc, argv, i, 1, 1000000, points))
                return 2;
        } else if (!std::strcmp(argv[i], "-o")) {
            if (!(output = outputOption("import", argc, argv, i)))
                return 2;
        } else if (!std::strcmp(argv[i], "--force")) {
            force = true;
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
    text.clear();

    const std::string name = output ? output : "universal.alphabet";
    OutputFile file;
    if (const int status = openOutput("import", file, name, {input, output || force}))
        return status;
    const bool written = writeAlphabet(file.stream(), glyphs.pointsPerGlyph, glyphs.glyphCount,
                                       glyphs.points.data());
    if (const int status = commitOutput("import", file, written))
        return status;
    std::fprintf(stderr, "alphabet-tool import: %s\n", summary(name, glyphs, points > 0).c_str());
    return 0;
}
