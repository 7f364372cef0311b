#include "cells/gl/CellPainter.h"
#include "cells/gl/CloseLookPainter.h"
#include "view/CharGLWidget.h"

// The closer look fills the view: every paint draws all of it.
void CharGLWidget::paintCloseLook() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const CellPainter cells(*this);
    CloseLookPainter(cells).paint(closeLookShown());
    glFlush();
}
