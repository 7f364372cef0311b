#pragma once

#include "geometry/GridGeometry.h"
#include "pictures/VectorDocument.h"
#include "tools/render/RenderResult.h"
#include "tools/render/SheetRequest.h"

// The widest and tallest page PDF readers accept, in points.
constexpr int maxPdfPoints = 14400;
// The most columns of cells a PDF page holds within that width.
constexpr int maxPdfColumns =
    static_cast<int>(maxPdfPoints / (gridCellSize * VectorDocument::pointsPerPixel));

// Draws the sheet `sheet` asks for from the glyph file `input` as SVG or PDF,
// with Qt's offscreen platform: no display and no GL. Each SVG page file
// written is told to `notice`.
RenderResult writeVectorSheet(const char* input, const SheetRequest& sheet,
                              const RenderNotice& notice);
