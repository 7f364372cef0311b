#pragma once

// File access for the commands: whole-file reads and outputs that replace a file at once.

#include <cstdio>
#include <string>

// An output file that replaces `path` only once it is complete: the bytes go
// to a temporary file beside it, renamed over `path` by commit(). A file that
// is never committed is removed, so an existing file is never left half written.
class ReplacingFile {
public:
    ReplacingFile() = default;
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool open(const std::string& path, std::string& error);
    std::FILE* stream() const { return file; }
    bool commit(std::string& error);

private:
    void discard();

    std::string target;
    std::string temporary;
    std::FILE* file = nullptr;
};

// True if `path` is a file that can be opened for reading; else says why not.
bool canRead(const std::string& path, std::string& error);

// Reads a whole file, or standard input for "-", into `data`.
bool readWholeFile(const std::string& path, std::string& data, std::string& error);
