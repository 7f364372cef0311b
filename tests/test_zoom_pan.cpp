#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/RouteChunks.h"
#include "geometry/ZoomPan.h"
#include "trackball/Trackball.h"

#include <QtTest>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

// The closer look's zoom and pan, and the chunks that cull a long route, without a display.
class ZoomPanTest : public QObject {
    Q_OBJECT

    static constexpr double side = 400;

    static double apart(CellPosition a, CellPosition b) { return std::hypot(a.x - b.x, a.y - b.y); }

    // A pen route written along x: `count` points on small loops, 0.35 apart,
    // as a line of handwriting is, with a lift (z) every 40 points.
    static std::vector<Point3> writtenLine(int count) {
        std::vector<Point3> points;
        for (int k = 0; k < count; ++k) {
            const double t = k * 0.35;
            points.push_back({static_cast<float>(t + std::cos(t * 3)),
                              static_cast<float>(std::sin(t * 3) * 1.5), k % 40 < 3 ? 0.8f : 0.0f});
        }
        return points;
    }

private slots:
    // Wheel steps at a pointer keep the fitted point under it there, until
    // the view would have to leave the glyph's square.
    void theFittedPointUnderThePointerStays_data() {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QList<int>>("deltas");
        QTest::addColumn<double>("zoom");
        QTest::newRow("centre, in three notches")
            << QPointF(200, 200) << QList<int>{120, 120, 120} << 1.953125;
        QTest::newRow("off-centre, in and back out")
            << QPointF(130.5, 271.25) << QList<int>{360, 120, -240} << 1.5625;
        QTest::newRow("corner, touchpad steps")
            << QPointF(12, 388) << QList<int>{30, 30, 30, 30} << 1.25;
        QTest::newRow("to the top of the range") << QPointF(301, 99) << QList<int>{3840} << 1000.0;
    }
    void theFittedPointUnderThePointerStays() {
        QFETCH(QPointF, pointer);
        QFETCH(QList<int>, deltas);
        QFETCH(double, zoom);
        ZoomPan view;
        const CellPosition at{pointer.x(), pointer.y()};
        const CellPosition under = view.fittedAt(at, side);
        for (int delta : deltas) {
            view.zoomByWheel(delta, at, side);
            QVERIFY2(apart(view.fittedAt(at, side), under) < 1e-9,
                     qPrintable(QString("after %1 at zoom %2").arg(delta).arg(view.zoom())));
            QVERIFY(apart(view.shown(under, side), at) < 1e-9);
        }
        QVERIFY(std::fabs(view.zoom() - zoom) < 1e-9 * zoom);
    }

    // Zoom stays within 1 to 1000; at 1 the whole glyph shows again, and no
    // pan or zoom shows anything beyond the glyph's square.
    void zoomAndPanStayWithinTheGlyph() {
        ZoomPan view;
        std::mt19937 random(7);
        std::uniform_real_distribution<double> position(0, side), step(-900, 900);
        for (int k = 0; k < 2000; ++k) {
            if (k % 3)
                view.zoomByWheel(static_cast<int>(step(random)),
                                 {position(random), position(random)}, side);
            else
                view.panBy(step(random), step(random), side);
            QVERIFY(view.zoom() >= ZoomPan::minZoom && view.zoom() <= ZoomPan::maxZoom);
            for (CellPosition corner : {CellPosition{0, 0}, CellPosition{side, side}}) {
                const CellPosition seen = view.fittedAt(corner, side);
                QVERIFY2(
                    seen.x > -1e-9 && seen.x < side + 1e-9 && seen.y > -1e-9 &&
                        seen.y < side + 1e-9,
                    qPrintable(QString("step %1 shows (%2, %3)").arg(k).arg(seen.x).arg(seen.y)));
            }
        }
        for (int k = 0; k < 40; ++k)
            view.zoomByWheel(-120, {10, 10}, side);
        QVERIFY(view.fitted());
    }

    // The zoomed projection puts each point where the zoom puts the fitted one.
    void theZoomedProjectionAgreesWithTheZoom() {
        const std::vector<Point3> route = writtenLine(500);
        const GlyphCamera camera = placeGlyphCamera(route.data(), int(route.size()));
        const float turn[4] = {0.2f, -0.1f, 0.05f, std::sqrt(1 - 0.0525f)};
        const GlyphProjection fitted(camera, turn);
        ZoomPan view;
        view.zoomAbout(37, {123, 211}, side);
        view.panBy(-55, 18, side);
        const GlyphProjection zoomed = view.applied(fitted);
        for (std::size_t k = 0; k < route.size(); k += 7) {
            const CellPosition expected =
                view.shown(GlyphProjection::inCell(fitted.clip(route[k]), side), side);
            const CellPosition got = GlyphProjection::inCell(zoomed.clip(route[k]), side);
            QVERIFY2(apart(expected, got) < 1e-6, qPrintable(QString("point %1").arg(k)));
        }
    }

    // No point or segment in view is culled, and at 100 times on a long route
    // the runs drawn hold a small part of it.
    void cullingKeepsEverythingInView_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<double>("largestShare");
        QTest::newRow("whole") << 1.0 << 1.0;
        QTest::newRow("4 times") << 4.0 << 0.5;
        QTest::newRow("100 times") << 100.0 << 0.05;
        QTest::newRow("1000 times") << 1000.0 << 0.01;
    }
    void cullingKeepsEverythingInView() {
        QFETCH(double, zoom);
        QFETCH(double, largestShare);
        const std::vector<Point3> route = writtenLine(200000);
        const int count = int(route.size());
        RouteChunks chunks;
        chunks.build(route.data(), count);
        QCOMPARE(chunks.chunkCount(),
                 std::size_t((count + RouteChunks::chunkPoints - 1) / RouteChunks::chunkPoints));
        const GlyphCamera camera = placeGlyphCamera(route.data(), count);
        std::mt19937 random(11);
        std::uniform_real_distribution<double> position(0, side), angle(-0.4, 0.4);
        for (int trial = 0; trial < 6; ++trial) {
            const double a = angle(random);
            const float turn[4] = {static_cast<float>(std::sin(a)), 0.3f * static_cast<float>(a), 0,
                                   static_cast<float>(std::cos(a))};
            ZoomPan view;
            view.zoomAbout(zoom, {position(random), position(random)}, side);
            const GlyphProjection projection = view.applied(GlyphProjection(camera, turn));
            const std::vector<PointRun> runs = chunks.runsInView(projection, 0);
            std::vector<char> drawn(route.size(), 0);
            long long drawnPoints = 0;
            for (const PointRun& run : runs) {
                QVERIFY(run.dotCount <= run.lineCount && run.lineCount <= run.dotCount + 1);
                for (int k = run.first; k < run.first + run.lineCount; ++k)
                    drawn[std::size_t(k)] = 1;
                drawnPoints += run.lineCount;
            }
            // Every segment with an end in view must be drawn whole.
            for (int k = 0; k + 1 < count; ++k) {
                const CellPosition p = GlyphProjection::inCell(projection.clip(route[k]), side);
                const bool inView = p.x >= 0 && p.x <= side && p.y >= 0 && p.y <= side;
                if (inView && !(drawn[std::size_t(k)] && drawn[std::size_t(k) + 1]))
                    QFAIL(qPrintable(
                        QString("segment %1 in view but culled, trial %2").arg(k).arg(trial)));
            }
            QVERIFY2(drawnPoints <= largestShare * count + 2 * RouteChunks::chunkPoints,
                     qPrintable(QString("%1 of %2 points drawn").arg(drawnPoints).arg(count)));
        }
    }

    // Arrows lie at even steps of the screen length of the lines drawn, one
    // in the middle of each step, and only there: over the whole route, over
    // the runs a zoomed view draws, and over a route whose middle lies behind
    // the eye. Worked out here by walking the lines' lengths.
    void directionArrowsLieEvenlyAlongTheLinesDrawn_data() {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<bool>("throughTheEye");
        QTest::newRow("whole route") << 1.0 << false;
        QTest::newRow("runs in view at 30 times") << 30.0 << false;
        QTest::newRow("runs in view at 1000 times") << 1000.0 << false;
        QTest::newRow("a stretch behind the eye") << 1.0 << true;
    }
    void directionArrowsLieEvenlyAlongTheLinesDrawn() {
        QFETCH(double, zoom);
        QFETCH(bool, throughTheEye);
        std::vector<Point3> route = writtenLine(6000);
        const int count = int(route.size());
        const GlyphCamera camera = placeGlyphCamera(route.data(), count);
        if (throughTheEye) // points 2000 to 2099 pulled to the eye and past it
            for (int k = 2000; k < 2100; ++k)
                route[std::size_t(k)] = {camera.eye.x * 1.5f, camera.eye.y * 1.5f,
                                         camera.eye.z * 1.5f + float(k % 7)};
        RouteChunks chunks;
        chunks.build(route.data(), count);
        // Zoomed about a point of the route, which stays in view.
        const float still[4] = {0, 0, 0, 1};
        const GlyphProjection fitted(camera, still);
        ZoomPan view;
        view.zoomAbout(zoom, GlyphProjection::inCell(fitted.clip(route[3001]), side), side);
        const GlyphProjection projection = view.applied(fitted);
        const std::vector<PointRun> runs =
            zoom > 1 ? chunks.runsInView(projection, 0) : std::vector<PointRun>{{0, count, count}};
        if (zoom > 1)
            QVERIFY(runs.size() < std::size_t(count / RouteChunks::chunkPoints));

        // The visible lines' ends on the screen and where each starts along them.
        std::vector<CellPosition> from, to;
        std::vector<double> startsAt;
        double total = 0;
        for (const PointRun& run : runs)
            for (int k = run.first; k + 1 < run.first + run.lineCount; ++k) {
                const ClipPoint a = projection.clip(route[std::size_t(k)]);
                const ClipPoint b = projection.clip(route[std::size_t(k) + 1]);
                if (!GlyphProjection::insideDepthRange(a) || !GlyphProjection::insideDepthRange(b))
                    continue;
                from.push_back(GlyphProjection::inCell(a, side));
                to.push_back(GlyphProjection::inCell(b, side));
                startsAt.push_back(total);
                total += apart(from.back(), to.back());
            }
        const DirectionMarks marks = directionMarks(route.data(), count, runs, projection, side, 1);
        QVERIFY(total > 0);
        const int expected = std::max(1, int(total / directionArrowSpacing));
        QCOMPARE(int(marks.arrows.size()), expected);
        const double step = total / expected;
        for (int a = 0; a < expected; ++a) {
            const double along = step * (a + 0.5);
            const std::size_t s = std::size_t(
                std::upper_bound(startsAt.begin(), startsAt.end(), along) - startsAt.begin() - 1);
            const double length = apart(from[s], to[s]);
            const double t = (along - startsAt[s]) / length;
            const CellPosition centre{from[s].x + t * (to[s].x - from[s].x),
                                      from[s].y + t * (to[s].y - from[s].y)};
            const DirectionArrow& arrow = marks.arrows[std::size_t(a)];
            const CellPosition base{(arrow.left.x + arrow.right.x) / 2,
                                    (arrow.left.y + arrow.right.y) / 2};
            const CellPosition middle{(arrow.tip.x + base.x) / 2, (arrow.tip.y + base.y) / 2};
            QVERIFY2(apart(middle, centre) < 1e-6 * std::max(1.0, along),
                     qPrintable(QString("arrow %1 of %2 is %3 from its place")
                                    .arg(a)
                                    .arg(expected)
                                    .arg(apart(middle, centre))));
        }
    }

    // The point under the pointer, found through the chunks, is the one a
    // search of the whole route finds.
    void pickingThroughChunksFindsTheNearestPoint() {
        const std::vector<Point3> route = writtenLine(30000);
        const int count = int(route.size());
        RouteChunks chunks;
        chunks.build(route.data(), count);
        const GlyphCamera camera = placeGlyphCamera(route.data(), count);
        std::mt19937 random(5);
        std::uniform_real_distribution<double> position(0, side);
        int found = 0;
        for (double zoom : {1.0, 30.0, 100.0, 800.0}) {
            ZoomPan view;
            view.zoomAbout(zoom, {position(random), position(random)}, side);
            const GlyphProjection projection =
                view.applied(GlyphProjection(camera, identityRotation));
            for (int k = 0; k < 200; ++k) {
                // Half the pointers on a point's own place, the rest anywhere.
                CellPosition at{position(random), position(random)};
                if (k % 2) {
                    const int target = std::uniform_int_distribution<int>(0, count - 1)(random);
                    at = GlyphProjection::inCell(projection.clip(route[std::size_t(target)]), side);
                    at.x += 1.5;
                }
                const int everywhere = nearestPoint(route.data(), count, projection, side, at, 4);
                QCOMPARE(chunks.nearestPoint(projection, side, at, 4), everywhere);
                found += everywhere >= 0;
            }
        }
        QVERIFY(found > 300);
    }
};

QTEST_APPLESS_MAIN(ZoomPanTest)
#include "test_zoom_pan.moc"
