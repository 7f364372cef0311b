#include "cells/gl/DrawThrottle.h"

#include <QOpenGLExtraFunctions>

DrawThrottle::DrawThrottle() {
    const QOpenGLContext* context = QOpenGLContext::currentContext();
    if (!context)
        return;
    const QSurfaceFormat format = context->format();
    const bool fenced = format.version() >= qMakePair(3, 2) ||
                        context->hasExtension(QByteArrayLiteral("GL_ARB_sync"));
    if (fenced && !context->isOpenGLES())
        gl = context->extraFunctions();
}

DrawThrottle::~DrawThrottle() {
    if (!gl)
        return;
    for (GLsync fence : fences)
        if (fence)
            gl->glDeleteSync(fence);
}

void DrawThrottle::pieceDrawn() {
    if (!gl) {
        glFinish();
        return;
    }
    GLsync& oldest = fences[next];
    if (oldest) {
        // A second at a time, as long as it takes: only a failed wait gives up.
        constexpr GLuint64 second = 1000000000;
        GLenum waited = GL_TIMEOUT_EXPIRED;
        while (waited == GL_TIMEOUT_EXPIRED)
            waited = gl->glClientWaitSync(oldest, GL_SYNC_FLUSH_COMMANDS_BIT, second);
        gl->glDeleteSync(oldest);
    }
    oldest = gl->glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    next = (next + 1) % fences.size();
}
