#pragma once

#include <QImage>
#include <cstddef>
#include <string>

class CharGLWidget;

// Takes glyph cells from a shown view exactly as the viewer draws them: the
// view's frame is grabbed with the grid scrolled by whole pages (as many rows
// as the grid area holds), one page kept at a time. Cells are cheapest taken
// in increasing order.
class SheetPager {
public:
    explicit SheetPager(CharGLWidget& view);

    int glyphCount() const;
    int cellSize() const;

    // Copies the cell of glyph `index` as RGB bytes, cellSize() rows of
    // cellSize() pixels, into `out`, rows `stride` bytes apart.
    bool copyCell(int index, unsigned char* out, std::size_t stride, std::string& error);

private:
    bool showPage(int page, std::string& error);

    CharGLWidget& view;
    int currentPage = -1;
    QImage frame;
};
