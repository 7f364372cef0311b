#pragma once

#include "alphabet/Point3.h"

#include <string>

// Writes a glyph file: the header (points per glyph, glyph count) and the
// points of every glyph. The bytes go to a temporary file beside `path`,
// which is renamed onto it only when complete, so an existing file is never
// left half written. Returns false and sets `error` (naming the file) on failure.
bool writeAlphabet(const std::string& path, int pointsPerGlyph, int glyphCount,
                   const Point3* points, std::string& error);
