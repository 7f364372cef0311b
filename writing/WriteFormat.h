#pragma once

// The kinds of file write makes, by name and by extension.

#include <string>

enum class WriteFormat { Alphabet, Csv, Gcode, Svg, Hpgl };

// Reads "alphabet", "csv", "gcode", "svg" or "hpgl"; false for anything else.
bool parseWriteFormat(const std::string& name, WriteFormat& format);

// The format a file name's extension asks for: .alphabet, .csv, .gcode, .nc,
// .ngc, .svg, .hpgl, .plt (in any case); false for any other name.
bool writeFormatOf(const std::string& path, WriteFormat& format);

// Only pen-down runs are drawn (SVG, HPGL).
inline bool drawsRunsOnly(WriteFormat format) {
    return format == WriteFormat::Svg || format == WriteFormat::Hpgl;
}
