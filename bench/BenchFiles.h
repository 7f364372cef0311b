#pragma once

#include <string>

// Writes a glyph file of `glyphCount` glyphs of `pointsPerGlyph` points: the
// sample letters A to Z at that many points, repeated in order, so that glyph
// i shows the letter of glyph i % 26. Returns false when the file can't be written.
bool writeRepeatedSample(const std::string& path, int pointsPerGlyph, int glyphCount);

// Size of a file in bytes, or -1 when it can't be read.
long long fileBytes(const std::string& path);
