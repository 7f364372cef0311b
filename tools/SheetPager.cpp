#include "tools/SheetPager.h"

#include "view/CellPainter.h"
#include "view/GridGeometry.h"

#include <QGuiApplication>
#include <QOpenGLFramebufferObject>
#include <QOpenGLPaintDevice>
#include <QScreen>
#include <algorithm>

namespace {

constexpr int side = gridViewSize; // the view's frame, which holds a page

// A paint device on the frame buffer bound in the current context that
// resolves fonts at the screen's resolution, as a widget on it does: the
// labels come out at the size the viewer gives them.
class ScreenTextDevice : public QOpenGLPaintDevice {
public:
    ScreenTextDevice(QSize size, const QScreen* screen)
        : QOpenGLPaintDevice(size), logicalX(screen ? qRound(screen->logicalDotsPerInchX()) : 96),
          logicalY(screen ? qRound(screen->logicalDotsPerInchY()) : 96),
          physicalX(screen ? qRound(screen->physicalDotsPerInchX()) : 96),
          physicalY(screen ? qRound(screen->physicalDotsPerInchY()) : 96) {}

protected:
    int metric(PaintDeviceMetric metric) const override {
        switch (metric) {
        case PdmDpiX:
            return logicalX;
        case PdmDpiY:
            return logicalY;
        case PdmPhysicalDpiX:
            return physicalX;
        case PdmPhysicalDpiY:
            return physicalY;
        default:
            return QOpenGLPaintDevice::metric(metric);
        }
    }

private:
    int logicalX, logicalY, physicalX, physicalY;
};

} // namespace

SheetPager::SheetPager(const AlphabetFile& glyphs_) : glyphs(glyphs_) {}

SheetPager::~SheetPager() {
    // The frame buffers and the paint device belong to the context.
    if (context.makeCurrent(&surface)) {
        labels.reset();
        resolved.reset();
        multisampled.reset();
        context.doneCurrent();
    }
}

int SheetPager::cellSize() const {
    return gridCellSize;
}

bool SheetPager::start(std::string& error) {
    const QSurfaceFormat format = CellPainter::surfaceFormat();
    surface.setFormat(format);
    surface.create();
    context.setFormat(format);
    if (!context.create() || !context.makeCurrent(&surface)) {
        error = "no OpenGL context to draw in";
        return false;
    }
    if (!QOpenGLFramebufferObject::hasOpenGLFramebufferBlit()) {
        error = "the OpenGL driver can't resolve a multisampled frame buffer";
        return false;
    }
    // The frame buffers the view's widget draws into and resolves to.
    QOpenGLFramebufferObjectFormat drawn;
    drawn.setAttachment(QOpenGLFramebufferObject::CombinedDepthStencil);
    drawn.setSamples(format.samples());
    multisampled = std::make_unique<QOpenGLFramebufferObject>(side, side, drawn);
    resolved = std::make_unique<QOpenGLFramebufferObject>(side, side);
    if (!multisampled->isValid() || !resolved->isValid()) {
        error = "no OpenGL frame buffer of " + std::to_string(side) + " x " + std::to_string(side) +
                " pixels to draw in";
        return false;
    }
    multisampled->bind();
    labels =
        std::make_unique<ScreenTextDevice>(QSize(side, side), QGuiApplication::primaryScreen());
    glViewport(0, 0, side, side);
    CellPainter::prepareContext();
    frame.resize(std::size_t(side) * side * 4);
    return true;
}

void SheetPager::drawPage(int page) {
    multisampled->bind();
    glViewport(0, 0, side, side);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Scrolled as the wheel scrolls, by whole rows: the page's first row is at the top.
    const double scrollOffset = double(page) * gridRowsShown * gridCellSize;
    CellPainter(*labels).paintGrid(scrollOffset, gridColumns, glyphCount(), [this](int index) {
        CellContent cell;
        cell.points = glyphs.glyph(index);
        cell.pointCount = glyphs.pointsPerGlyph();
        cell.labelIndex = index;
        return cell;
    });
    glFlush();
    QOpenGLFramebufferObject::blitFramebuffer(resolved.get(), multisampled.get());
    resolved->bind();
    glReadPixels(0, 0, side, side, GL_RGBA, GL_UNSIGNED_BYTE, frame.data());
    currentPage = page;
}

void SheetPager::copyCell(int index, unsigned char* out, std::size_t stride) {
    const int row = index / gridColumns;
    const int page = row / gridRowsShown;
    if (page != currentPage)
        drawPage(page);
    const int left = (index % gridColumns) * gridCellSize;
    const int top = (row % gridRowsShown) * gridCellSize;
    for (int y = 0; y < gridCellSize; ++y) {
        // GL reads the frame from its bottom row up.
        const std::size_t line = std::size_t(side - 1 - (top + y));
        const unsigned char* source = frame.data() + (line * side + std::size_t(left)) * 4;
        unsigned char* target = out + std::size_t(y) * stride;
        for (int x = 0; x < gridCellSize; ++x, source += 4, target += 3)
            std::copy(source, source + 3, target);
    }
}
