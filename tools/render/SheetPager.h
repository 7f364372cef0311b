#pragma once

#include "alphabet/AlphabetFile.h"
#include "trackball/Trackball.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

class QOpenGLFramebufferObject;
class QPaintDevice;

// Draws glyph cells exactly as the viewer shows them before any glyph is
// turned, with no window: a page at a time (the view's grid, scrolled by
// whole pages of the rows it shows) into a multisampled frame buffer of the
// view's size, which is resolved and read back as the view's own is. A cell
// comes out the same only where the view draws it, so a page is the view's
// frame and no larger. While one page is read, GL draws the next into a
// second frame buffer. Cells are cheapest taken in increasing order.
class SheetPager {
public:
    // Every glyph is turned by `turn`; `direction` marks where each path starts and runs.
    SheetPager(const AlphabetFile& glyphs, const Quaternion turn, bool direction);
    ~SheetPager();
    SheetPager(const SheetPager&) = delete;
    SheetPager& operator=(const SheetPager&) = delete;

    // Opens the GL context and its frame buffers; false with the reason where it can't.
    bool start(std::string& error);

    int glyphCount() const { return glyphs.glyphCount(); }
    // The last glyph that will be asked for: no page past it is drawn ahead.
    void setLastGlyph(int index) { lastGlyph = index; }
    int cellSize() const;

    // Copies the cell of glyph `index` as RGB bytes, cellSize() rows of
    // cellSize() pixels, into `out`, rows `stride` bytes apart.
    void copyCell(int index, unsigned char* out, std::size_t stride);

private:
    // A page as drawn and as resolved.
    struct Frame {
        std::unique_ptr<QOpenGLFramebufferObject> multisampled;
        std::unique_ptr<QOpenGLFramebufferObject> resolved;
        int page = -1;
    };

    void drawPage(Frame& target, int page);
    void readPage(int page);

    const AlphabetFile& glyphs;
    Quaternion turn;
    bool direction;
    int lastGlyph;
    QOffscreenSurface surface;
    QOpenGLContext context;
    Frame frames[2];
    std::unique_ptr<QPaintDevice> labels;
    int currentPage = -1;
    std::vector<unsigned char> pixels; // the page read, RGBA, the bottom row first, as GL reads it
};
