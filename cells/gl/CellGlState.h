#pragma once

#include <GL/gl.h>

// The GL state a cell's frame, glyph, marks and label change and put back.
constexpr GLbitfield cellDrawingAttributes = GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT;
