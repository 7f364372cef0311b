#pragma once

#include <GL/gl.h>

// The GL state a cell's frame, glyph and label change and put back.
constexpr GLbitfield cellDrawingAttributes = GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT;

// A square outline from (low, low) to (high, high) in the cell's own units.
inline void squareLoop(float low, float high) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(low, low);
    glVertex2f(low, high);
    glVertex2f(high, high);
    glVertex2f(high, low);
    glEnd();
}
