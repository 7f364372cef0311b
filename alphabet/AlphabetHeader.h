#pragma once

#include <cstdint>

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
};

// Reads the header at the descriptor's position, waiting out the short reads of a pipe.
AlphabetHeader readAlphabetHeader(int descriptor);

// Reads the header of the file at `path`; false where the file can't be opened.
bool readAlphabetHeader(const char* path, AlphabetHeader& header);
