#pragma once

#include "alphabet/Point3.h"

#include <cstdio>
#include <string>

// Writes the bytes of a glyph file to `out`: the header (points per glyph,
// glyph count) and the points of every glyph. False for negative counts or a
// failed write.
bool writeAlphabet(std::FILE* out, int pointsPerGlyph, int glyphCount, const Point3* points);

// Writes a glyph file at `path` as an OutputFile does: an existing file is
// replaced only once the new one is complete. Returns false and sets `error`
// (naming the file) on failure.
bool writeAlphabet(const std::string& path, int pointsPerGlyph, int glyphCount,
                   const Point3* points, std::string& error);
