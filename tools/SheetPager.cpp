#include "tools/SheetPager.h"

#include "view/CharGLWidget.h"
#include "view/GridGeometry.h"

namespace {

// The grid area's height: the view draws its rows into it whatever its size.
constexpr int gridHeight = gridViewSize;
constexpr int rowsPerPage = gridRowsShown;

} // namespace

SheetPager::SheetPager(CharGLWidget& view_) : view(view_) {}

int SheetPager::glyphCount() const {
    return view.glyphCount();
}

int SheetPager::cellSize() const {
    return gridCellSize;
}

bool SheetPager::showPage(int page, std::string& error) {
    // Scrolling by whole rows, as the wheel does, brings the page's first row to the top.
    view.showRowAtTop(page * rowsPerPage);
    frame = view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    if (frame.width() < gridColumns * gridCellSize || frame.height() < gridHeight) {
        error = "the view's frame is " + std::to_string(frame.width()) + " x " +
                std::to_string(frame.height()) + " pixels, too small for its grid";
        return false;
    }
    currentPage = page;
    return true;
}

bool SheetPager::copyCell(int index, unsigned char* out, std::size_t stride, std::string& error) {
    const int row = index / gridColumns;
    const int page = row / rowsPerPage;
    if (page != currentPage && !showPage(page, error))
        return false;
    const int left = (index % gridColumns) * gridCellSize;
    // GL draws the grid area from the frame's bottom edge up.
    const int top = (frame.height() - gridHeight) + (row % rowsPerPage) * gridCellSize;
    for (int y = 0; y < gridCellSize; ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(frame.constScanLine(top + y)) + left;
        unsigned char* target = out + std::size_t(y) * stride;
        for (int x = 0; x < gridCellSize; ++x) {
            target[3 * x] = static_cast<unsigned char>(qRed(source[x]));
            target[3 * x + 1] = static_cast<unsigned char>(qGreen(source[x]));
            target[3 * x + 2] = static_cast<unsigned char>(qBlue(source[x]));
        }
    }
    return true;
}
