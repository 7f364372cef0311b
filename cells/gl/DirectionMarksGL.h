#pragma once

#include "alphabet/Point3.h"

class GlyphProjection;
struct DirectionMarks;

// Draws the direction marks of a glyph (see DirectionMarks.h) over its cell,
// which is the current GL viewport: the glyph's `count` points seen through
// `projection`, the camera and turn the glyph itself is drawn with. The
// viewport is `pixelRatio` device pixels to a logical one. GL state is as it
// was afterwards, but for the matrices, which every drawing step sets anew.
void drawDirectionMarks(const Point3* points, int count, const GlyphProjection& projection,
                        int cellSize, float pixelRatio);

// Draws `marks`, worked out for a viewport `side` logical pixels square.
void drawDirectionMarks(const DirectionMarks& marks, int side, float pixelRatio);
