#include "bench/BenchFiles.h"

#include "alphabet/SampleAlphabet.h"

#include <cstdint>
#include <fstream>
#include <sys/stat.h>
#include <vector>

bool writeRepeatedSample(const std::string& path, int pointsPerGlyph, int glyphCount) {
    const std::vector<Point3> letters = sampleAlphabet(pointsPerGlyph);
    const std::size_t glyphBytes = sizeof(Point3) * static_cast<std::size_t>(pointsPerGlyph);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    out.write(reinterpret_cast<const char*>(header), sizeof header);
    // Whole alphabets at a time, then the letters of the last, partial one.
    const char* bytes = reinterpret_cast<const char*>(letters.data());
    int written = 0;
    for (; written + sampleGlyphCount <= glyphCount && out; written += sampleGlyphCount)
        out.write(bytes, static_cast<std::streamsize>(glyphBytes * sampleGlyphCount));
    out.write(bytes, static_cast<std::streamsize>(glyphBytes * (glyphCount - written)));
    out.close();
    return static_cast<bool>(out);
}

long long fileBytes(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : -1;
}
