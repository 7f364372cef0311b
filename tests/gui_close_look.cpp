#include "GlTestSupport.h"
#include "PictureMarks.h"

#include <QCursor>
#include <array>
#include <cmath>

// The closer look: one glyph alone in the whole view, run at device pixel ratios 1 and 2.
class CloseLookTest : public QObject {
    Q_OBJECT

    using P = CharGLWidgetProbe;

    // Eight points of a bent stroke, a little different for every glyph.
    static QVector<Point3> strokes(int count) {
        QVector<Point3> points;
        for (int i = 0; i < count; ++i)
            for (int k = 0; k < 8; ++k)
                points.append({float(k) - 3.5f, float((k * k + i) % 5) - 2, 0.3f * float(k % 3)});
        return points;
    }

    // A written line: `count` points on small loops along x, a dense route.
    static QVector<Point3> writtenLine(int count) {
        QVector<Point3> points;
        for (int k = 0; k < count; ++k) {
            const double t = k * 0.35;
            points.append({float(t + std::cos(t * 3)), float(std::sin(t * 3) * 1.5), 0});
        }
        return points;
    }

    static void doubleClick(QWidget* view, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
        press(view, at, button);
        release(view, at, button);
        press(view, at, button, QEvent::MouseButtonDblClick);
        release(view, at, button);
    }

    // The tooltip's line for the point under `at`, or "".
    static QString tipAt(const CharGLWidget& view, QPoint at) {
        return P::closeLookPointAt(view, at);
    }

    // Whether the frame shows a red dot whose centre is within `within` logical
    // pixels of `at` (the glyph's line may cross the dot's middle).
    static bool dotAt(const QImage& frame, QPointF at, double within = 0.75) {
        const double ratio = frame.devicePixelRatioF();
        const QRect around(int((at.x() - 2) * ratio), int((at.y() - 2) * ratio), int(4 * ratio),
                           int(4 * ratio));
        if (countPixels(frame, around, [](QRgb c) { return tint(c, 0) > 0.5; }) < 4 * ratio * ratio)
            return false;
        const QPointF centre = measuredDot(frame, at, ratio);
        return std::hypot(centre.x() - at.x(), centre.y() - at.y()) <= within;
    }

    // A wheel event at a position between pixels, as a touchpad or a scaled screen gives.
    static void wheelAt(QWidget* view, QPointF at, int delta) {
        QWheelEvent event(at, QPointF(view->mapToGlobal(QPoint(0, 0))) + at, QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &event);
        QVERIFY(event.isAccepted());
    }

    static QImage frameOf(TestView& view) {
        view.draw();
        return shownFrame(view);
    }

private slots:
    // In with a double-click or Enter, back with Escape, Enter or a double-click:
    // the grid comes back at its scroll position with every turn, the one
    // given in the closer look too, and its pixels are those of the grid.
    void theWayInAndBackKeepsScrollAndTurns() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, strokes(26));
        P::setScrollOffset(*view, 100);
        const float tilted[4] = {0.3f, 0.1f, 0, std::sqrt(1 - 0.1f)};
        P::setOrientation(*view, 9, tilted);
        const QImage grid = frameOf(*view);

        doubleClick(view.get(), {150, 50}); // glyph 5: second row, second column
        QCOMPARE(view->glyphShownAlone(), 5);
        QCOMPARE(P::pressedButton(*view), Qt::NoButton);
        const QImage alone = shownFrame(*view);
        QVERIFY(differingPixels(grid, alone) > 1000);
        // The drag turns the glyph over the whole view; the stippled frame shows while it does.
        press(view.get(), {200, 200});
        moveTo(view.get(), {260, 170});
        QVERIFY(P::cellFlags(*view, 5) & turningFlag);
        release(view.get(), {260, 170});
        QCOMPARE(int(P::cellFlags(*view, 5)), 0);
        const float* turned = P::orientation(*view, 5);
        const std::array<float, 4> kept = {turned[0], turned[1], turned[2], turned[3]};
        QVERIFY(kept[3] < 0.999f);

        pressKey(view.get(), Qt::Key_Escape);
        QCOMPARE(view->glyphShownAlone(), -1);
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        const float* back = P::orientation(*view, 5);
        QCOMPARE((std::array<float, 4>{back[0], back[1], back[2], back[3]}), kept);
        QCOMPARE(P::orientation(*view, 9)[0], tilted[0]);
        const QImage again = shownFrame(*view);
        const int ratio = int(again.devicePixelRatioF());
        QCOMPARE(differingPixels(grid, again, QRect(100 * ratio, 0, 100 * ratio, 100 * ratio)), 0);
        QVERIFY(differingPixels(grid, again) > 0); // glyph 5's own turn

        // Enter over a cell opens it; Enter and a double-click go back.
        QCursor::setPos(view->mapToGlobal(QPoint(350, 150)));
        QTRY_COMPARE(view->mapFromGlobal(QCursor::pos()), QPoint(350, 150));
        pressKey(view.get(), Qt::Key_Return);
        QCOMPARE(view->glyphShownAlone(), 11);
        pressKey(view.get(), Qt::Key_Enter);
        QCOMPARE(view->glyphShownAlone(), -1);
        pressKey(view.get(), Qt::Key_Enter);
        QCOMPARE(view->glyphShownAlone(), 11);
        doubleClick(view.get(), {20, 380});
        QCOMPARE(view->glyphShownAlone(), -1);
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        // Beside the glyphs, or with the right button, nothing opens.
        P::setScrollOffset(*view, -300);
        doubleClick(view.get(), {150, 50});
        doubleClick(view.get(), {150, 350}, Qt::RightButton);
        QCOMPARE(view->glyphShownAlone(), -1);
    }

    // A glyph point put under the pointer stays under it, dot and tooltip,
    // while the wheel zooms in and out about it.
    void theWheelZoomsAboutThePointUnderThePointer_data() {
        QTest::addColumn<int>("point");
        QTest::addColumn<QList<int>>("deltas");
        QTest::newRow("point 2, in") << 2 << QList<int>{120, 120, 240, 600};
        QTest::newRow("point 7, in and out") << 7 << QList<int>{480, -120, 360, -240};
        QTest::newRow("point 0, touchpad steps") << 0 << QList<int>{40, 40, 40, 40, 40, 40};
    }
    void theWheelZoomsAboutThePointUnderThePointer() {
        QFETCH(int, point);
        QFETCH(QList<int>, deltas);
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 1, zigZag());
        QVERIFY(view->showGlyphAlone(0));
        const QVector<Point3> points = zigZag();
        const Point3 p = points[point];
        // The cell's picture, four times as large.
        const QPointF cell = projected(p.x, p.y, zigZagEye());
        const QPointF at(cell.x() * 4, cell.y() * 4);
        const QPoint pointer(int(at.x()), int(at.y()));
        QImage before = frameOf(*view);
        QVERIFY2(dotAt(before, at), "the fitted glyph's dot is where the cell's picture has it");
        const QString tip = QString("Point %1: x %2, y %3, z 0").arg(point).arg(p.x).arg(p.y);
        for (int delta : deltas) {
            wheelAt(view.get(), at, delta);
            const QImage frame = frameOf(*view);
            QVERIFY(differingPixels(before, frame) > 0);
            QVERIFY2(
                dotAt(frame, at),
                qPrintable(QString("after %1 at zoom %2").arg(delta).arg(P::closeLookZoom(*view))));
            QCOMPARE(tipAt(*view, pointer), tip);
            before = frame;
        }
    }

    // At 100 times a dense route's points are apart: the tooltip names each
    // point where the projection puts it, and the frame shows its dot there.
    void thePointPickedAt100TimesIsTheOneShownThere() {
        QTemporaryDir dir;
        const QVector<Point3> route = writtenLine(2000);
        auto view = showGlyphs(dir, route.size(), 1, route);
        QVERIFY(view->showGlyphAlone(0));
        // Zoomed about the middle of the route: 1.25 ^ (2477 / 120) = 100.
        const CellPosition middle =
            GlyphProjection::inCell(view->closeLookShown().projection().clip(route[1000]), 400);
        wheelAt(view.get(), {middle.x, middle.y}, 2477);
        QVERIFY(std::fabs(P::closeLookZoom(*view) - 100) < 0.2);
        const QImage frame = frameOf(*view);
        const GlyphProjection projection = view->closeLookShown().projection();
        QVector<QPointF> shown(route.size());
        for (int k = 0; k < route.size(); ++k)
            shown[k] = [&] {
                const CellPosition c = GlyphProjection::inCell(projection.clip(route[k]), 400);
                return QPointF(c.x, c.y);
            }();
        int checked = 0, inView = 0, apart = 0;
        for (int k = 0; k < route.size(); ++k) {
            if (!QRectF(30, 30, 340, 340).contains(shown[k]))
                continue;
            bool alone = true;
            for (int j = 0; j < route.size() && alone; ++j)
                alone = j == k || QLineF(shown[j], shown[k]).length() > 9;
            ++inView;
            if (!alone)
                continue;
            ++apart;
            const QPoint pointer(int(shown[k].x()), int(shown[k].y()));
            const QString tip = tipAt(*view, pointer);
            QVERIFY2(tip.startsWith(QString("Point %1:").arg(k)), qPrintable(tip));
            QVERIFY2(dotAt(frame, shown[k]), qPrintable(QString("point %1").arg(k)));
            ++checked;
        }
        QVERIFY2(checked >= 4, qPrintable(QString("%1 points checked, %2 in view, %3 apart")
                                              .arg(checked)
                                              .arg(inView)
                                              .arg(apart)));
        // At the whole glyph the same points lie within a pixel of others.
        pressKey(view.get(), Qt::Key_Home);
        QCOMPARE(P::closeLookZoom(*view), 1.0);
    }

    // Shift+drag and a middle-button drag pan by the pointer's way; R turns
    // back and fits, Home fits and keeps the turn.
    void panResetAndFit() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 1, zigZag());
        QVERIFY(view->showGlyphAlone(0));
        const QImage fitted = frameOf(*view);
        QVERIFY(turnWheel(view.get(), {0, 360}, {200, 200}));
        const QImage zoomed = frameOf(*view);
        for (bool middle : {false, true}) {
            press(view.get(), {200, 200}, middle ? Qt::MiddleButton : Qt::LeftButton,
                  QEvent::MouseButtonPress, middle ? Qt::NoModifier : Qt::ShiftModifier);
            moveTo(view.get(), {230, 190}, middle ? Qt::MiddleButton : Qt::LeftButton);
            release(view.get(), {230, 190}, middle ? Qt::MiddleButton : Qt::LeftButton);
            QCOMPARE(P::orientation(*view, 0)[3], 1.0f); // a pan turns nothing
        }
        // Moved by (60, -20) pixels in all: the zoomed frame, shifted.
        const QImage panned = frameOf(*view);
        const int ratio = int(panned.devicePixelRatioF());
        const QRect inside(40 * ratio, 40 * ratio, 280 * ratio, 280 * ratio);
        int same = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                same += panned.pixel(x + 60 * ratio, y - 20 * ratio) == zoomed.pixel(x, y);
        QVERIFY2(same > inside.width() * inside.height() * 99 / 100,
                 qPrintable(QString("%1 of %2").arg(same).arg(inside.width() * inside.height())));
        press(view.get(), {100, 100});
        moveTo(view.get(), {140, 120});
        release(view.get(), {140, 120});
        QVERIFY(P::orientation(*view, 0)[3] < 1.0f);
        pressKey(view.get(), Qt::Key_Home);
        QCOMPARE(P::closeLookZoom(*view), 1.0);
        QVERIFY(P::orientation(*view, 0)[3] < 1.0f);
        pressKey(view.get(), Qt::Key_R);
        QCOMPARE(P::orientation(*view, 0)[3], 1.0f);
        QCOMPARE(frameOf(*view), fitted);
    }
};

QTEST_MAIN(CloseLookTest)
#include "gui_close_look.moc"
