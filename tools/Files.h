#pragma once

// File access for the commands: whole-file reads, the glyph-file header and outputs.

#include "alphabet/AlphabetHeader.h"
#include "alphabet/OutputFile.h"
#include "import/InputKind.h"

#include <cstdint>
#include <string>
#include <vector>

// True if `path` is a file that can be opened for reading; else says why not.
bool canRead(const std::string& path, std::string& error);

// Reads a whole file, or standard input for "-", into `data`.
bool readWholeFile(const std::string& path, std::string& data, std::string& error);

// The header of a glyph file, as far as the file holds one. Only a regular file's
// header is read: a pipe's bytes are left to the loader.
struct GlyphHeader {
    AlphabetHeader counts;
    std::int64_t fileSize = -1; // -1 where the file is not a regular file
    FileSniff sniff;            // what the first bytes say: text to import, or a glyph file
};

// Reads the header of the glyph file `path`; false (saying why) where it can't be read.
bool readGlyphHeader(const std::string& path, GlyphHeader& header, std::string& error);

// Where `header` says its file is text (points, a Hershey font or SVG), tells on
// standard error how to import it and returns true.
bool refuseText(const char* command, const std::string& path, const GlyphHeader& header);

// Where one of the import's `inputs` (their bytes in `data`) is a glyph file already,
// says so on standard error, after the refusal to write `output` (null: the default)
// onto it where that is refused, and returns the exit status; else 0.
int refuseGlyphFileImport(const std::vector<std::string>& inputs,
                          const std::vector<std::string>& data, const char* output);

// Opens `file` for `command`; where it is refused or fails, says why on standard error
// and returns the exit status (2 refused, 1 failed), else 0.
int openOutput(const char* command, OutputFile& file, const std::string& path,
               const OutputRules& rules);

// Completes `file`, into which `written` says all bytes went; 0, or 1 after saying
// what failed.
int commitOutput(const char* command, OutputFile& file, bool written);
