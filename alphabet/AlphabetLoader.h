#pragma once

#include "alphabet/AlphabetFile.h"
#include "alphabet/Point3.h"

// Reads a glyph file: a header of two little-endian 32-bit signed integers,
// points per glyph and glyph count, followed by the points of every glyph as
// packed Point3 values. Returns the point block (release with delete[]) and
// writes both counts.
//
// A file that can't be opened prints "Unable to write file: <path>." to
// standard output, returns null and leaves the counts untouched. A bad header
// or a file too short for what it announces is reported on standard error and
// never allocates more than the file can fill: negative counts load nothing,
// and a short file loads the glyphs it holds in full. A file too large for the
// memory that can be had loads nothing and says so. This is AlphabetFile with
// its points always read into memory.
Point3* loadAlphabet(const char* path, int& pointsPerGlyph, int& glyphCount);
