#include "alphabet/AlphabetWriter.h"

#include "alphabet/OutputFile.h"

#include <cstdint>

bool writeAlphabet(std::FILE* out, int pointsPerGlyph, int glyphCount, const Point3* points) {
    if (pointsPerGlyph < 0 || glyphCount < 0)
        return false;
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    const std::size_t pointCount = static_cast<std::size_t>(pointsPerGlyph) * glyphCount;
    return std::fwrite(header, sizeof header, 1, out) == 1 &&
           (pointCount == 0 || std::fwrite(points, sizeof(Point3), pointCount, out) == pointCount);
}

bool writeAlphabet(const std::string& path, int pointsPerGlyph, int glyphCount,
                   const Point3* points, std::string& error) {
    if (pointsPerGlyph < 0 || glyphCount < 0) {
        error = path + ": negative glyph counts can't be written";
        return false;
    }
    OutputFile file;
    if (file.open(path, {}, error) != OutputStatus::Ready)
        return false;
    writeAlphabet(file.stream(), pointsPerGlyph, glyphCount, points);
    return file.commit(error); // a failed write leaves the stream's error set
}
