#include "alphabet/AlphabetWriter.h"

#include <cstdint>

bool writeAlphabet(std::FILE* out, int pointsPerGlyph, int glyphCount, const Point3* points) {
    if (pointsPerGlyph < 0 || glyphCount < 0)
        return false;
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    const std::size_t pointCount = static_cast<std::size_t>(pointsPerGlyph) * glyphCount;
    return std::fwrite(header, sizeof header, 1, out) == 1 &&
           (pointCount == 0 || std::fwrite(points, sizeof(Point3), pointCount, out) == pointCount);
}

WriteOutcome writeGlyphFile(const std::string& path, const OutputRules& rules, int pointsPerGlyph,
                            int glyphCount, const Point3* points) {
    WriteOutcome outcome;
    if (pointsPerGlyph < 0 || glyphCount < 0) {
        outcome = {1, OutputFile::shownName(path) + ": negative glyph counts can't be written"};
        return outcome;
    }
    OutputFile file;
    const OutputStatus status = file.open(path, rules, outcome.error);
    if (status != OutputStatus::Ready) {
        outcome.status = status == OutputStatus::Refused ? 2 : 1;
        return outcome;
    }
    const bool written = writeAlphabet(file.stream(), pointsPerGlyph, glyphCount, points);
    if (!file.commit(written, outcome.error))
        outcome.status = 1;
    return outcome;
}
