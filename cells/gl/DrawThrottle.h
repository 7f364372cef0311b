#pragma once

#include <QOpenGLContext>
#include <array>

class QOpenGLExtraFunctions;

// Keeps the GL work queued for a long drawing short: after each piece a fence
// goes in, and before a piece is handed over the piece two back must be done.
// A software rasterizer otherwise holds the binned work of every piece until
// the frame ends, many times the size of the points drawn. While one piece is
// drawn the next is prepared, so the throttle costs little time. Without
// fences (GL before 3.2) it finishes each piece instead.
class DrawThrottle {
public:
    DrawThrottle();
    ~DrawThrottle();
    DrawThrottle(const DrawThrottle&) = delete;
    DrawThrottle& operator=(const DrawThrottle&) = delete;

    // Call after handing GL a piece of the drawing.
    void pieceDrawn();

private:
    QOpenGLExtraFunctions* gl = nullptr;
    std::array<GLsync, 2> fences{};
    std::size_t next = 0;
};
