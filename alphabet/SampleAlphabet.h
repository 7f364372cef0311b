#pragma once

#include "alphabet/Point3.h"

#include <vector>

constexpr int sampleGlyphCount = 26;

// The bundled sample alphabet: the capital letters A to Z, one after another,
// each drawn as a single continuous stroke with `pointsPerGlyph` points spaced
// evenly along it. Letters lie roughly in x 0..1, y 0..1.4 (y up) and read
// correctly seen from +z; their depth varies along the stroke. Gives no points
// if `pointsPerGlyph` is below one.
std::vector<Point3> sampleAlphabet(int pointsPerGlyph);
