#include "alphabet/AlphabetWriter.h"
#include "alphabet/SampleAlphabet.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cstdio>
#include <string>

namespace {

// The points per glyph written where --points is not given.
constexpr int defaultPoints = 48;

const std::string sampleText =
    "Writes our sample alphabet, the letters A to Z as single strokes with depth,\n"
    "each resampled to N points (default " +
    std::to_string(defaultPoints) +
    "), to FILE ('-' for standard output).\n"
    "Without -o it writes universal.alphabet, but never over an existing one\n"
    "unless --force is given. A device or FIFO given as FILE is written straight\n"
    "through; a symlink's target is replaced and the link kept; a replaced file\n"
    "keeps its permissions.\n"
    "Exit status: 0 written, 1 write failure, 2 usage or refused output.\n";

} // namespace

int runSample(int argc, char** argv) {
    int points = defaultPoints;
    const char* output = nullptr;
    bool force = false;
    const CommandLine line{
        "sample",
        "",
        {numberOption("--points", "[--points N]", 1, mostPointsPerGlyph, points),
         outputOption("-o", "[-o FILE]", [&](const char* file) { output = file; }),
         flagOption("--force", "[--force]", force)},
        sampleText};
    if (const int status = parseCommandLine(line, argc, argv, [](const char*) { return false; });
        status >= 0)
        return status;
    const std::vector<Point3> glyphs = sampleAlphabet(points);
    const WriteOutcome written =
        writeGlyphFile(output ? output : "universal.alphabet", {"", output || force}, points,
                       sampleGlyphCount, glyphs.data());
    if (written.status)
        std::fprintf(stderr, "alphabet-tool sample: %s\n", written.error.c_str());
    return written.status;
}
