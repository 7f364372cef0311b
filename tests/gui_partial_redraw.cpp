// The one-cell drag redraw: a drag step redraws the turning glyph's cell
// alone, and the frame it leaves is, pixel for pixel, that of a full repaint
// of the same state; every other paint draws every visible cell. Each check
// reads what the view shows without painting it again, and compares it with
// a second, hidden view that gets the same events and draws everything.
#include "GlTestSupport.h"

#include <cstdio>
#include <cstring>
#include <random>
#include <set>

namespace {

using P = CharGLWidgetProbe;

// A view that paints only when grabbed, and then every visible cell.
class FullView : public CharGLWidget {
public:
    using CharGLWidget::CharGLWidget;

    QImage frame() {
        P::redrawEverything(*this);
        return grabFramebuffer().convertToFormat(QImage::Format_RGB32);
    }

protected:
    void glDraw() override {}
};

// Glyph i of the sample alphabet, or glyph 25 - i where `reversed`.
QVector<Point3> letters(bool reversed) {
    QVector<Point3> points;
    for (int i = 0; i < sampleGlyphCount; ++i)
        points += sampleLetters(10, 1, reversed ? sampleGlyphCount - 1 - i : i);
    return points;
}

// Where two images differ: the count of pixels and the rectangle around them.
QString difference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return QString("sizes differ");
    int count = 0;
    QRect around;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                ++count;
                around |= QRect(x, y, 1, 1);
            }
    if (count == 0)
        return QString();
    return QString("%1 pixels differ in (%2, %3) to (%4, %5)")
        .arg(count)
        .arg(around.left())
        .arg(around.top())
        .arg(around.right())
        .arg(around.bottom());
}

} // namespace

class PartialRedrawTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path;
    std::unique_ptr<TestView> view; // shown; its drag steps redraw one cell
    std::unique_ptr<FullView> full; // hidden; the same events, every paint full
    double ratio = 1;

    template <typename Event> void both(Event event) {
        event(view.get());
        event(full.get());
    }

    // The shown frame is the full repaint's, pixel for pixel. The hidden view
    // takes the orientations first: the trackball renormalises every so many
    // compositions, counted for both views together.
    QString unlikeFullRepaint() {
        for (int i = 0; i < P::glyphCount(*view); ++i)
            P::setOrientation(*full, i, P::orientation(*view, i));
        return difference(shownFrame(*view), full->frame());
    }

    // The device rectangle of glyph `index`'s cell, within the frame.
    QRect cellOnScreen(int index) const {
        const GridPoint centre = P::cellCentre(*view, index);
        const QRectF logical(centre.x - 50, 400 - centre.y - 50, 100, 100);
        const QRectF device(logical.topLeft() * ratio, logical.size() * ratio);
        return device.toRect() & QRect(QPoint(0, 0), view->size() * ratio);
    }

    // Runs `event`, which must repaint once, with stale pixels all over the
    // shown frame: the paint must replace every one as a full repaint does.
    template <typename Event> QString fullRepaintAfter(Event event) {
        fillFrame(*view, Qt::green);
        const int paints = view->paints;
        event();
        if (view->paints != paints + 1)
            return QString("%1 repaints").arg(view->paints - paints);
        return unlikeFullRepaint();
    }

    // Renames a new file over the shown one, as the tool writes it, and waits
    // until both views show what it holds.
    bool reload(bool reversed) {
        const QString fresh = dir.filePath("fresh.alphabet");
        writeGlyphFile(fresh, 10, sampleGlyphCount, letters(reversed));
        if (std::rename(QFile::encodeName(fresh), QFile::encodeName(path)) != 0)
            return false;
        const QVector<Point3> now = letters(reversed);
        auto shows = [&](const CharGLWidget& v) {
            return std::memcmp(P::pointData(v), now.data(), now.size() * sizeof(Point3)) == 0;
        };
        return QTest::qWaitFor([&] { return shows(*view) && shows(*full); });
    }

private slots:
    void initTestCase() {
        path = dir.filePath("glyphs.alphabet");
        writeGlyphFile(path, 10, sampleGlyphCount, letters(false));
        view = std::make_unique<TestView>(nullptr, path.toLocal8Bit().constData());
        view->resize(400, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        full = std::make_unique<FullView>(nullptr, path.toLocal8Bit().constData());
        full->resize(400, 400);
        full->setAttribute(Qt::WA_DontShowOnScreen); // on the screen's ratio, never mapped
        full->show();
        ratio = view->devicePixelRatioF();
        QCOMPARE(full->devicePixelRatioF(), ratio);
        // Multisampled: the frame buffer the view paints into has samples.
        view->makeCurrent();
        GLint samples = 0;
        view->context()->functions()->glGetIntegerv(GL_SAMPLES, &samples);
        view->doneCurrent();
        QVERIFY2(samples > 1, qPrintable(QString::number(samples)));
        QCOMPARE(shownFrame(*view).size(), QSize(400, 400) * ratio);
    }

    // A drag step leaves every pixel outside the turning glyph's cell as it
    // was (here: stale), and draws its cell as a full repaint does; in the
    // view and in a cell cut by its lower edge. A paint nobody described,
    // after it, draws everything again.
    void dragStepRedrawsOnlyItsCell() {
        for (double offset : {0.0, 50.0}) {
            both([&](CharGLWidget* v) { P::setScrollOffset(*v, offset); });
            view->draw();
            for (QPoint at : {QPoint(150, 150), QPoint(350, 380)}) {
                both([&](QWidget* v) { press(v, at); });
                const int glyph = P::activeGlyph(*view);
                const QRect cell = cellOnScreen(glyph);
                QVERIFY(cell.height() >= (offset == 0 || at.y() < 300 ? 100 : 50) * ratio);
                for (QPoint to : {at + QPoint(20, -10), at + QPoint(-30, 40)}) {
                    fillFrame(*view, Qt::green);
                    const int paints = view->paints;
                    both([&](QWidget* v) { moveTo(v, to); });
                    QCOMPARE(view->paints, paints + 1);
                    P::setOrientation(*full, glyph, P::orientation(*view, glyph));
                    const QImage shown = shownFrame(*view);
                    QCOMPARE(shown.copy(cell), full->frame().copy(cell));
                    const int stale = countPixels(
                        shown, shown.rect(), [](QRgb c) { return (c & 0xffffff) == 0x00ff00; });
                    QCOMPARE(stale, shown.width() * shown.height() - cell.width() * cell.height());
                }
                fillFrame(*view, Qt::green);
                view->update();
                const QString wrong = unlikeFullRepaint();
                QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                both([&](QWidget* v) { release(v, at); });
            }
        }
    }

    // Drags of five steps from random places, some over no glyph, with a
    // wheel notch, an R and a reload of the file amid them and the release
    // after each: after every step the frame is the full repaint's. The
    // direction marks are shown, and drawn within the one cell of a step.
    void dragStepsLeaveTheFrameOfAFullRepaint() {
        both([](CharGLWidget* v) { v->setDirectionShown(true); });
        std::mt19937 random(20261208u);
        auto uniform = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        std::set<int> turned;
        for (int drag = 0; drag < 8; ++drag) {
            const QPoint at(uniform(0, 399), uniform(0, 399));
            both([&](QWidget* v) { press(v, at); });
            const int glyph = P::activeGlyph(*view);
            if (glyph >= 0)
                turned.insert(glyph);
            for (int step = 0; step < 5; ++step) {
                const QPoint to = at + QPoint(uniform(-150, 150), uniform(-150, 150));
                const int paints = view->paints;
                // Odd steps move twice: Qt may merge the two repaints into one.
                const int moves = 1 + step % 2;
                if (moves == 2)
                    both([&](QWidget* v) { moveTo(v, (at + to) / 2); });
                both([&](QWidget* v) { moveTo(v, to); });
                QCOMPARE(view->paints, paints + (glyph >= 0 ? moves : 0));
                const QString wrong = unlikeFullRepaint();
                QVERIFY2(wrong.isEmpty(), qPrintable(QString("drag %1, step %2, glyph %3: %4")
                                                         .arg(drag)
                                                         .arg(step)
                                                         .arg(glyph)
                                                         .arg(wrong)));
                QString everything;
                bool reloaded = true;
                if (drag == 1 && step == 2)
                    everything = fullRepaintAfter([&] {
                        both([](QWidget* v) { turnWheel(v, {0, -120}); });
                    });
                else if (drag == 3 && step == 1)
                    everything =
                        fullRepaintAfter([&] { both([](QWidget* v) { pressKey(v, Qt::Key_R); }); });
                else if (drag == 5 && step == 3)
                    everything = fullRepaintAfter([&] { reloaded = reload(true); });
                QVERIFY(reloaded);
                QVERIFY2(everything.isEmpty(), qPrintable(everything));
            }
            const QString everything =
                glyph >= 0 ? fullRepaintAfter([&] { both([&](QWidget* v) { release(v, at); }); })
                           : QString();
            QVERIFY2(everything.isEmpty(), qPrintable(QString("release: %1").arg(everything)));
            if (glyph < 0)
                both([&](QWidget* v) { release(v, at); });
        }
        QVERIFY(turned.size() >= 5);
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        both([](CharGLWidget* v) { v->setDirectionShown(false); });
    }

    // With the direction marks shown, a Ctrl+drag step draws every cell anew,
    // each with the stippled frame, into the frame of a full repaint.
    void ctrlDragStepRedrawsEveryCell() {
        both([](CharGLWidget* v) { v->setDirectionShown(true); });
        const QPoint at(150, 150);
        both([&](QWidget* v) {
            press(v, at, Qt::LeftButton, QEvent::MouseButtonPress, Qt::ControlModifier);
        });
        for (QPoint to : {at + QPoint(20, -10), at + QPoint(-30, 40)}) {
            const QString wrong =
                fullRepaintAfter([&] { both([&](QWidget* v) { moveTo(v, to); }); });
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        }
        const QImage during = shownFrame(*view);
        const QString wrong = fullRepaintAfter([&] { both([&](QWidget* v) { release(v, at); }); });
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        const QImage after = shownFrame(*view);
        for (int i = 0; i < 16; ++i) {
            // The inner frame's top side, 3.5 to 5.5 logical pixels below the cell's top.
            const QRect cell = cellOnScreen(i);
            const QRect band(cell.left() + int(10 * ratio),
                             cell.top() + int(std::ceil(3.5 * ratio)), int(80 * ratio),
                             std::max(1, int(2 * ratio) - 1));
            QVERIFY2(countPixels(during, band, isMostlyBlue) >= 30 * ratio &&
                         countPixels(after, band, isMostlyBlue) == 0,
                     qPrintable(QString("cell %1").arg(i)));
        }

        both([](CharGLWidget* v) { v->setDirectionShown(false); });
        both([](QWidget* v) { pressKey(v, Qt::Key_R); });
    }

    // Each test starts with no button held, at the first row, fully painted.
    void cleanup() {
        const Qt::MouseButton held = P::pressedButton(*view);
        if (held != Qt::NoButton)
            both([&](QWidget* v) { release(v, {0, 0}, held); });
        both([](CharGLWidget* v) { P::setScrollOffset(*v, 0); });
        view->draw();
    }
};

QTEST_MAIN(PartialRedrawTest)
#include "gui_partial_redraw.moc"
