#pragma once

// Bytes gathered and written to a stream in large pieces.

#include <cstdio>
#include <string>

class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE* out) : out(out) { bytes.reserve(bufferSize + 256); }
    void append(const char* data, std::size_t size) {
        bytes.append(data, size);
        if (bytes.size() >= bufferSize)
            flush();
    }
    void append(const std::string& text) { append(text.data(), text.size()); }
    // Writes what is gathered; false once any write failed.
    bool flush() {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size())
            failed = true;
        bytes.clear();
        return !failed;
    }

private:
    static constexpr std::size_t bufferSize = 1 << 16;
    std::FILE* out;
    std::string bytes;
    bool failed = false;
};
