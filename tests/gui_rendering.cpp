#include "GlTestSupport.h"

#include "cells/LabelFont.h"

#include <QPainter>

namespace {

using P = CharGLWidgetProbe;

// Share of the positions 10..89 along the four sides of a square loop in the
// cell whose top-left image pixel is `cell`, where the band of offsets
// [nearLow, nearHigh] (top and left sides) or [farLow, farHigh] (bottom and
// right sides) across the side holds a mostly-blue pixel.
double loopCoverage(const QImage& image, QPoint cell, int nearLow, int nearHigh, int farLow,
                    int farHigh) {
    int hits = 0;
    int positions = 0;
    for (int t = 10; t < 90; ++t) {
        for (auto [low, high] : {std::pair{nearLow, nearHigh}, std::pair{farLow, farHigh}}) {
            bool horizontalSide = false;
            bool verticalSide = false;
            for (int across = low; across <= high; ++across) {
                horizontalSide |= isMostlyBlue(image.pixel(cell.x() + t, cell.y() + across));
                verticalSide |= isMostlyBlue(image.pixel(cell.x() + across, cell.y() + t));
            }
            hits += int(horizontalSide) + int(verticalSide);
            positions += 2;
        }
    }
    return double(hits) / positions;
}

// The outer frame, two pixels wide on 2.5 and 97.5, lies on offsets 1..3 and
// 96..98 of a cell, its outermost and innermost pixels half covered.
double outerFrame(const QImage& image, QPoint cell) {
    return loopCoverage(image, cell, 1, 3, 97, 99);
}

// The stippled inner frame, on 4.5 and 95.5, shares offsets 3 and 96 with the
// outer one; 4..5 and 94..95 are its own.
double innerFrame(const QImage& image, QPoint cell) {
    return loopCoverage(image, cell, 4, 5, 94, 95);
}

// Mean blue ink (0 for white, 1 for pure blue) summed across the band of
// offsets [nearLow, nearHigh] or [farLow, farHigh] of each side of a cell, over
// positions 10..89 along the sides.
double lineInk(const QImage& image, QPoint cell, int nearLow, int nearHigh, int farLow,
               int farHigh) {
    double ink = 0;
    int positions = 0;
    for (int t = 10; t < 90; ++t) {
        for (auto [low, high] : {std::pair{nearLow, nearHigh}, std::pair{farLow, farHigh}}) {
            for (int across = low; across <= high; ++across) {
                ink += (255 - qRed(image.pixel(cell.x() + t, cell.y() + across))) / 255.0;
                ink += (255 - qRed(image.pixel(cell.x() + across, cell.y() + t))) / 255.0;
            }
            positions += 2;
        }
    }
    return ink / positions;
}

// Whether the rows and columns at cell offsets 0 and 99, the gap between cells, are white.
bool cellBorderIsWhite(const QImage& image, QPoint cell) {
    for (int t = 0; t < 100; ++t)
        for (int edge : {0, 99})
            if (!isWhite(image.pixel(cell.x() + t, cell.y() + edge)) ||
                !isWhite(image.pixel(cell.x() + edge, cell.y() + t)))
                return false;
    return true;
}

QPoint cellOrigin(int column, int row) {
    return {column * 100, row * 100};
}

// Pixels passing `test` within `radius` of `at` (cell offsets) in the cell at `cell`.
template <typename Test>
int pixelsNear(const QImage& image, QPoint cell, QPointF at, int radius, Test test) {
    const QPoint centre = cell + QPoint(int(std::floor(at.x())), int(std::floor(at.y())));
    return countPixels(
        image, QRect(centre - QPoint(radius, radius), QSize(2 * radius + 1, 2 * radius + 1)), test);
}

// The lower right quarter of a cell, below the zig-zag and inside the frames.
QRect labelArea(QPoint cell) {
    return QRect(cell + QPoint(55, 64), cell + QPoint(93, 93));
}

// Pixels of the label area of the cell at `cell` whose darkness differs
// from `letter` drawn by a raster painter in the label font with its baseline
// starting at `at` (cell offsets). Both draw through the same font engine, so
// the right letter at the right place matches to the pixel or nearly.
int labelMismatch(const QImage& image, QPoint cell, QChar letter, QPoint at, int dpi) {
    QImage drawn(100, 100, QImage::Format_RGB32);
    drawn.setDotsPerMeterX(int(dpi / 0.0254 + 0.5));
    drawn.setDotsPerMeterY(int(dpi / 0.0254 + 0.5));
    drawn.fill(Qt::white);
    QPainter painter(&drawn);
    painter.setFont(labelFont());
    painter.setPen(Qt::black);
    painter.drawText(at, QString(letter));
    painter.end();
    const QRect area = labelArea(QPoint(0, 0));
    int mismatch = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            mismatch +=
                isDark(image.pixel(cell.x() + x, cell.y() + y)) != isDark(drawn.pixel(x, y));
    return mismatch;
}

// Checks that the cell at `cell` shows `letter` with its baseline starting
// at (76, 90) in the cell, and that no other printable character and no
// position one pixel off matches as well.
void verifyLabel(const QImage& image, QPoint cell, QChar letter, int dpi) {
    const QPoint at(76, 90);
    const int best = labelMismatch(image, cell, letter, at, dpi);
    QVERIFY2(best <= 6, qPrintable(QString("%1 mismatches %2").arg(letter).arg(best)));
    for (int code = 33; code < 127; ++code)
        if (QChar(code) != letter)
            QVERIFY2(labelMismatch(image, cell, QChar(code), at, dpi) > best,
                     qPrintable(QString("%1 matches as well as %2").arg(QChar(code)).arg(letter)));
    for (QPoint off : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
        QVERIFY(labelMismatch(image, cell, letter, at + off, dpi) > best);
}

} // namespace

class RenderingTest : public QObject {
    Q_OBJECT

private slots:
    void emptyAndMissingFilesPaintWhite() {
        QTemporaryDir dir;
        auto empty = showGlyphs(dir, 10, 0, {});
        QCOMPARE(P::glyphCount(*empty), 0);
        const QImage blank = empty->frame();
        QCOMPARE(blank.size(), QSize(400, 400));
        QCOMPARE(countPixels(blank, blank.rect(), [](QRgb c) { return !isWhite(c); }), 0);

        auto missing =
            std::make_unique<TestView>(nullptr, dir.filePath("absent.alphabet").toLocal8Bit());
        missing->resize(400, 400);
        missing->show();
        QVERIFY(QTest::qWaitForWindowExposed(missing.get()));
        QCOMPARE(P::glyphCount(*missing), 0);
        const QImage none = missing->frame();
        QCOMPARE(countPixels(none, none.rect(), [](QRgb c) { return !isWhite(c); }), 0);
    }

    // Every visible cell gets a complete blue outer frame with white between
    // the cells, and no inner frame while nothing is turned.
    void everyVisibleCellIsFramedInBlue() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 26, repeated(zigZag(), 26));
        const QImage image = view->frame();
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                const QPoint cell = cellOrigin(column, row);
                QCOMPARE(outerFrame(image, cell), 1.0);
                QCOMPARE(innerFrame(image, cell), 0.0);
                QVERIFY(cellBorderIsWhite(image, cell));
            }
        }
        // The frame is blue, not any other colour that might pass as dark.
        QCOMPARE(image.pixel(150, 102) & 0xffffff, 0x0000ffu);
    }

    // The zig-zag's red points and black segments lie where a camera on +z
    // projects them (seen from -z the picture would be mirrored), and the
    // rest of the cell above the glyph is empty.
    void pointsAndLinesAppearWhereTheCameraProjectsThem() {
        QTemporaryDir dir;
        const QVector<Point3> glyph = zigZag();
        auto view = showGlyphs(dir, 10, 26, repeated(glyph, 26));
        const QImage image = view->frame();
        for (QPoint cell : {cellOrigin(0, 0), cellOrigin(2, 1), cellOrigin(3, 3)}) {
            for (int k = 0; k < 10; ++k) {
                const QPointF at = projected(glyph[k].x, glyph[k].y, zigZagEye());
                QVERIFY2(pixelsNear(image, cell, at, 3, isReddish) >= 8,
                         qPrintable(QString("point %1").arg(k)));
                // Five pixels square at most.
                QVERIFY(pixelsNear(image, cell, at, 4, isReddish) <= 25);
                if (k + 1 < 10) {
                    const QPointF next = projected(glyph[k + 1].x, glyph[k + 1].y, zigZagEye());
                    QVERIFY2(pixelsNear(image, cell, (at + next) / 2, 1, isDark) >= 2,
                             qPrintable(QString("segment %1").arg(k)));
                }
            }
            // Lines two pixels wide: about twice as many dark pixels as the strip is long.
            double length = 0;
            for (int k = 0; k + 1 < 10; ++k) {
                const QPointF step = projected(glyph[k + 1].x, glyph[k + 1].y, zigZagEye()) -
                                     projected(glyph[k].x, glyph[k].y, zigZagEye());
                length += std::hypot(step.x(), step.y());
            }
            const QRect band(cell + QPoint(6, 30), cell + QPoint(93, 63));
            const double perLength = countPixels(image, band, isDark) / length;
            QVERIFY2(perLength > 1.4 && perLength < 2.4, qPrintable(QString::number(perLength)));
            const QRect above(cell + QPoint(8, 8), cell + QPoint(91, 34));
            QCOMPARE(countPixels(image, above, [](QRgb c) { return !isWhite(c); }), 0);
        }
    }

    // Scaling or moving a glyph leaves its picture as it was.
    void scaledAndMovedGlyphsLookTheSame() {
        QTemporaryDir dir;
        QVector<Point3> moved = zigZag(250);
        for (Point3& p : moved)
            p = {p.x + 1000, p.y - 30, p.z + 7};
        auto view = showGlyphs(dir, 10, 2, zigZag() + moved);
        const QImage image = view->frame();
        int differing = 0;
        for (int y = 8; y < 60; ++y)
            for (int x = 8; x < 92; ++x)
                differing += image.pixel(x, y) != image.pixel(x + 100, y);
        QVERIFY2(differing <= 6, qPrintable(QString::number(differing)));
    }

    // A press and a move on glyph 5 set its turning flag: its cell alone gets
    // the stippled inner frame, which goes with the release.
    void stippledInnerFrameOnlyWhileTurning() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 26, repeated(zigZag(), 26));
        const QImage idle = view->frame();
        const QPoint cellFive = cellOrigin(1, 1);
        QCOMPARE(innerFrame(idle, cellFive), 0.0);

        // A move to the pressed position turns by the identity, so only the frame changes.
        press(view.get(), {150, 150});
        QCOMPARE(view->frame(), idle);
        moveTo(view.get(), {150, 150});
        QVERIFY(P::cellFlags(*view, 5) & turningFlag);
        const QImage turning = view->frame();
        QVERIFY(innerFrame(turning, cellFive) > 0.95);
        // Pattern 0xAAAA leaves half the line's samples white: the inner line
        // carries half the ink of the solid outer one, on its own pixels.
        const double solid = lineInk(turning, cellFive, 0, 2, 97, 99);
        const double stippled = lineInk(turning, cellFive, 4, 5, 94, 95);
        QVERIFY2(solid > 1.3 && solid < 1.7, qPrintable(QString::number(solid)));
        QVERIFY2(stippled > 0.4 * solid && stippled < 0.6 * solid,
                 qPrintable(QString::number(stippled / solid)));
        QCOMPARE(outerFrame(turning, cellFive), 1.0);
        for (int i = 0; i < 16; ++i)
            if (i != 5)
                QCOMPARE(innerFrame(turning, cellOrigin(i % 4, i / 4)), 0.0);
        // Nothing else changes: outside the inner band and inside it.
        const QRect innerBand(cellFive + QPoint(3, 3), cellFive + QPoint(96, 96));
        const QRect inside(cellFive + QPoint(6, 6), cellFive + QPoint(93, 93));
        QCOMPARE(differingPixels(idle, turning, innerBand), 0);
        QCOMPARE(turning.copy(inside), idle.copy(inside));

        release(view.get(), {150, 150});
        QCOMPARE(view->frame(), idle);
    }

    // Rows move up by whole cells with the offset; rows outside the view leave it white.
    void scrollOffsetsShiftTheRows() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 26, repeated(zigZag(), 26));
        const QImage top = view->frame();

        // One wheel notch towards the user: offset 100, every row one cell up.
        QVERIFY(turnWheel(view.get(), {0, -120}));
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        const QImage up = view->frame();
        QCOMPARE(up.copy(0, 0, 400, 300), top.copy(0, 100, 400, 300));
        for (int column = 0; column < 4; ++column)
            QCOMPARE(outerFrame(up, cellOrigin(column, 3)), 1.0);

        // Half a row: the cells touching the bottom edge are drawn, cut by it.
        P::setScrollOffset(*view, 50);
        QCOMPARE(view->frame().copy(0, 350, 400, 50), up.copy(0, 300, 400, 50));

        // The first row at the bottom, three white rows above it.
        P::setScrollOffset(*view, -300);
        const QImage bottom = view->frame();
        QCOMPARE(bottom.copy(0, 300, 400, 100), top.copy(0, 0, 400, 100));
        QCOMPARE(countPixels(bottom, QRect(0, 0, 400, 300), [](QRgb c) { return !isWhite(c); }), 0);

        // The last row (glyphs 24 and 25) at the top, nothing below it.
        P::setScrollOffset(*view, 600);
        const QImage last = view->frame();
        QCOMPARE(last.copy(0, 0, 200, 60), top.copy(0, 0, 200, 60));
        for (int column = 0; column < 2; ++column)
            QCOMPARE(outerFrame(last, cellOrigin(column, 0)), 1.0);
        QCOMPARE(countPixels(last, QRect(200, 0, 200, 100), [](QRgb c) { return !isWhite(c); }), 0);
        QCOMPARE(countPixels(last, QRect(0, 100, 400, 300), [](QRgb c) { return !isWhite(c); }), 0);
    }

    // Each cell shows its letter, code 65 + index, with the baseline at
    // (76, 90) in the cell: glyph 0 at widget (76, 90), glyph 5 at (176, 190).
    void labelsSitInTheLowerRightCorner() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 33, repeated(zigZag(), 33));
        const int dpi = view->logicalDpiY();
        const QImage image = view->frame();
        verifyLabel(image, cellOrigin(0, 0), 'A', dpi);
        verifyLabel(image, cellOrigin(1, 1), 'F', dpi);
        verifyLabel(image, cellOrigin(3, 2), 'L', dpi);
        // The left half of the lower band holds no text.
        const QRect left(QPoint(8, 64), QPoint(54, 93));
        QCOMPARE(countPixels(image, left, [](QRgb c) { return !isWhite(c); }), 0);

        // Labels move with their cells: row 6 (glyphs 24 to 27) at the top, then row 8.
        P::setScrollOffset(*view, 600);
        const QImage sixth = view->frame();
        verifyLabel(sixth, cellOrigin(1, 0), 'Z', dpi);
        verifyLabel(sixth, cellOrigin(2, 0), '[', dpi);
        verifyLabel(sixth, cellOrigin(0, 2), 'a', dpi);
    }

    // The points (1,0,0), (0,1,0), (0,-1,0) are seen from -z: the point on
    // +x shows left of the cell centre, the other two right of it, and the
    // open strip joins 0-1 and 1-2 but not 2-0.
    void threePointGlyphIsSeenFromNegativeZ() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 3, 1, {{1, 0, 0}, {0, 1, 0}, {0, -1, 0}});
        const QImage image = view->frame();
        // Centroid (1/3, 0, 0); eye 2.1 * |(-1/3, 1, 0)| away. Seen from -z, x runs leftward.
        const double eye = double(2.1f) * std::sqrt(1.0 / 9 + 1);
        const QPointF first = projected(-2.0f / 3, 0, eye);
        const QPointF second = projected(1.0f / 3, 1, eye);
        const QPointF third = projected(1.0f / 3, -1, eye);
        const QPoint cell(0, 0);
        QVERIFY(pixelsNear(image, cell, first, 3, isReddish) >= 8);
        QVERIFY(pixelsNear(image, cell, second, 3, isReddish) >= 8);
        QVERIFY(pixelsNear(image, cell, third, 3, isReddish) >= 8);
        // No red at the mirrored place of the first point.
        QCOMPARE(pixelsNear(image, cell, QPointF(100 - first.x(), first.y()), 4, isReddish), 0);
        // Red pixels on the centre row all lie left of the centre.
        QVERIFY(countPixels(image, QRect(0, 45, 50, 10), isReddish) >= 8);
        QCOMPARE(countPixels(image, QRect(50, 45, 50, 10), isReddish), 0);
        QVERIFY(pixelsNear(image, cell, (first + second) / 2, 1, isDark) >= 2);
        QVERIFY(pixelsNear(image, cell, (second + third) / 2, 1, isDark) >= 2);
        QCOMPARE(pixelsNear(image, cell, (third + first) / 2, 3, isDark), 0);
    }
};

QTEST_MAIN(RenderingTest)
#include "gui_rendering.moc"
