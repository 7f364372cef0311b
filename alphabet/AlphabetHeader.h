#pragma once

#include "alphabet/Point3.h"

#include <cstdint>
#include <string_view>

// Bytes of the header that opens every glyph file.
constexpr int alphabetHeaderBytes = 8;

// The header of a glyph file: points per glyph and glyph count, two
// little-endian signed 32-bit integers. The counts are read only from a whole
// header and stay 0 otherwise.
struct AlphabetHeader {
    int bytesRead = 0; // alphabetHeaderBytes for a whole header, fewer where the file ends first
    std::int32_t pointsPerGlyph = 0;
    std::int32_t glyphCount = 0;

    bool whole() const { return bytesRead == alphabetHeaderBytes; }
    bool negative() const { return pointsPerGlyph < 0 || glyphCount < 0; }
    // Bytes of one glyph's points.
    std::int64_t glyphBytes() const { return std::int64_t(sizeof(Point3)) * pointsPerGlyph; }
    // Whole glyphs a file of `fileBytes` holds after its header, for glyphs of
    // at least one point.
    std::int64_t glyphsIn(std::int64_t fileBytes) const {
        return (fileBytes - alphabetHeaderBytes) / glyphBytes();
    }
    // Whether a file of `fileBytes` holds every glyph this header announces.
    bool fitsIn(std::int64_t fileBytes) const {
        if (!whole() || negative())
            return false;
        // Divided rather than multiplied: the counts' product can pass 2^63.
        return glyphBytes() == 0 || glyphCount <= glyphsIn(fileBytes);
    }
    // Bytes of a file of `fileBytes` that it fits in, past its header and every announced glyph.
    std::int64_t bytesPastGlyphs(std::int64_t fileBytes) const {
        return fileBytes - alphabetHeaderBytes - glyphBytes() * glyphCount;
    }
};

// The header at the start of `start`, the first bytes of a file.
AlphabetHeader alphabetHeaderOf(std::string_view start);

// Reads the header at the descriptor's position, waiting out the short reads of a pipe.
AlphabetHeader readAlphabetHeader(int descriptor);

// Reads the header of the regular file at `path`; false where it can't be opened or
// is no regular file. It never waits, even for a pipe put at the path.
bool readAlphabetHeader(const char* path, AlphabetHeader& header);
