#pragma once

#include "tools/render/RenderResult.h"
#include "tools/render/SheetRequest.h"

// Draws the sheet of glyph file `input` with the viewer's GL drawing, offscreen,
// and writes it as PNG, in pages where it is too tall for one image; each page
// written is told to `notice`.
RenderResult renderPngSheet(const char* input, const SheetRequest& sheet,
                            const RenderNotice& notice);
