#pragma once

// Shared helpers of the GL view tests: a view whose repaint the tests can
// trigger and whose frame buffer they can read, and glyph files in temporary
// folders.

#include "GlyphFileSupport.h"
#include "PixelClasses.h"
#include "ViewProbe.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLExtraFunctions>
#include <QOpenGLFramebufferObject>
#include <QUrl>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>
#include <memory>

// A counting view that exposes the repaint to the tests.
class TestView : public CountingView {
public:
    using CountingView::CountingView;

    void draw() { glDraw(); }

    // Asks for a repaint as the handlers do, then paints and reads the frame
    // buffer back, top row first.
    QImage frame() {
        glDraw();
        return grabFramebuffer();
    }
};

// Writes a glyph file into `dir` and shows a 400x400 top-level view of it.
inline std::unique_ptr<TestView> showGlyphs(const QTemporaryDir& dir, int pointsPerGlyph,
                                            int glyphCount, const QVector<Point3>& points) {
    const QString path = dir.filePath("glyphs.alphabet");
    writeGlyphFile(path, pointsPerGlyph, glyphCount, points);
    auto view = std::make_unique<TestView>(nullptr, path.toLocal8Bit().constData());
    view->resize(400, 400);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        qWarning("the view was not exposed");
    return view;
}

// Runs `body` with the working directory set to `dir`.
template <typename Body> void inFolder(const QTemporaryDir& dir, Body body) {
    const QString old = QDir::currentPath();
    QDir::setCurrent(dir.path());
    body();
    QDir::setCurrent(old);
}

// Ten points zig-zagging along x in the plane z = 0, centred on the origin:
// x = -4.5 .. 4.5 in steps of 1, y alternating -1 and +1.
inline QVector<Point3> zigZag(float scale = 1) {
    QVector<Point3> points;
    for (int k = 0; k < 10; ++k)
        points.append({(float(k) - 4.5f) * scale, (k % 2 ? 1.0f : -1.0f) * scale, 0});
    return points;
}

// Where the camera of a glyph centred on the origin, seen from +z at
// `eyeDistance` through the 60-degree field of view, puts (x, y): offsets in
// a cell of 100 logical pixels, y downward.
inline QPointF projected(float x, float y, double eyeDistance) {
    const double scale = 50 / (eyeDistance * std::tan(M_PI / 6));
    return {50 + x * scale, 50 - y * scale};
}

// Eye distance of the zig-zag: 2.1 times its farthest point, (4.5, 1), from the centroid.
inline double zigZagEye() {
    return double(2.1f) * std::sqrt(4.5 * 4.5 + 1);
}

// `count` copies of `glyph`, one after the other.
inline QVector<Point3> repeated(const QVector<Point3>& glyph, int count) {
    QVector<Point3> points;
    for (int i = 0; i < count; ++i)
        points += glyph;
    return points;
}

// The image rectangle of the cell in column `column` whose top edge is at image row `top`.
inline QRect cellRect(int column, int top) {
    return QRect(column * 100, top, 100, 100);
}

// Image pixels that differ between `a` and `b`, outside `except`.
inline int differingPixels(const QImage& a, const QImage& b, const QRect& except = QRect()) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (!except.contains(x, y) && a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

// Real input events, delivered through the application like the window system's.
inline void press(QWidget* view, QPoint at, Qt::MouseButton button = Qt::LeftButton,
                  QEvent::Type type = QEvent::MouseButtonPress,
                  Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QMouseEvent event(type, at, view->mapToGlobal(at), button, button, modifiers);
    QCoreApplication::sendEvent(view, &event);
}

// A move carries the buttons held but no button of its own.
inline void moveTo(QWidget* view, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent event(QEvent::MouseMove, at, view->mapToGlobal(at), Qt::NoButton, held,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

inline void release(QWidget* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QMouseEvent event(QEvent::MouseButtonRelease, at, view->mapToGlobal(at), button, Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &event);
}

// Sends a wheel event with `angle` (x, y) and returns whether the view accepted it.
inline bool turnWheel(QWidget* view, QPoint angle, QPoint at = QPoint(200, 200)) {
    QWheelEvent event(at, view->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    event.ignore();
    QCoreApplication::sendEvent(view, &event);
    return event.isAccepted();
}

inline void pressKey(QWidget* view, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     bool autoRepeat = false) {
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(view, &event);
}

// Drags `urls` over `window` and drops them there, as a file manager does;
// returns whether the window took the drop.
inline bool dropUrls(QWidget* window, const QList<QUrl>& urls, QPoint at = QPoint(200, 200)) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    if (!enter.isAccepted())
        return false; // Qt would send the drop nowhere
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    return drop.isAccepted();
}

// Runs the repaint that Qt has put off, if any: a repaint asked for within a
// frame of the last one waits for the event loop, which would run it next.
inline void runPendingPaint(QWidget& view) {
    QCoreApplication::sendPostedEvents(view.window(), QEvent::UpdateRequest);
}

// What the view shows, read from its frame buffer without painting again
// (grabFramebuffer() paints first). The multisampled buffer is resolved into a
// buffer of our own, as the widget resolves it for the screen.
inline QImage shownFrame(QOpenGLWidget& view) {
    runPendingPaint(view);
    view.makeCurrent();
    const QSize size = view.size() * view.devicePixelRatioF();
    QImage image;
    {
        QOpenGLFramebufferObject resolved(size);
        QOpenGLExtraFunctions* gl = view.context()->extraFunctions();
        gl->glBindFramebuffer(GL_READ_FRAMEBUFFER, view.defaultFramebufferObject());
        gl->glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved.handle());
        gl->glBlitFramebuffer(0, 0, size.width(), size.height(), 0, 0, size.width(), size.height(),
                              GL_COLOR_BUFFER_BIT, GL_NEAREST);
        gl->glBindFramebuffer(GL_FRAMEBUFFER, resolved.handle()); // toImage() reads the bound one
        image = resolved.toImage().convertToFormat(QImage::Format_RGB32);
    }
    view.doneCurrent();
    image.setDevicePixelRatio(view.devicePixelRatioF());
    return image;
}

// Paints the view's whole frame buffer in `colour`, as stale pixels that only a
// paint of their place replaces.
inline void fillFrame(QOpenGLWidget& view, QColor colour) {
    runPendingPaint(view);
    view.makeCurrent();
    QOpenGLFunctions* gl = view.context()->functions();
    gl->glClearColor(float(colour.redF()), float(colour.greenF()), float(colour.blueF()), 1);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    gl->glClearColor(1, 1, 1, 1); // the view's own
    view.doneCurrent();
}
