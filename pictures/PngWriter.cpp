#include "pictures/PngWriter.h"

#include <csetjmp>

namespace {

// libpng's own messages name no file; its failures come back as ours, which do.
void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

constexpr png_size_t chunkBytes = 1 << 16;

// Runs the libpng calls of `step` under libpng's error jump; false where libpng
// failed. setjmp lives here alone, away from the callers' strings, whose
// state a longjmp could leave behind.
template <typename Step> bool guarded(png_structp png, Step step) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    step();
    return true;
}

} // namespace

PngWriter::~PngWriter() {
    if (png)
        png_destroy_write_struct(&png, &info);
}

OutputStatus PngWriter::open(const std::string& path, const OutputRules& rules, int width,
                             int height_, std::string& error) {
    if (width < 1 || height_ < 1) {
        error = path + ": an image needs at least one pixel each way";
        return OutputStatus::Failed;
    }
    target = OutputFile::shownName(path);
    height = height_;
    rowsWritten = 0;
    const OutputStatus status = file.open(path, rules, error);
    if (status != OutputStatus::Ready)
        return status;
    png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        error = target + ": can't start compression";
        return OutputStatus::Failed;
    }
    const bool started = guarded(png, [&] {
        png_init_io(png, file.stream());
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
        png_set_compression_buffer_size(png, chunkBytes);
        png_write_info(png, info);
    });
    if (!started) {
        failed = true;
        error = target + ": can't write";
        return OutputStatus::Failed;
    }
    return OutputStatus::Ready;
}

bool PngWriter::writeRow(const unsigned char* rgb) {
    if (!png || failed || rowsWritten >= height)
        return false;
    if (!guarded(png, [&] { png_write_row(png, rgb); })) {
        failed = true;
        return false;
    }
    ++rowsWritten;
    return true;
}

bool PngWriter::finish(std::string& error) {
    const bool complete = png && !failed && rowsWritten == height;
    if (complete && !guarded(png, [&] { png_write_end(png, info); }))
        failed = true;
    if (!complete || failed || !file.commit(error)) {
        if (error.empty())
            error = target + (failed || complete ? ": can't write" : ": image rows missing");
        return false;
    }
    return true;
}
