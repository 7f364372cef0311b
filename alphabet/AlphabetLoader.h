#pragma once

#include "alphabet/Point3.h"

// Largest number of glyphs taken from a file whose glyphs have no points: such
// glyphs cost no bytes in the file, so the header alone would set the count.
constexpr int maxEmptyGlyphs = 1000000;

// Most bytes of points read from a stream whose size can't be known in advance
// (a pipe or a device): an endless one would otherwise be read until memory
// runs out. 256 MiB holds the 26 letters at 860,000 points each.
constexpr long long maxUnsizedBytes = 256LL << 20;

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
// memory that can be had loads nothing and says so.
Point3* loadAlphabet(const char* path, int& pointsPerGlyph, int& glyphCount);
