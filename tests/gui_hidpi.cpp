// The view at the device pixel ratio of the screen it runs on, which
// QT_SCALE_FACTOR sets (tests/CMakeLists.txt runs this suite at 1, 1.25, 1.5,
// 2 and 3): the picture of ratio 1 with every size multiplied by the ratio,
// labels from the same font at the ratio, and input still in logical pixels.
#include "GlTestSupport.h"

#include "cells/LabelFont.h"

#include <QPainter>

namespace {

using P = CharGLWidgetProbe;

// A ratio and the arithmetic of logical cell offsets in device pixels.
struct Scale {
    double r;

    int px(double logical) const { return int(std::floor(logical * r)); }
    // Top-left device pixel of the cell in `column` and `row` of the view.
    QPoint cell(int column, int row) const { return {px(100 * column), px(100 * row)}; }
    QRect cellRect(int column, int row) const {
        return QRect(cell(column, row), QSize(px(100), px(100)));
    }
};

// The frame line on logical offset `centre` (2.5 or 97.5) across one side of
// the cell at `cell`, two logical pixels wide: at each position 10..90 along
// the side, device pixels wholly inside the line must be blue, those it
// doesn't touch within a logical pixel of it white, and the ink across it
// must add up to its width and centre. Returns what is wrong.
QString lineMismatch(const QImage& image, QPoint cell, const Scale& s, double centre,
                     bool horizontal) {
    const double low = (centre - 1) * s.r;
    const double high = (centre + 1) * s.r;
    const int first = std::max(0, int(std::floor(low - s.r)));
    const int last = std::min(s.px(100) - 1, int(std::ceil(high + s.r)));
    for (int along = int(std::ceil(10 * s.r)); along < s.px(90); ++along) {
        double ink = 0;
        double moment = 0;
        for (int across = first; across <= last; ++across) {
            const QPoint at = cell + (horizontal ? QPoint(along, across) : QPoint(across, along));
            const QRgb c = image.pixel(at);
            ink += (255 - qRed(c)) / 255.0;
            moment += (255 - qRed(c)) / 255.0 * (across + 0.5);
            const bool inside = across >= low && across + 1 <= high;
            const bool apart = across + 1 <= low || across >= high;
            if ((inside && !isMostlyBlue(c)) || (apart && !isWhite(c)))
                return QString("pixel (%1, %2) is #%3 by the line on %4")
                    .arg(at.x())
                    .arg(at.y())
                    .arg(c & 0xffffff, 6, 16, QChar('0'))
                    .arg(centre);
        }
        const double middle = moment / ink;
        if (std::fabs(ink - 2 * s.r) > 0.25 || std::fabs(middle - centre * s.r) > 0.25)
            return QString("at %1 along, the line on %2 is %3 device pixels wide on %4")
                .arg(along)
                .arg(centre)
                .arg(ink)
                .arg(middle);
    }
    return QString();
}

// Device pixels of the label area of the cell at `cell` whose darkness differs
// from `letter` drawn by a raster painter at the view's ratio and resolution,
// with its baseline starting at logical cell offset (76, 90) + `shift`.
int labelMismatch(const QImage& image, QPoint cell, const Scale& s, int dpi, QChar letter,
                  QPointF shift = QPointF()) {
    QImage drawn(s.px(100), s.px(100), QImage::Format_RGB32);
    drawn.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    drawn.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    drawn.setDevicePixelRatio(s.r);
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    painter.drawText(QPointF(76, 90) + shift, QString(letter));
    painter.end();
    int mismatch = 0;
    for (int y = s.px(64); y < s.px(94); ++y)
        for (int x = s.px(55); x < s.px(94); ++x)
            mismatch += isDark(image.pixel(cell + QPoint(x, y))) != isDark(drawn.pixel(x, y));
    return mismatch;
}

// Blue ink (0 white, 1 blue) summed across device offsets [from, to) of the
// top side of the cell at `cell`, averaged over positions 10..90 along it.
double topInk(const QImage& image, QPoint cell, const Scale& s, int from, int to) {
    double ink = 0;
    int positions = 0;
    for (int along = int(std::ceil(10 * s.r)); along < s.px(90); ++along, ++positions)
        for (int across = from; across < to; ++across)
            ink += (255 - qRed(image.pixel(cell + QPoint(along, across)))) / 255.0;
    return ink / positions;
}

} // namespace

class HiDpiTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::unique_ptr<TestView> view;
    QVector<Point3> glyph = zigZag();
    Scale s{1};
    QImage top; // the first four rows

private slots:
    void initTestCase() {
        view = showGlyphs(dir, 10, 26, repeated(glyph, 26));
        s.r = view->devicePixelRatioF();
        top = view->frame();
    }

    // The ratio is the one asked for, and the frame buffer is the logical view times it.
    void frameIsTheViewTimesTheRatio() {
        const QByteArray asked = qgetenv("QT_SCALE_FACTOR");
        QCOMPARE(s.r, asked.isEmpty() ? 1.0 : asked.toDouble());
        QCOMPARE(view->size(), QSize(400, 400));
        QCOMPARE(top.size(), QSize(qRound(400 * s.r), qRound(400 * s.r)));
    }

    void framesLieOnTheScaledLines() {
        for (int i = 0; i < 16; ++i) {
            const QPoint cell = s.cell(i % 4, i / 4);
            for (double centre : {2.5, 97.5})
                for (bool horizontal : {true, false}) {
                    const QString wrong = lineMismatch(top, cell, s, centre, horizontal);
                    QVERIFY2(wrong.isEmpty(), qPrintable(QString("cell %1: %2").arg(i).arg(wrong)));
                }
        }
    }

    // Each red point is a square 5 logical pixels wide centred where the
    // camera projects it (the lines drawn first hide a little of its height),
    // there is no other red, and the lines are 2 logical pixels wide.
    void pointsAndLinesWhereTheCameraProjectsThem() {
        double length = 0;
        for (int k = 0; k + 1 < 10; ++k)
            length += std::hypot(glyph[k + 1].x - glyph[k].x, glyph[k + 1].y - glyph[k].y);
        length *= projected(1, 0, zigZagEye()).x() - 50; // logical pixels per unit
        for (int i = 0; i < 16; ++i) {
            const QPoint cell = s.cell(i % 4, i / 4);
            int red = 0;
            for (int k = 0; k < 10; ++k) {
                const QPointF at = projected(glyph[k].x, glyph[k].y, zigZagEye()) * s.r;
                const QRect near(cell + (at - QPointF(4, 4) * s.r).toPoint(),
                                 QSize(s.px(8) + 1, s.px(8) + 1));
                QRect box;
                for (int y = near.top(); y <= near.bottom(); ++y)
                    for (int x = near.left(); x <= near.right(); ++x)
                        if (isReddish(top.pixel(x, y))) {
                            box |= QRect(x, y, 1, 1);
                            ++red;
                        }
                const QPointF off = QRectF(box).center() - (QPointF(cell) + at);
                QVERIFY2(std::fabs(box.width() - 5 * s.r) < 1.2 && std::fabs(off.x()) < 0.75 &&
                             std::fabs(off.y()) < 1.25 && box.height() >= 4 * s.r - 0.5,
                         qPrintable(QString("cell %1 point %2: %3x%4 off by (%5, %6)")
                                        .arg(i)
                                        .arg(k)
                                        .arg(box.width())
                                        .arg(box.height())
                                        .arg(off.x())
                                        .arg(off.y())));
            }
            QCOMPARE(countPixels(top, s.cellRect(i % 4, i / 4), isReddish), red);
            const QRect band(cell + QPoint(s.px(6), s.px(30)), cell + QPoint(s.px(93), s.px(63)));
            const double width = countPixels(top, band, isDark) / (length * s.r) / s.r;
            QVERIFY2(width > 1.4 && width < 2.2, qPrintable(QString::number(width)));
        }
    }

    // Each label is its letter in the label font at the ratio, on its scaled
    // place: no place a logical pixel off matches as well, and in three cells
    // no other character does either.
    void labelsAreTheFontAtTheRatio() {
        const int dpi = view->logicalDpiY();
        for (int i = 0; i < 16; ++i) {
            const QPoint cell = s.cell(i % 4, i / 4);
            const QChar letter(glyphLabelCode(i));
            // At a fractional ratio the place falls between device pixels, and the GL
            // and raster painters may round it to either side: half a device pixel.
            int best = labelMismatch(top, cell, s, dpi, letter);
            const double half = 0.5 / s.r;
            for (double dx : {-half, 0.0, half})
                for (double dy : {-half, 0.0, half})
                    best = std::min(best, labelMismatch(top, cell, s, dpi, letter, {dx, dy}));
            QVERIFY2(best <= 6 * s.r * s.r, qPrintable(QString("%1: %2").arg(letter).arg(best)));
            for (QPointF shift : {QPointF(1, 0), QPointF(-1, 0), QPointF(0, 1), QPointF(0, -1)})
                QVERIFY(labelMismatch(top, cell, s, dpi, letter, shift) > best);
            if (i != 0 && i != 5 && i != 14)
                continue;
            for (int code = 33; code < 127; ++code)
                if (code != letter.unicode())
                    QVERIFY2(labelMismatch(top, cell, s, dpi, QChar(code)) > best,
                             qPrintable(QString("%1 as %2").arg(QChar(code)).arg(letter)));
        }
    }

    // A press on glyph F at logical (150, 150), sent through the window as the
    // window system would, turns glyph 5 and no other; its inner frame is
    // stippled with the pattern stretched by the ratio, and nothing outside its cell changes.
    void pressOnAGlyphTurnsThatGlyph() {
        QWindow* window = view->windowHandle();
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, QPoint(150, 150));
        QCOMPARE(P::activeGlyph(*view), 5);
        QCOMPARE(P::dragCentre(*view).x, 150.0f);
        QCOMPARE(P::dragCentre(*view).y, 250.0f);
        QCOMPARE(P::lastTrackX(*view), 0.0f);
        QTest::mouseMove(window, QPoint(170, 140));
        QVERIFY(std::fabs(P::lastTrackX(*view) - 0.4f) < 1e-6f);
        QVERIFY(std::fabs(P::lastTrackY(*view) - 0.2f) < 1e-6f);
        const Quaternion identity = {0, 0, 0, 1};
        for (int i = 0; i < 26; ++i)
            QCOMPARE(std::equal(identity, identity + 4, P::orientation(*view, i)), i != 5);

        const QImage turning = view->frame();
        QCOMPARE(differingPixels(turning, top, s.cellRect(1, 1)), 0);
        // 0xAAAA leaves half the inner line's ink off, in runs of the stipple factor.
        const QPoint cell = s.cell(1, 1);
        const double solid = topInk(turning, cell, s, 0, s.px(3.5));
        const double stippled = topInk(turning, cell, s, int(std::ceil(3.5 * s.r)), s.px(6.5));
        QVERIFY2(stippled > 0.35 * solid && stippled < 0.65 * solid,
                 qPrintable(QString::number(stippled / solid)));
        const int factor = std::max(1, qRound(s.r));
        if (factor > 1) { // a period of two device pixels blends into an even tint
            int runs = 0;
            bool was = false;
            for (int along = s.px(10); along < s.px(90); ++along) {
                const bool blue = isMostlyBlue(turning.pixel(cell + QPoint(along, s.px(4.5))));
                runs += blue && !was;
                was = blue;
            }
            const double period = (s.px(90) - s.px(10)) / double(runs);
            QVERIFY2(std::fabs(period - 2 * factor) < 0.25 * factor,
                     qPrintable(QString::number(period)));
        }
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, QPoint(170, 140));
        QCOMPARE(P::activeGlyph(*view), -1);
    }

    // A wheel notch and the keys move the grid by rows of 100 logical pixels,
    // the picture by 100 times the ratio.
    void wheelAndKeysScrollByLogicalRows() {
        const int row = s.px(100);
        const int width = top.width();
        QCOMPARE(view->frame(), top);
        QVERIFY(turnWheel(view.get(), {0, -120}));
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        const QImage up = view->frame();
        QCOMPARE(up.copy(0, 0, width, 3 * row), top.copy(0, row, width, 3 * row));

        pressKey(view.get(), Qt::Key_Up);
        QCOMPARE(P::scrollOffset(*view), 0.0f);
        QCOMPARE(view->frame(), top);
        // Seven rows: a page down stops with the last row at the bottom.
        pressKey(view.get(), Qt::Key_PageDown);
        QCOMPARE(P::scrollOffset(*view), 300.0f);
        QCOMPARE(view->frame().copy(0, 0, width, row), top.copy(0, 3 * row, width, row));
        pressKey(view.get(), Qt::Key_Home);
        QCOMPARE(P::scrollOffset(*view), 0.0f);
        QCOMPARE(view->frame(), top);
    }

    // Key D rings each glyph's first point and puts arrowheads along its path,
    // where its camera and turn put them: a quarter turn about z carries the
    // zig-zag's first point (-4.5, -1) onto (-1, 4.5) on the screen. The ring
    // is round that end and not the other; D again gives the picture back.
    void directionMarksTheFirstPointAfterATurn() {
        const float quarter[4] = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
        P::setOrientation(*view, 5, quarter);
        const QImage turned = view->frame();
        pressKey(view.get(), Qt::Key_D);
        QVERIFY(view->directionShown());
        const QImage marked = view->frame();
        auto ring = [](QRgb c) { return qGreen(c) > 130 && qRed(c) < 70 && qBlue(c) < 70; };
        auto arrow = [](QRgb c) { return qGreen(c) > 80 && qGreen(c) < 135 && qRed(c) < 40; };
        auto near = [&](const Point3& p) {
            const QPointF at = (QPointF(100, 100) + projected(p.y, -p.x, zigZagEye())) * s.r;
            return QRect((at - QPointF(9, 9) * s.r).toPoint(), QSize(s.px(18), s.px(18)));
        };
        const double area = s.r * s.r;
        const int atFirst = countPixels(marked, near(glyph[0]), ring);
        const int atLast = countPixels(marked, near(glyph[9]), ring);
        QVERIFY2(atFirst > 50 * area && atLast < 3 * area,
                 qPrintable(QString("%1 ring pixels at the first point, %2 at the last")
                                .arg(atFirst)
                                .arg(atLast)));
        QVERIFY(countPixels(marked, s.cellRect(1, 1), arrow) > 60 * area);
        QCOMPARE(countPixels(turned, s.cellRect(1, 1), ring), 0);
        pressKey(view.get(), Qt::Key_D);
        QCOMPARE(view->frame(), turned);
    }

    // Every test starts from the first row, no button held and nothing turned.
    void cleanup() {
        if (P::pressedButton(*view) != Qt::NoButton)
            QTest::mouseRelease(view->windowHandle(), P::pressedButton(*view));
        pressKey(view.get(), Qt::Key_R);
        pressKey(view.get(), Qt::Key_Home);
    }

    void cleanupTestCase() { view.reset(); }
};

QTEST_MAIN(HiDpiTest)
#include "gui_hidpi.moc"
