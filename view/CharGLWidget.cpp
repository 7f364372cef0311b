#include "view/CharGLWidget.h"

#include "cells/gl/CellPainter.h"
#include "cells/vector/VectorCellPainter.h"
#include "import/InputKind.h"
#include "trackball/Trackball.h"

#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The GUI thread reads regular files alone: opening a pipe would wait for its writer.
constexpr AlphabetFile::Kinds regularFilesOnly = AlphabetFile::Kinds::RegularOnly;

// Where `path` is text that import makes a glyph file of (points, a Hershey font or
// SVG), what to say of it, as the tool's commands do; else "". Said on standard
// error too, where the loader says its problems.
QString importableText(const QByteArray& path) {
    const int in = ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (in < 0)
        return QString();
    struct stat status;
    char start[sniffBytes];
    ssize_t got = -1;
    if (fstat(in, &status) == 0 && S_ISREG(status.st_mode))
        got = pread(in, start, sizeof start, 0);
    ::close(in);
    if (got < 0)
        return QString();
    const FileSniff sniff = sniffFile(std::string_view(start, std::size_t(got)), status.st_size);
    if (!sniff.looksLikeText)
        return QString();
    const std::string advice = importAdvice(path.toStdString(), sniff.kind);
    std::fprintf(stderr, "%s\n", advice.c_str());
    return QString::fromStdString(advice);
}

} // namespace

CharGLWidget::CharGLWidget(QWidget* parent, const char* alphabetPath)
    : QOpenGLWidget(parent, Qt::WindowFlags()), path(alphabetPath) {
    setFormat(CellPainter::surfaceFormat());
    // The frame buffer keeps its pixels between paints, so a drag step redraws one cell.
    setUpdateBehavior(QOpenGLWidget::PartialUpdate);
    // A file that can't be opened prints why and leaves the view empty.
    textRefused = importableText(path);
    if (textRefused.isEmpty())
        alphabet.open(alphabetPath, AlphabetFile::Storage::MapWherePossible, regularFilesOnly);
    watcher.watch(path);
    connect(&watcher, &GlyphFileWatcher::fileReady, this, &CharGLWidget::reloadAlphabet);

    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

CharGLWidget::~CharGLWidget() = default;

bool CharGLWidget::openAlphabet(const QByteArray& file, QString* why) {
    if (const QString text = importableText(file); !text.isEmpty()) {
        if (why)
            *why = text;
        return false;
    }
    AlphabetFile opened;
    opened.open(file.constData(), AlphabetFile::Storage::MapWherePossible, regularFilesOnly);
    if (!opened.holdsGlyphFile()) {
        if (why)
            *why = QString::fromStdString(opened.problem());
        return false;
    }
    path = file;
    showAlphabet(std::move(opened), false);
    watcher.watch(path);
    return true;
}

void CharGLWidget::reloadAlphabet() {
    if (!importableText(path).isEmpty())
        return; // text in its place now: the glyphs shown stay
    AlphabetFile fresh;
    if (!fresh.open(path.constData(), AlphabetFile::Storage::MapWherePossible, regularFilesOnly))
        return; // gone again: the glyphs shown stay
    if (!fresh.holdsGlyphFile()) {
        std::fprintf(stderr, "%s: no glyphs in its new contents; the glyphs shown stay\n",
                     path.constData());
        return;
    }
    showAlphabet(std::move(fresh), true);
}

void CharGLWidget::showAlphabet(AlphabetFile&& file, bool keepView) {
    const bool sameShape = file.glyphCount() == alphabet.glyphCount() &&
                           file.pointsPerGlyph() == alphabet.pointsPerGlyph();
    alphabet = std::move(file);
    textRefused.clear();
    if (!keepView || !sameShape) {
        scrollOffset = 0;
        turns.clear();
        activeGlyph = -1;
        dragging = false;
    }
    keepCloseLook(keepView);
    redraw.everything();
    glDraw();
}

int CharGLWidget::cellAt(float x, float y) const {
    return cellIndexAt(x, y, scrollOffset, gridCellSize, gridColumns, glyphCount());
}

GridCorner CharGLWidget::cellTopLeft(int index) const {
    return cellTopLeftOf(index, scrollOffset, gridCellSize, gridColumns);
}

GridPoint CharGLWidget::cellCentre(int index) const {
    return cellCentreOf(index, scrollOffset, gridCellSize, gridColumns, height());
}

void CharGLWidget::scrollTo(double offset) {
    scrollOffset = offset;
    redraw.everything();
    glDraw();
}

void CharGLWidget::wheelEvent(QWheelEvent* event) {
    if (closer.isOpen()) {
        closeLookWheel(event);
        return;
    }
    // One delta, as a single-axis wheel reports it: the vertical one, else the horizontal.
    const QPoint angle = event->angleDelta();
    const int delta = angle.y() != 0 ? angle.y() : angle.x();
    event->accept();
    scrollTo(scrollAfterSteps(scrollOffset, wheel.steps(delta), gridCellSize, gridColumns, height(),
                              glyphCount()));
}

void CharGLWidget::glDraw() {
    repaint();
}

std::vector<VectorCell> CharGLWidget::cellsShown() const {
    std::vector<VectorCell> cells;
    forEachCellInView(scrollOffset, gridCellSize, gridColumns, gridViewSize, glyphCount(),
                      [&](int i, float, float) {
                          const GridCorner corner = cellTopLeft(i);
                          cells.push_back({cellContent(i), QPointF(corner.x, corner.y)});
                      });
    return cells;
}
