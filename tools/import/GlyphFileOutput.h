#pragma once

// A glyph file written by the rules every output follows.

#include "alphabet/OutputFile.h"
#include "alphabet/Point3.h"

#include <string>

// How writing went: status 0, or the exit status (2 refused, 1 failed) and why.
struct WriteOutcome {
    int status = 0;
    std::string error;
};

// Writes `glyphCount` glyphs of `pointsPerGlyph` points each to `path`.
WriteOutcome writeGlyphFile(const std::string& path, const OutputRules& rules, int pointsPerGlyph,
                            int glyphCount, const Point3* points);
