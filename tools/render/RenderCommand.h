#pragma once

// The render command's parts: what it is asked for, and each way of drawing a sheet.

#include "tools/render/SheetRequest.h"

#include <functional>
#include <string>

class AlphabetFile;

// Say `message` on standard error for render and give its exit status: 1 for
// a failure, 2 for a refusal (usage, input or output).
int renderFailure(const std::string& message);
int renderRefusal(const std::string& message);

// Draws the sheet of glyph file `input` with the viewer's GL drawing, offscreen,
// and writes it as PNG, in pages where it is too tall for one image.
int renderPngSheet(const char* input, const SheetRequest& sheet);

// Starts Qt's GUI application on the platform chosen beforehand, loads the glyphs of
// `input` and runs `draw` on them; a file without glyphs is a failure.
int drawGlyphsOf(const char* input, const std::function<int(const AlphabetFile&)>& draw);
