#pragma once

#include <QString>

class CharGLWidget;

// Writes the view as it is shown — scroll position and every turn, or the
// glyph shown alone with its zoom and pan — to
// `path`: SVG or PDF as vectors by the extension (.svg, .pdf), else a PNG of
// the view's frame at the screen's device pixels. The rules of every output
// hold, and the glyph file shown is never written over. False where it could
// not, with `why` naming the file and the problem; nothing on disk changed then.
bool savePicture(CharGLWidget& view, const QString& path, QString& why);
