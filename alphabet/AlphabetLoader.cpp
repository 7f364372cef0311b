#include "alphabet/AlphabetLoader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

namespace {

// Bytes left in the stream after the header, or -1 where the stream can't tell (a pipe).
std::int64_t bytesAfterHeader(std::ifstream& in) {
    std::streampos here = in.tellg();
    if (here < 0 || !in.seekg(0, std::ios::end))
        return (in.clear(), -1);
    std::streampos end = in.tellg();
    in.seekg(here);
    if (end < 0)
        return -1;
    return std::max<std::int64_t>(0, static_cast<std::int64_t>(end - here));
}

// Reads glyphs from a stream whose size is unknown (a pipe): the buffer grows
// with what arrives, so the header alone never decides how much is allocated.
std::vector<char> readUnsizedGlyphBytes(std::ifstream& in, std::int64_t wanted) {
    constexpr std::int64_t chunk = 1 << 20;
    std::vector<char> bytes;
    while (static_cast<std::int64_t>(bytes.size()) < wanted && in) {
        std::size_t old = bytes.size();
        bytes.resize(old + static_cast<std::size_t>(std::min(chunk, wanted - std::int64_t(old))));
        in.read(bytes.data() + old, static_cast<std::streamsize>(bytes.size() - old));
        bytes.resize(old + static_cast<std::size_t>(in.gcount()));
    }
    return bytes;
}

} // namespace

Point3* loadAlphabet(const char* path, int& pointsPerGlyph, int& glyphCount) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        std::printf("Unable to write file: %s.", path);
        return nullptr;
    }

    std::int32_t header[2] = {0, 0};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    if (in.gcount() != static_cast<std::streamsize>(sizeof header)) {
        std::fprintf(stderr,
                     "%s: file too short for its 8-byte header (%lld bytes); no glyphs loaded\n",
                     path, static_cast<long long>(in.gcount()));
        pointsPerGlyph = glyphCount = 0;
        return nullptr;
    }
    const std::int32_t announcedPoints = header[0];
    const std::int32_t announcedGlyphs = header[1];
    if (announcedPoints < 0 || announcedGlyphs < 0) {
        std::fprintf(stderr,
                     "%s: negative count in the header (%d points per glyph, %d glyphs); no glyphs "
                     "loaded\n",
                     path, announcedPoints, announcedGlyphs);
        pointsPerGlyph = glyphCount = 0;
        return nullptr;
    }

    pointsPerGlyph = announcedPoints;
    if (announcedPoints == 0) {
        glyphCount = std::min(announcedGlyphs, maxEmptyGlyphs);
        if (glyphCount < announcedGlyphs)
            std::fprintf(stderr, "%s: header announces %d glyphs of no points; loaded %d\n", path,
                         announcedGlyphs, glyphCount);
        return new Point3[0];
    }

    const std::int64_t glyphBytes = std::int64_t(sizeof(Point3)) * announcedPoints;
    const std::int64_t available = bytesAfterHeader(in);
    std::int64_t loaded = 0;
    std::unique_ptr<Point3[]> block;
    try {
        if (available >= 0) {
            // The points are read straight into the block: no second copy of the file.
            std::int64_t fits = std::min<std::int64_t>(announcedGlyphs, available / glyphBytes);
            block.reset(new Point3[static_cast<std::size_t>(fits * announcedPoints)]);
            in.read(reinterpret_cast<char*>(block.get()),
                    static_cast<std::streamsize>(fits * glyphBytes));
            loaded = in.gcount() / glyphBytes;
        } else {
            // Whole glyphs up to the stream limit, which also keeps the byte count from
            // overflowing.
            const std::int64_t wanted =
                std::min<std::int64_t>(announcedGlyphs, maxUnsizedBytes / glyphBytes) * glyphBytes;
            std::vector<char> bytes = readUnsizedGlyphBytes(in, wanted);
            loaded = static_cast<std::int64_t>(bytes.size()) / glyphBytes;
            block.reset(new Point3[static_cast<std::size_t>(loaded * announcedPoints)]);
            std::copy_n(bytes.data(), loaded * glyphBytes, reinterpret_cast<char*>(block.get()));
            if (loaded < announcedGlyphs && bytes.size() == static_cast<std::size_t>(wanted) && in)
                std::fprintf(
                    stderr, "%s: stopped at the limit of %lld bytes for a stream of unknown size\n",
                    path, maxUnsizedBytes);
        }
    } catch (const std::bad_alloc&) {
        // A file too large for this process's memory: load nothing rather than stop.
        std::fprintf(stderr,
                     "%s: not enough memory for the glyphs of %d points each; no glyphs loaded\n",
                     path, announcedPoints);
        pointsPerGlyph = glyphCount = 0;
        return nullptr;
    }

    glyphCount = static_cast<int>(loaded);
    if (loaded < announcedGlyphs)
        std::fprintf(stderr,
                     "%s: header announces %d glyphs but the file holds %d in full; loaded %d\n",
                     path, announcedGlyphs, glyphCount, glyphCount);
    return block.release();
}
