#include "alphabet/AlphabetWriter.h"
#include "alphabet/SampleAlphabet.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const sampleHelp =
    "usage: alphabet-tool sample [--points N] [-o FILE] [--force]\n"
    "Writes our sample alphabet, the letters A to Z as single strokes with depth,\n"
    "each resampled to N points (default 48), to FILE ('-' for standard output).\n"
    "Without -o it writes universal.alphabet, but never over an existing one\n"
    "unless --force is given. A device or FIFO given as FILE is written straight\n"
    "through; a symlink's target is replaced and the link kept; a replaced file\n"
    "keeps its permissions.\n"
    "Exit status: 0 written, 1 write failure, 2 usage or refused output.\n";

} // namespace

int runSample(int argc, char** argv) {
    int points = 48;
    const char* output = nullptr;
    bool force = false;
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(sampleHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--points")) {
            if (!numberOption("sample", argc, argv, i, 1, 1000000, points))
                return 2;
        } else if (!std::strcmp(argv[i], "-o")) {
            if (!(output = outputOption("sample", argc, argv, i)))
                return 2;
        } else if (!std::strcmp(argv[i], "--force")) {
            force = true;
        } else {
            std::fprintf(stderr, "alphabet-tool sample: unexpected argument '%s'\n%s", argv[i],
                         sampleHelp);
            return 2;
        }
    }
    OutputFile file;
    const OutputRules rules{"", output || force};
    if (const int status =
            openOutput("sample", file, output ? output : "universal.alphabet", rules))
        return status;
    const std::vector<Point3> glyphs = sampleAlphabet(points);
    return commitOutput("sample", file,
                        writeAlphabet(file.stream(), points, sampleGlyphCount, glyphs.data()));
}
