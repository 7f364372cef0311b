#pragma once

#include "alphabet/OutputFile.h"
#include "alphabet/Point3.h"

#include <cstdio>
#include <string>

// Writes the bytes of a glyph file to `out`: the header (points per glyph,
// glyph count) and the points of every glyph. False for negative counts or a
// failed write.
bool writeAlphabet(std::FILE* out, int pointsPerGlyph, int glyphCount, const Point3* points);

// How writing a glyph file went: status 0, or the exit status a command gives
// (2 refused, 1 failed) and why.
struct WriteOutcome {
    int status = 0;
    std::string error;
};

// Writes a glyph file at `path` by `rules`, as an OutputFile does: an existing
// file is replaced only once the new one is complete.
WriteOutcome writeGlyphFile(const std::string& path, const OutputRules& rules, int pointsPerGlyph,
                            int glyphCount, const Point3* points);
