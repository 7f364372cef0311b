#pragma once

#include "alphabet/OutputFile.h"

#include <png.h>
#include <string>

// Writes an 8-bit RGB PNG row by row through libpng, so an image far larger
// than memory (or than QImage allows) can be written, through an OutputFile:
// a file replaces `path` only when finished. Rows are stored unfiltered, in
// IDAT chunks of 64 KiB.
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
    OutputFile file;
    std::string target;
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool failed = false; // libpng gave up; nothing more goes out
    int height = 0;
    int rowsWritten = 0;
};
