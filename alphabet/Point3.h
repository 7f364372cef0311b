#pragma once

// One glyph point in glyph-file units, stored packed in the file as three
// little-endian IEEE 754 single-precision floats.
struct Point3 {
    float x;
    float y;
    float z;
};

static_assert(sizeof(Point3) == 12, "Point3 must match the 12-byte file layout");
