#include "alphabet/AlphabetWriter.h"
#include "alphabet/SampleAlphabet.h"
#include "tools/Commands.h"
#include "tools/Options.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char* const sampleHelp =
    "usage: alphabet-tool sample [--points N] [-o FILE]\n"
    "Writes our sample alphabet, the letters A to Z as single strokes with depth,\n"
    "each resampled to N points (default 48), to FILE (default universal.alphabet).\n";

} // namespace

int runSample(int argc, char** argv) {
    int points = 48;
    std::string output = "universal.alphabet";
    for (int i = 0; i < argc; ++i) {
        if (isHelpOption(argv[i])) {
            std::fputs(sampleHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--points") && i + 1 < argc) {
            if (!parseNumberOption("sample", "--points", argv[++i], 1, 1000000, points))
                return 2;
        } else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) {
            output = argv[++i];
        } else {
            std::fprintf(stderr, "alphabet-tool sample: unexpected argument '%s'\n%s", argv[i],
                         sampleHelp);
            return 2;
        }
    }
    const std::vector<Point3> glyphs = sampleAlphabet(points);
    std::string error;
    if (!writeAlphabet(output, points, sampleGlyphCount, glyphs.data(), error)) {
        std::fprintf(stderr, "alphabet-tool sample: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
