#pragma once

// A glyph's place in its file is its identity: glyph `index` is shown under
// the Latin-1 character of this code, "A" for glyph 0, "Z" for 25, then "[",
// and on round the 256 codes.
constexpr int glyphLabelCode(int index) {
    return (65 + index) % 256;
}

// The first glyph shown under the Latin-1 character `code` (0 to 255); the
// same label comes back every 256 glyphs after it.
constexpr int firstGlyphLabelled(int code) {
    return (code - glyphLabelCode(0) + 256) % 256;
}

// Whether that character can stand for the glyph in plain ASCII text.
constexpr bool labelIsPrintableAscii(int code) {
    return code > 32 && code < 127;
}

// Whether that character draws anything: all but the control characters
// (below 32 and 127 to 159) and the soft hyphen, as Qt's QChar::isPrint()
// has it for Latin-1. The others are no label at all, on screen, in every
// picture and in the tooltip: fonts draw stray boxes for them, and SVG can't
// hold them.
constexpr bool labelIsDrawn(int code) {
    return code >= 32 && !(code >= 127 && code < 160) && code != 173;
}

// Whether that character can be shown between quotes in a message: it draws
// something, and it is not a space.
constexpr bool labelIsShownQuoted(int code) {
    return labelIsDrawn(code) && code != 32 && code != 160;
}
