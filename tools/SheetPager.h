#pragma once

#include "alphabet/AlphabetFile.h"

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
// view's size, which is resolved and read back as the view's own is. Cells
// are cheapest taken in increasing order.
class SheetPager {
public:
    explicit SheetPager(const AlphabetFile& glyphs);
    ~SheetPager();
    SheetPager(const SheetPager&) = delete;
    SheetPager& operator=(const SheetPager&) = delete;

    // Opens the GL context and its frame buffers; false with the reason where it can't.
    bool start(std::string& error);

    int glyphCount() const { return glyphs.glyphCount(); }
    int cellSize() const;

    // Copies the cell of glyph `index` as RGB bytes, cellSize() rows of
    // cellSize() pixels, into `out`, rows `stride` bytes apart.
    void copyCell(int index, unsigned char* out, std::size_t stride);

private:
    void drawPage(int page);

    const AlphabetFile& glyphs;
    QOffscreenSurface surface;
    QOpenGLContext context;
    std::unique_ptr<QOpenGLFramebufferObject> multisampled;
    std::unique_ptr<QOpenGLFramebufferObject> resolved;
    std::unique_ptr<QPaintDevice> labels;
    int currentPage = -1;
    std::vector<unsigned char> frame; // RGBA, the bottom row first, as GL reads it
};
