#pragma once

#include <QString>

// What a text asks for: a glyph index (digits) or a label character (any one
// other character, which stands for the first glyph under that label).
struct GlyphChoice {
    int index = -1;
    QString problem; // why there is no such glyph in `file`; empty when there is
};

// The glyph of a file of `glyphCount` glyphs that `text` asks for, as the
// go-to dialog takes it: surrounding spaces are ignored; `file` names the file
// in the problem.
GlyphChoice chooseGlyph(const QString& text, int glyphCount, const QString& file);
