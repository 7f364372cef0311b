// The view over its mapped glyph file: a file truncated or rewritten in place
// while shown never ends the viewer (the lost pages read as zeros), and the
// live reload then shows what the file holds; a header announcing far more
// glyphs than the file holds shows those it holds.
#include "GlTestSupport.h"

#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace {

using P = CharGLWidgetProbe;

// Glyphs of 400 points: 4,800 bytes each, so 26 of them span 31 pages.
constexpr int points = 400;
constexpr long long glyphBytes = 12LL * points;

// Glyphs `first` to `first + count - 1` of the sample alphabet.
QVector<Point3> letters(int first, int count) {
    return sampleLetters(points, count, first);
}

QRect cellOf(int index) {
    return cellRect(index % 4, index / 4 * 100);
}

int nonWhite(const QImage& image, const QRect& rect) {
    return countPixels(image, rect, [](QRgb c) { return !isWhite(c); });
}

// Whether the cell of glyph `index` has its blue frame: blue at the middle of each side.
bool framed(const QImage& image, int index) {
    const QRect cell = cellOf(index);
    for (QPoint at : {QPoint(50, 2), QPoint(50, 97), QPoint(2, 50), QPoint(97, 50)})
        if (!isMostlyBlue(image.pixel(cell.topLeft() + at)))
            return false;
    return true;
}

// The frame a fresh view shows of `path`.
QImage freshFrame(const QString& path) {
    TestView view(nullptr, path.toLocal8Bit().constData());
    view.resize(400, 400);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return QImage();
    return view.frame();
}

// A drag over glyph `index` with a few steps; each step reads its points again.
void dragOver(TestView& view, int index) {
    const QPoint centre = cellOf(index).center();
    press(&view, centre);
    for (QPoint step : {QPoint(20, 5), QPoint(-15, 30), QPoint(40, -20)})
        moveTo(&view, centre + step);
    release(&view, centre + QPoint(40, -20));
}

} // namespace

class MappedFileTest : public QObject {
    Q_OBJECT

private slots:
    // Cut to two whole glyphs and a part while shown: the paint and a drag over
    // a lost glyph go on with zeros, and the reload then shows the two glyphs.
    void truncatedWhileShown() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, points, 26, letters(0, 26));
        const QString path = dir.filePath("glyphs.alphabet");
        QVERIFY(P::alphabet(*view).isMapped());
        const QImage before = view->frame();

        QCOMPARE(::truncate(QFile::encodeName(path).constData(), 8 + 2 * glyphBytes + 100), 0);
        const QImage cut = view->frame();
        QVERIFY(P::alphabet(*view).damaged());
        for (int i = 0; i < 16; ++i)
            QVERIFY(framed(cut, i));
        QCOMPARE(cut.copy(cellOf(0)), before.copy(cellOf(0)));
        dragOver(*view, 9);
        QVERIFY(P::orientation(*view, 9)[3] < 1);

        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 2, 5000);
        QVERIFY(!P::alphabet(*view).damaged());
        QCOMPARE(view->alphabetProblem(),
                 QString("header announces 26 glyphs but the file holds 2 in full; loaded 2"));
        const QImage shorter = view->frame();
        QCOMPARE(shorter.copy(0, 0, 200, 100), before.copy(0, 0, 200, 100));
        QCOMPARE(nonWhite(shorter, QRect(200, 0, 200, 100)), 0);
        QCOMPARE(nonWhite(shorter, QRect(0, 100, 400, 300)), 0);
    }

    // Emptied and written again in place with five other glyphs, painted in
    // between: the reload shows what a fresh view of the new file shows.
    void rewrittenInPlaceWhileShown() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, points, 26, letters(0, 26));
        const QString path = dir.filePath("glyphs.alphabet");
        const int file = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC);
        QVERIFY(file >= 0);
        view->frame();
        QVERIFY(P::alphabet(*view).damaged());
        const QVector<Point3> five = letters(20, 5);
        const std::int32_t header[2] = {points, 5};
        QCOMPARE(::write(file, header, sizeof header), ssize_t(sizeof header));
        const auto bytes = static_cast<ssize_t>(five.size() * sizeof(Point3));
        QCOMPARE(::write(file, five.data(), static_cast<size_t>(bytes)), bytes);
        ::close(file);
        view->frame();
        dragOver(*view, 3);

        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 5, 5000);
        QVERIFY(view->alphabetProblem().isEmpty());
        const QImage shown = view->frame();
        QCOMPARE(shown, freshFrame(path));
        QVERIFY(framed(shown, 4));
        QCOMPARE(nonWhite(shown, QRect(100, 100, 300, 100)), 0);
    }

    // A header of 2^31 - 1 glyphs over six: six cells, and no rows past them.
    void hugeHeaderShowsWhatItHolds() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, INT_MAX, repeated(zigZag(), 6));
        QCOMPARE(P::glyphCount(*view), 6);
        QCOMPARE(P::alphabet(*view).announcedGlyphCount(), std::int64_t(INT_MAX));
        QCOMPARE(view->alphabetProblem(),
                 QString("header announces 2147483647 glyphs but the file holds 6 in full; "
                         "loaded 6"));
        // Both rows fit: End stays at the first; the wheel stops with the second at the top.
        pressKey(view.get(), Qt::Key_End);
        QCOMPARE(P::scrollOffset(*view), 0.0f);
        for (int notch = 0; notch < 3; ++notch)
            QVERIFY(turnWheel(view.get(), {0, -120}));
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        pressKey(view.get(), Qt::Key_Home);
        const QImage image = view->frame();
        for (int i = 0; i < 6; ++i)
            QVERIFY(framed(image, i));
        QCOMPARE(nonWhite(image, QRect(200, 100, 200, 100)), 0);
        QCOMPARE(nonWhite(image, QRect(0, 200, 400, 200)), 0);
        press(view.get(), {350, 350});
        QCOMPARE(P::activeGlyph(*view), -1);
        release(view.get(), {350, 350});
    }
};

QTEST_MAIN(MappedFileTest)
#include "gui_mapped_file.moc"
