#include "tools/render/SheetPager.h"

#include "cells/gl/CellPainter.h"
#include "geometry/GridGeometry.h"

#include <QGuiApplication>
#include <QOpenGLFramebufferObject>
#include <QOpenGLPaintDevice>
#include <QScreen>
#include <algorithm>
#include <utility>

namespace {

// A paint device on the frame buffer bound in the current context that
// resolves fonts at the screen's resolution, as a widget on it does: the
// labels come out at the size the viewer gives them.
std::unique_ptr<QOpenGLPaintDevice> screenTextDevice(QSize size) {
    auto device = std::make_unique<QOpenGLPaintDevice>(size);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal metresPerInch = 0.0254;
    device->setDotsPerMeterX(qRound((screen ? screen->logicalDotsPerInchX() : 96) / metresPerInch));
    device->setDotsPerMeterY(qRound((screen ? screen->logicalDotsPerInchY() : 96) / metresPerInch));
    return device;
}

} // namespace

SheetPager::SheetPager(const AlphabetFile& glyphs_, const Quaternion turn_, bool direction_)
    : glyphs(glyphs_), turn{turn_[0], turn_[1], turn_[2], turn_[3]}, direction(direction_),
      lastGlyph(glyphs_.glyphCount() - 1) {}

SheetPager::~SheetPager() {
    // The frame buffers and the paint device belong to the context.
    if (context.makeCurrent(&surface)) {
        labels.reset();
        for (Frame& frame : frames) {
            frame.resolved.reset();
            frame.multisampled.reset();
        }
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
    for (Frame& frame : frames) {
        frame.multisampled =
            std::make_unique<QOpenGLFramebufferObject>(gridViewSize, gridViewSize, drawn);
        frame.resolved = std::make_unique<QOpenGLFramebufferObject>(gridViewSize, gridViewSize);
        if (!frame.multisampled->isValid() || !frame.resolved->isValid()) {
            error = "no OpenGL frame buffer of " + std::to_string(gridViewSize) + " x " +
                    std::to_string(gridViewSize) + " pixels to draw in";
            return false;
        }
    }
    frames[0].multisampled->bind();
    labels = screenTextDevice(QSize(gridViewSize, gridViewSize));
    glViewport(0, 0, gridViewSize, gridViewSize);
    CellPainter::prepareContext();
    pixels.resize(std::size_t(gridViewSize) * gridViewSize * 4);
    return true;
}

// Draws and resolves `page` into `target`; GL goes on with it after the call returns.
void SheetPager::drawPage(Frame& target, int page) {
    target.multisampled->bind();
    glViewport(0, 0, gridViewSize, gridViewSize);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    // Scrolled as the wheel scrolls, by whole rows: the page's first row is at the top.
    const double scrollOffset = double(page) * gridRowsShown * gridCellSize;
    CellPainter(*labels).paintGrid(scrollOffset, gridColumns, glyphCount(), [this](int index) {
        CellContent cell;
        cell.points = glyphs.glyph(index);
        cell.pointCount = glyphs.pointsPerGlyph();
        cell.orientation = turn;
        cell.labelIndex = index;
        cell.direction = direction;
        return cell;
    });
    QOpenGLFramebufferObject::blitFramebuffer(target.resolved.get(), target.multisampled.get());
    glFlush();
    target.page = page;
}

void SheetPager::readPage(int page) {
    Frame* current = &frames[0];
    Frame* next = &frames[1];
    if (next->page == page)
        std::swap(current, next);
    if (current->page != page)
        drawPage(*current, page);
    const int glyphsPerPage = gridRowsShown * gridColumns;
    if (page + 1 <= lastGlyph / glyphsPerPage && next->page != page + 1)
        drawPage(*next, page + 1);
    current->resolved->bind();
    glReadPixels(0, 0, gridViewSize, gridViewSize, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    currentPage = page;
}

void SheetPager::copyCell(int index, unsigned char* out, std::size_t stride) {
    const int row = index / gridColumns;
    const int page = row / gridRowsShown;
    if (page != currentPage)
        readPage(page);
    const int left = (index % gridColumns) * gridCellSize;
    const int top = (row % gridRowsShown) * gridCellSize;
    for (int y = 0; y < gridCellSize; ++y) {
        // GL reads the frame from its bottom row up.
        const std::size_t line = std::size_t(gridViewSize - 1 - (top + y));
        const unsigned char* source = pixels.data() + (line * gridViewSize + std::size_t(left)) * 4;
        unsigned char* target = out + std::size_t(y) * stride;
        for (int x = 0; x < gridCellSize; ++x, source += 4, target += 3)
            std::copy(source, source + 3, target);
    }
}
