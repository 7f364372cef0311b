#include "alphabet/AlphabetFile.h"
#include "alphabet/Counted.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphDepth.h"
#include "geometry/GridGeometry.h"
#include "tools/Commands.h"
#include "tools/Files.h"
#include "tools/Options.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

namespace {

const char* const infoText =
    "Describes a glyph file: its header, its size against the size the header\n"
    "announces, the bounding box of all points, and each glyph's extent and any\n"
    "problem that keeps the viewer's camera from placing it the usual way.\n"
    "A file that is text rather than a glyph file is refused, with the import\n"
    "command that makes a glyph file from it.\n"
    "Exit status: 0 sound file, 1 file with problems, 2 usage, unreadable FILE or\n"
    "FILE that is text.\n";

const char* const depthCutText = "partly outside the camera's depth range";

// Smallest and largest finite coordinates seen.
struct Bounds {
    Point3 low{INFINITY, INFINITY, INFINITY};
    Point3 high{-INFINITY, -INFINITY, -INFINITY};
    bool empty = true;

    void add(const Point3& p) {
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
            return;
        low = {std::fmin(low.x, p.x), std::fmin(low.y, p.y), std::fmin(low.z, p.z)};
        high = {std::fmax(high.x, p.x), std::fmax(high.y, p.y), std::fmax(high.z, p.z)};
        empty = false;
    }
};

// What the size of the file says against its header; false where they disagree.
bool reportSize(std::int64_t size, const AlphabetHeader& header) {
    const int points = header.pointsPerGlyph;
    const int glyphs = header.glyphCount;
    const int pointBytes = static_cast<int>(sizeof(Point3));
    std::printf("size     %lld bytes", static_cast<long long>(size));
    if (points == 0 || glyphs == 0) {
        std::printf(", the header announces %d\n", alphabetHeaderBytes);
    } else if (!header.fitsIn(size)) {
        std::printf(", too short: the header announces %d + %d x %d x %d; %s in full\n",
                    alphabetHeaderBytes, pointBytes, points, glyphs,
                    counted(header.glyphsIn(size), "glyph").c_str());
        return false;
    } else {
        std::printf(", the header announces %d + %d x %d x %d\n", alphabetHeaderBytes, pointBytes,
                    points, glyphs);
    }
    const std::int64_t extra = header.bytesPastGlyphs(size);
    if (extra > 0) {
        std::printf("trailing %lld bytes after the announced glyphs (ignored by the viewer)\n",
                    static_cast<long long>(extra));
        return false;
    }
    return true;
}

void printBox(const char* name, const Bounds& b) {
    if (b.empty) {
        std::printf("%-8s none (no point with finite coordinates)\n", name);
        return;
    }
    std::printf("%-8s x %g .. %g, y %g .. %g, z %g .. %g\n", name, b.low.x, b.high.x, b.low.y,
                b.high.y, b.low.z, b.high.z);
}

} // namespace

int runInfo(int argc, char** argv) {
    const char* path = nullptr;
    const CommandLine line{"info", "FILE", {}, infoText};
    if (const int status = parseCommandLine(line, argc, argv, oneFileOperand(path)); status >= 0)
        return status;
    if (!path)
        return usageRefusal(line, "no glyph file given");
    std::string error;
    GlyphHeader header;
    if (!canRead(path, error) || !readGlyphHeader(path, header, error)) {
        std::fprintf(stderr, "alphabet-tool info: %s\n", error.c_str());
        return 2;
    }
    if (refuseText("info", path, header))
        return 2;

    std::printf("file     %s\n", path);
    const AlphabetHeader& counts = header.counts;
    bool sound = true;
    if (header.fileSize < 0) {
        std::printf("header   not checked: not a regular file, read as the viewer reads it\n");
    } else if (!counts.whole()) {
        std::printf("header   missing: the file has %lld bytes, a header needs %d\n",
                    static_cast<long long>(header.fileSize), alphabetHeaderBytes);
        sound = false;
    } else if (counts.negative()) {
        std::printf("header   negative counts: %s per glyph, %s\n",
                    counted(counts.pointsPerGlyph, "point").c_str(),
                    counted(counts.glyphCount, "glyph").c_str());
        sound = false;
    } else {
        std::printf("header   %s per glyph, %s\n", counted(counts.pointsPerGlyph, "point").c_str(),
                    counted(counts.glyphCount, "glyph").c_str());
        sound = reportSize(header.fileSize, counts);
    }

    // The loader reports a bad header or a short file on standard error itself. A
    // regular file is mapped, so nothing is read before the glyphs are walked.
    AlphabetFile file;
    file.open(path);
    const int pointsPerGlyph = file.pointsPerGlyph();
    const int glyphCount = file.glyphCount();
    if (header.fileSize < 0)
        std::printf("loaded   %s of %s, as the viewer does\n", counted(glyphCount, "glyph").c_str(),
                    counted(pointsPerGlyph, "point").c_str());
    else if (glyphCount < counts.glyphCount)
        std::printf("loaded   %s, as the viewer does\n", counted(glyphCount, "glyph").c_str());

    Bounds all;
    for (int i = 0; i < glyphCount; ++i)
        for (int k = 0; k < pointsPerGlyph; ++k)
            all.add(file.glyph(i)[k]);
    printBox("bounds", all);

    std::map<GlyphProblem, int> problems;
    int clipped = 0; // glyphs the camera's depth range cuts through
    if (glyphCount > 0)
        std::printf("\nglyph  label  extent x, y, z                 problem\n");
    for (int i = 0; i < glyphCount; ++i) {
        const Point3* glyph = file.glyph(i);
        Bounds b;
        for (int k = 0; k < pointsPerGlyph; ++k)
            b.add(glyph[k]);
        const GlyphProblem problem = placeGlyphCamera(glyph, pointsPerGlyph).problem;
        const int letter = glyphLabelCode(i);
        char extent[64] = "-";
        if (!b.empty)
            std::snprintf(extent, sizeof extent, "%g, %g, %g", b.high.x - b.low.x,
                          b.high.y - b.low.y, b.high.z - b.low.z);
        std::string text = problem == GlyphProblem::None ? "" : glyphProblemText(problem);
        if (problem != GlyphProblem::None)
            ++problems[problem];
        const GlyphDepth depth = glyphDepth(glyph, pointsPerGlyph);
        if (problem != GlyphProblem::OutsideDepthRange && !withinDepthRange(depth)) {
            ScaleRange fitting;
            fitting.fit(depth);
            char scale[32];
            std::snprintf(scale, sizeof scale, "%g", roundScale(fitting));
            text += (text.empty() ? "" : "; ") + std::string(depthCutText) + " (--scale " + scale +
                    " on import fits it)";
            ++clipped;
        }
        std::printf("%5d  %-5c  %-30s %s\n", i, labelIsPrintableAscii(letter) ? letter : '-',
                    extent, text.c_str());
    }

    std::printf("\n");
    for (const auto& [problem, count] : problems)
        std::printf("problem  %s: %s\n", counted(count, "glyph").c_str(),
                    glyphProblemText(problem));
    if (clipped > 0)
        std::printf("problem  %s: %s\n", counted(clipped, "glyph").c_str(), depthCutText);
    sound = sound && problems.empty() && clipped == 0;
    std::printf("%s\n", sound ? "sound" : "not sound");
    return sound ? 0 : 1;
}
