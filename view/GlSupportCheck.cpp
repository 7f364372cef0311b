// GLEW's header must come before any other GL header, and Qt's GL headers
// refuse to follow it, so GLEW has this file to itself.
#include <GL/glew.h>

#include "view/GlSupportCheck.h"

#include <QDebug>

void checkGlSupport(int majorVersion) {
    const GLenum glew = glewInit();
    if (glew == GLEW_ERROR_NO_GLX_DISPLAY) {
        if (majorVersion < 2)
            qDebug("ERROR: Support for necessary OpenGL extensions missing.");
        return;
    }
    if (glew != GLEW_OK)
        qDebug("errer glew init");
    if (!glewIsSupported("GL_VERSION_2_0 "))
        qDebug("ERROR: Support for necessary OpenGL extensions missing.");
}
