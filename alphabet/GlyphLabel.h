#pragma once

// A glyph's place in its file is its identity: glyph `index` is shown under
// the Latin-1 character of this code, "A" for glyph 0, "Z" for 25, then "[",
// and on round the 256 codes.
constexpr int glyphLabelCode(int index) {
    return (65 + index) % 256;
}

// Whether that character can stand for the glyph in plain ASCII text.
constexpr bool labelIsPrintableAscii(int code) {
    return code > 32 && code < 127;
}
