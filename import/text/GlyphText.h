#pragma once

#include "alphabet/Point3.h"

#include <string>
#include <vector>

// The glyph text format: one point "x y z" per line, a blank line between
// glyphs, '#' starting a comment that runs to the end of the line. Lines
// holding only a comment are ignored and never separate glyphs. Blanks, or a
// comma or semicolon with blanks around it, separate the numbers, so CSV reads
// as it is; a line of separators alone is blank. A first line without any
// number is taken for column names and skipped. A UTF-8 byte-order mark is
// skipped; UTF-16 text is refused with the command that converts it. Numbers are
// decimal floats ("1", "-0.25", "1e-3"), "inf" and "-inf", and NaN written as
// "nan", "-nan" (the default quiet NaN) or "nan(0xM)" / "-nan(0xM)" with M the
// 23 mantissa bits (1 to 0x7fffff), so every float bit pattern, NaN payloads
// included, survives a trip through the text.

struct GlyphSet {
    int pointsPerGlyph = 0;
    int glyphCount = 0;
    std::vector<Point3> points;
    // The points of the shortest and the longest glyph in the text, before any resampling.
    int fewestInText = 0;
    int mostInText = 0;
    // The first line where it was skipped as column names, as shown in messages; else empty.
    std::string header;
};

// Where parsing stopped and why. `line` counts from 1; 0 means the text as a whole.
struct TextError {
    int line = 0;
    std::string message;
};

// Most points one text may hold or be resampled to: keeps a hostile or
// mistaken input from claiming gigabytes.
constexpr long long maxTextPoints = 50000000;

// Parses the text format; resampleTo > 0 resamples every glyph to that many points.
// Without resampling every glyph must have the same number of points. On failure
// returns false, fills `error` and leaves `glyphs` untouched.
bool parseGlyphText(const std::string& text, int resampleTo, GlyphSet& glyphs, TextError& error);

// The text of `glyphCount` glyphs of `pointsPerGlyph` points each, with a comment
// line before each glyph. Every float is written so that parsing gives back its bits.
std::string formatGlyphText(const Point3* points, int pointsPerGlyph, int glyphCount);

// The same text in pieces, for glyph files too large to hold as text: the
// heading, then each glyph appended in turn, `index` counting from 0.
std::string glyphTextHeading(int pointsPerGlyph, int glyphCount);
void appendGlyphText(std::string& text, const Point3* points, int pointsPerGlyph, int index);

// Writes `value` in the fewest digits that parse back to the same float (NaNs
// with their payload, as above) into [out, last); returns the end. 48 bytes hold any.
char* formatNumber(float value, char* out, char* last);
