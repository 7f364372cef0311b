#include "tools/SheetPager.h"

#include "view/CharGLWidget.h"

namespace {

// The grid area's height: the view draws its rows into 400 pixels whatever its size.
constexpr int gridHeight = 400;

} // namespace

SheetPager::SheetPager(CharGLWidget& view_) : view(view_) {
    rowsPerPage = gridHeight / view.cellSize;
}

int SheetPager::glyphCount() const {
    return view.glyphCount;
}

int SheetPager::cellSize() const {
    return view.cellSize;
}

bool SheetPager::showPage(int page, std::string& error) {
    // Scrolling by whole rows, as the wheel does, brings the page's first row to the top.
    view.scrollOffset = static_cast<float>(double(page) * rowsPerPage * view.cellSize);
    frame = view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (frame.width() < view.columns * view.cellSize || frame.height() < gridHeight) {
        error = "the view's frame is " + std::to_string(frame.width()) + " x " +
                std::to_string(frame.height()) + " pixels, too small for its grid";
        return false;
    }
    currentPage = page;
    return true;
}

bool SheetPager::copyCell(int index, unsigned char* out, std::size_t stride, std::string& error) {
    const int row = index / view.columns;
    const int page = row / rowsPerPage;
    if (page != currentPage && !showPage(page, error))
        return false;
    const int left = (index % view.columns) * view.cellSize;
    // GL draws the grid area from the frame's bottom edge up.
    const int top = (frame.height() - gridHeight) + (row % rowsPerPage) * view.cellSize;
    for (int y = 0; y < view.cellSize; ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(frame.constScanLine(top + y)) + left;
        unsigned char* target = out + std::size_t(y) * stride;
        for (int x = 0; x < view.cellSize; ++x) {
            target[3 * x] = static_cast<unsigned char>(qRed(source[x]));
            target[3 * x + 1] = static_cast<unsigned char>(qGreen(source[x]));
            target[3 * x + 2] = static_cast<unsigned char>(qBlue(source[x]));
        }
    }
    return true;
}
