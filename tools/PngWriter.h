#pragma once

#include "alphabet/OutputFile.h"

#include <string>
#include <vector>
#include <zlib.h>

// Writes an 8-bit RGB PNG row by row, so an image far larger than memory (or
// than QImage allows) can be written, through an OutputFile: a file replaces
// `path` only when finished.
class PngWriter {
public:
    PngWriter() = default;
    ~PngWriter();
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;

    OutputStatus open(const std::string& path, const OutputRules& rules, int width, int height,
                      std::string& error);
    // Appends one row of `width` pixels, three bytes (R, G, B) each.
    bool writeRow(const unsigned char* rgb);
    // After the last row: completes the file and moves it into place.
    bool finish(std::string& error);

private:
    bool compress(const unsigned char* data, std::size_t size, int flush);
    bool writeChunk(const char* type, const unsigned char* data, std::size_t size);

    OutputFile file;
    std::string target;
    z_stream stream{};
    bool streamOpen = false;
    std::vector<unsigned char> buffer;
    int width = 0;
    int height = 0;
    int rowsWritten = 0;
};
