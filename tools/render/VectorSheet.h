#pragma once

#include "tools/render/SheetRequest.h"

// Draws the sheet `sheet` asks for from the glyph file `input` as SVG or PDF,
// with Qt's offscreen platform: no display and no GL. Returns the exit status.
int writeVectorSheet(const char* input, const SheetRequest& sheet);
