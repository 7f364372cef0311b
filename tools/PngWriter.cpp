#include "tools/PngWriter.h"

#include <cstdint>

namespace {

constexpr std::size_t chunkBytes = 1 << 16;

void putBigEndian(unsigned char* out, std::uint32_t value) {
    out[0] = static_cast<unsigned char>(value >> 24);
    out[1] = static_cast<unsigned char>(value >> 16);
    out[2] = static_cast<unsigned char>(value >> 8);
    out[3] = static_cast<unsigned char>(value);
}

} // namespace

PngWriter::~PngWriter() {
    if (streamOpen)
        deflateEnd(&stream);
}

OutputStatus PngWriter::open(const std::string& path, const OutputRules& rules, int width_,
                             int height_, std::string& error) {
    if (width_ < 1 || height_ < 1) {
        error = path + ": an image needs at least one pixel each way";
        return OutputStatus::Failed;
    }
    target = OutputFile::shownName(path);
    width = width_;
    height = height_;
    rowsWritten = 0;
    const OutputStatus status = file.open(path, rules, error);
    if (status != OutputStatus::Ready)
        return status;
    if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) {
        error = target + ": can't start compression";
        return OutputStatus::Failed;
    }
    streamOpen = true;
    buffer.resize(chunkBytes);
    stream.next_out = buffer.data();
    stream.avail_out = static_cast<uInt>(buffer.size());

    static const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    unsigned char header[13];
    putBigEndian(header, static_cast<std::uint32_t>(width));
    putBigEndian(header + 4, static_cast<std::uint32_t>(height));
    header[8] = 8;  // bits per sample
    header[9] = 2;  // colour type: RGB
    header[10] = 0; // deflate
    header[11] = 0; // adaptive filtering, one filter byte per row
    header[12] = 0; // not interlaced
    if (std::fwrite(signature, 1, sizeof signature, file.stream()) != sizeof signature ||
        !writeChunk("IHDR", header, sizeof header)) {
        error = target + ": can't write";
        return OutputStatus::Failed;
    }
    return OutputStatus::Ready;
}

bool PngWriter::writeRow(const unsigned char* rgb) {
    if (!streamOpen || rowsWritten >= height)
        return false;
    static const unsigned char noFilter = 0;
    ++rowsWritten;
    return compress(&noFilter, 1, Z_NO_FLUSH) &&
           compress(rgb, std::size_t(width) * 3, rowsWritten == height ? Z_FINISH : Z_NO_FLUSH);
}

bool PngWriter::finish(std::string& error) {
    const bool complete = streamOpen && rowsWritten == height;
    if (!complete || !writeChunk("IEND", nullptr, 0) || !file.commit(error)) {
        if (error.empty())
            error = target + (complete ? ": can't write" : ": image rows missing");
        return false;
    }
    return true;
}

bool PngWriter::compress(const unsigned char* data, std::size_t size, int flush) {
    stream.next_in = const_cast<unsigned char*>(data);
    stream.avail_in = static_cast<uInt>(size);
    for (;;) {
        const int result = deflate(&stream, flush);
        if (result == Z_STREAM_ERROR)
            return false;
        const bool full = stream.avail_out == 0;
        const bool done = result == Z_STREAM_END;
        if (full || done) {
            if (!writeChunk("IDAT", buffer.data(), buffer.size() - stream.avail_out))
                return false;
            stream.next_out = buffer.data();
            stream.avail_out = static_cast<uInt>(buffer.size());
        }
        if (done || (!full && stream.avail_in == 0))
            return true;
    }
}

bool PngWriter::writeChunk(const char* type, const unsigned char* data, std::size_t size) {
    unsigned char length[4];
    unsigned char check[4];
    putBigEndian(length, static_cast<std::uint32_t>(size));
    const unsigned char* typeBytes = reinterpret_cast<const unsigned char*>(type);
    uLong crc = crc32(0L, typeBytes, 4);
    if (size > 0)
        crc = crc32(crc, data, static_cast<uInt>(size));
    putBigEndian(check, static_cast<std::uint32_t>(crc));
    std::FILE* out = file.stream();
    return std::fwrite(length, 1, 4, out) == 4 && std::fwrite(type, 1, 4, out) == 4 &&
           (size == 0 || std::fwrite(data, 1, size, out) == size) &&
           std::fwrite(check, 1, 4, out) == 4;
}
