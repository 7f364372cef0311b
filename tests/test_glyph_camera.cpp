#include "geometry/DirectionMarks.h"
#include "geometry/GlyphCamera.h"
#include "geometry/GlyphProjection.h"
#include "geometry/GlyphTurns.h"

#include <QtTest>
#include <cmath>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(Point3)

namespace {

bool near(float a, double b, double tolerance = 1e-4) {
    return std::fabs(a - b) <= tolerance;
}

float lengthOf(const Point3& p) {
    return std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
}

// A wavy, non-planar stroke without symmetry.
std::vector<Point3> wavyStroke() {
    std::vector<Point3> points;
    for (int k = 0; k < 40; ++k) {
        float t = k / 39.0f;
        points.push_back({t * 1.3f + 0.2f * std::sin(7 * t), 1.4f * t * t, 0.2f * std::sin(3 * t)});
    }
    return points;
}

// Where a camera puts a glyph point on its picture: direction from the eye,
// expressed in the camera's side, up and forward axes.
Point3 pictureOf(const GlyphCamera& camera, const Point3& p) {
    Point3 f{-camera.eye.x, -camera.eye.y, -camera.eye.z};
    float fl = lengthOf(f);
    f = {f.x / fl, f.y / fl, f.z / fl};
    Point3 s{f.y * camera.up.z - f.z * camera.up.y, f.z * camera.up.x - f.x * camera.up.z,
             f.x * camera.up.y - f.y * camera.up.x};
    float sl = lengthOf(s);
    s = {s.x / sl, s.y / sl, s.z / sl};
    Point3 u{s.y * f.z - s.z * f.y, s.z * f.x - s.x * f.z, s.x * f.y - s.y * f.x};
    Point3 q{p.x - camera.centroid.x - camera.eye.x, p.y - camera.centroid.y - camera.eye.y,
             p.z - camera.centroid.z - camera.eye.z};
    float depth = q.x * f.x + q.y * f.y + q.z * f.z;
    return {(q.x * s.x + q.y * s.y + q.z * s.z) / depth,
            (q.x * u.x + q.y * u.y + q.z * u.z) / depth, depth};
}

bool finiteCamera(const GlyphCamera& c) {
    for (float v : {c.eye.x, c.eye.y, c.eye.z, c.centroid.x, c.centroid.y, c.centroid.z, c.up.x,
                    c.up.y, c.up.z})
        if (!std::isfinite(v))
            return false;
    return true;
}

} // namespace

class GlyphCameraTest : public QObject {
    Q_OBJECT

private slots:
    void threePointExampleLooksFromNegativeZ() {
        const Point3 points[] = {{1, 0, 0}, {0, 1, 0}, {0, -1, 0}};
        GlyphCamera camera = placeGlyphCamera(points, 3);
        QVERIFY(camera.visible);
        QCOMPARE(camera.problem, GlyphProblem::None);
        QVERIFY(near(camera.centroid.x, 1.0 / 3) && near(camera.centroid.y, 0));
        QVERIFY(near(camera.eye.x, 0) && near(camera.eye.y, 0));
        QVERIFY(near(camera.eye.z, -2.2136));
        QCOMPARE(camera.up.y, 1.0f);
    }

    void pictureIgnoresScaleAndPosition() {
        const std::vector<Point3> original = wavyStroke();
        GlyphCamera base = placeGlyphCamera(original.data(), int(original.size()));
        QCOMPARE(base.problem, GlyphProblem::None);
        for (float scale : {0.2f, 7.5f, 300.0f}) {
            std::vector<Point3> moved;
            for (const Point3& p : original)
                moved.push_back({p.x * scale + 12, p.y * scale - 40, p.z * scale + 3});
            GlyphCamera camera = placeGlyphCamera(moved.data(), int(moved.size()));
            for (std::size_t k = 0; k < original.size(); ++k) {
                Point3 a = pictureOf(base, original[k]);
                Point3 b = pictureOf(camera, moved[k]);
                QVERIFY2(near(a.x, b.x, 1e-3) && near(a.y, b.y, 1e-3),
                         qPrintable(QString("scale %1 point %2").arg(scale).arg(k)));
            }
        }
    }

    void wholeGlyphFitsTheFieldOfView() {
        const std::vector<Point3> points = wavyStroke();
        GlyphCamera camera = placeGlyphCamera(points.data(), int(points.size()));
        const double halfField = std::tan(30 * M_PI / 180);
        for (const Point3& p : points) {
            Point3 seen = pictureOf(camera, p);
            QVERIFY(std::fabs(seen.x) < halfField && std::fabs(seen.y) < halfField);
        }
    }

    void degenerateGlyphsGetAFiniteCameraOrNone() {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        struct Case {
            const char* name;
            std::vector<Point3> points;
            bool visible;
            GlyphProblem problem;
        };
        const std::vector<Case> cases = {
            {"empty", {}, false, GlyphProblem::NoPoints},
            {"one point", {{2, 3, 4}}, true, GlyphProblem::SinglePoint},
            {"all equal", {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, true, GlyphProblem::AllPointsEqual},
            {"NaN", {{0, 0, 0}, {nan, 1, 0}, {1, 0, 0}}, false, GlyphProblem::NonFinite},
            {"infinite", {{0, 0, 0}, {1, inf, 0}, {1, 0, 0}}, false, GlyphProblem::NonFinite},
            {"overflowing sum",
             {{3e38f, 0, 0}, {3e38f, 1, 0}, {0, 0, 1}},
             false,
             GlyphProblem::NonFinite},
            {"line",
             {{0, 0, 0}, {1, 2, 0}, {2, 4, 0}, {3, 6, 0}},
             true,
             GlyphProblem::AllOnOneLine},
            {"middle at centroid",
             {{-1, -1, 0}, {1, -1, 0}, {0, 0, 0}, {-1, 1, 0}, {1, 1, 0}},
             true,
             GlyphProblem::MiddleAtCentroid},
            {"flat on the floor",
             {{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 2}},
             true,
             GlyphProblem::VerticalViewAxis},
            {"tiny",
             {{0, 0, 0}, {1e-30f, 0, 0}, {0, 1e-30f, 0}},
             false,
             GlyphProblem::OutsideDepthRange},
            {"huge",
             {{0, 0, 0}, {1e30f, 0, 0}, {0, 1e30f, 0}},
             false,
             GlyphProblem::OutsideDepthRange},
        };
        for (const Case& c : cases) {
            GlyphCamera camera = placeGlyphCamera(c.points.data(), int(c.points.size()));
            QVERIFY2(camera.visible == c.visible, c.name);
            QVERIFY2(camera.problem == c.problem, c.name);
            QVERIFY2(finiteCamera(camera), c.name);
            if (!camera.visible)
                continue;
            // A usable look-at: the eye off the centroid and not along the up vector.
            Point3 e = camera.eye;
            QVERIFY2(lengthOf(e) > 0, c.name);
            Point3 side{e.y * camera.up.z - e.z * camera.up.y,
                        e.z * camera.up.x - e.x * camera.up.z,
                        e.x * camera.up.y - e.y * camera.up.x};
            QVERIFY2(lengthOf(side) > 1e-6f * lengthOf(e), c.name);
        }
    }

    void pointOnTheCentroidNeitherFixesTheAxisNorTheDistance() {
        // Point 0 sits on the centroid; the picture is that of the other four.
        const Point3 with[] = {{0, 0, 0}, {-1, -1, 0}, {2, -1, 0.5f}, {1, 1, 0}, {-2, 1, -0.5f}};
        GlyphCamera camera = placeGlyphCamera(with, 5);
        QVERIFY(camera.visible);
        QVERIFY(finiteCamera(camera));
        QVERIFY(near(lengthOf(camera.eye), 2.1 * std::sqrt(4 + 1 + 0.25), 1e-3));
    }

    void firstPointOnTheReferenceLineIsReplaced() {
        // Point 0 lies on the line through M and G (c = 1): a later point fixes the axis.
        const Point3 points[] = {{0, 3, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1.2f, 0}};
        GlyphCamera camera = placeGlyphCamera(points, 5);
        QCOMPARE(camera.problem, GlyphProblem::None);
        QVERIFY(near(std::fabs(camera.eye.z), lengthOf(camera.eye)));
    }

    // A diamond in the x-y plane is seen from +z at 2.1 units: a point one unit
    // off the centroid lands at 50 ± 50 × tan(60°) ÷ 2.1 ≈ 50 ± 41.2393 pixels
    // of a 100-pixel cell. A quarter turn about z is applied as GL applies the
    // turn's matrix (by its conjugate), carrying x onto -y.
    void projectionPlacesPointsAsTheGlDrawingDoes_data() {
        QTest::addColumn<float>("turnZ");
        QTest::addColumn<float>("turnW");
        QTest::addColumn<Point3>("point");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        const float s = std::sqrt(0.5f);
        const double off = 50 * std::sqrt(3.0) / 2.1;
        QTest::newRow("centroid") << 0.0f << 1.0f << Point3{0, 0, 0} << true << 50.0 << 50.0;
        QTest::newRow("top") << 0.0f << 1.0f << Point3{0, 1, 0} << true << 50.0 << 50 - off;
        QTest::newRow("right") << 0.0f << 1.0f << Point3{1, 0, 0} << true << 50 + off << 50.0;
        QTest::newRow("right, turned") << s << s << Point3{1, 0, 0} << true << 50.0 << 50 + off;
        QTest::newRow("at the eye") << 0.0f << 1.0f << Point3{0, 0, 2.1f} << false << 0.0 << 0.0;
        QTest::newRow("beyond far") << 0.0f << 1.0f << Point3{0, 0, -5000} << false << 0.0 << 0.0;
    }
    void projectionPlacesPointsAsTheGlDrawingDoes() {
        QFETCH(float, turnZ);
        QFETCH(float, turnW);
        QFETCH(Point3, point);
        QFETCH(bool, kept);
        QFETCH(double, x);
        QFETCH(double, y);
        const Point3 diamond[] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}};
        const GlyphCamera camera = placeGlyphCamera(diamond, 4);
        QVERIFY(near(camera.eye.z, 2.1));
        const float turn[4] = {0, 0, turnZ, turnW};
        const ClipPoint clip = GlyphProjection(camera, turn).clip(point);
        QCOMPARE(GlyphProjection::insideDepthRange(clip), kept);
        if (!kept)
            return;
        const CellPosition at = GlyphProjection::inCell(clip, 100);
        QVERIFY2(std::fabs(at.x - x) < 1e-3 && std::fabs(at.y - y) < 1e-3,
                 qPrintable(QString("at (%1, %2)").arg(at.x).arg(at.y)));
    }

    // An L drawn along +x, then along +y, turned a quarter about z: the ring
    // sits on the first point, not the last, and every arrow points along the
    // leg it sits on, from its start to its end.
    void directionMarksShowWhereThePathStartsAndRuns() {
        std::vector<Point3> path;
        for (int k = 0; k <= 8; ++k)
            path.push_back({float(std::min(k, 4)), float(std::max(k - 4, 0)), 0.01f * k});
        const GlyphCamera camera = placeGlyphCamera(path.data(), int(path.size()));
        const float quarter[4] = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
        const GlyphProjection projection(camera, quarter);
        const DirectionMarks marks = directionMarks(path.data(), 9, projection, 100);
        auto at = [&](int k) { return GlyphProjection::inCell(projection.clip(path[k]), 100); };
        const CellPosition ends[3] = {at(0), at(4), at(8)};
        QVERIFY(marks.hasStart);
        QVERIFY(std::hypot(marks.start.x - ends[0].x, marks.start.y - ends[0].y) < 1e-9);
        QCOMPARE(marks.ringRadius, directionRingRadius);
        int onLeg[2] = {0, 0};
        for (const DirectionArrow& a : marks.arrows) {
            const double dx = a.tip.x - (a.left.x + a.right.x) / 2;
            const double dy = a.tip.y - (a.left.y + a.right.y) / 2;
            QVERIFY(std::fabs(std::hypot(dx, dy) - directionArrowLength) < 1e-9);
            for (int leg = 0; leg < 2; ++leg) {
                const CellPosition from = ends[leg], to = ends[leg + 1];
                const double length = std::hypot(to.x - from.x, to.y - from.y);
                const double ux = (to.x - from.x) / length, uy = (to.y - from.y) / length;
                const double cx = a.tip.x - dx / 2 - from.x, cy = a.tip.y - dy / 2 - from.y;
                const bool on = std::fabs(cx * uy - cy * ux) < 1e-6 && cx * ux + cy * uy > 0 &&
                                cx * ux + cy * uy < length;
                onLeg[leg] += on && (dx * ux + dy * uy) > 0.999 * directionArrowLength;
            }
        }
        QCOMPARE(onLeg[0] + onLeg[1], int(marks.arrows.size()));
        QVERIFY(onLeg[0] > 0 && onLeg[1] > 0);
    }

    // A turn asked for by axis and degrees is counterclockwise seen from the
    // axis's tip: on the diamond seen from +z, right goes up about z, the near
    // side goes right about y, and the far side goes up about x.
    void turnByAxisAndDegreesTurnsCounterclockwise_data() {
        QTest::addColumn<Point3>("axis");
        QTest::addColumn<double>("degrees");
        QTest::addColumn<Point3>("point");
        QTest::addColumn<QPointF>("at"); // where the point is drawn in a cell of 100
        const double off = 50 * std::sqrt(3.0) / 2.1;
        QTest::newRow("right goes up about z")
            << Point3{0, 0, 1} << 90.0 << Point3{1, 0, 0} << QPointF(50, 50 - off);
        QTest::newRow("near side goes right about y, any length")
            << Point3{0, 2, 0} << 90.0 << Point3{0, 0, 1} << QPointF(50 + off, 50);
        QTest::newRow("far side goes up about x")
            << Point3{1, 0, 0} << 90.0 << Point3{0, 0, -1} << QPointF(50, 50 - off);
        QTest::newRow("right goes down by -90")
            << Point3{0, 0, 1} << -90.0 << Point3{1, 0, 0} << QPointF(50, 50 + off);
        QTest::newRow("a whole turn")
            << Point3{0, 0, 1} << 360.0 << Point3{1, 0, 0} << QPointF(50 + off, 50);
    }
    void turnByAxisAndDegreesTurnsCounterclockwise() {
        QFETCH(Point3, axis);
        QFETCH(double, degrees);
        QFETCH(Point3, point);
        QFETCH(QPointF, at);
        const Point3 diamond[] = {{-1, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, -1, 0}};
        const float turnAxis[3] = {axis.x, axis.y, axis.z};
        Quaternion turn;
        orientationTurnedBy(turnAxis, degrees, turn);
        const CellPosition drawn = GlyphProjection::inCell(
            GlyphProjection(placeGlyphCamera(diamond, 4), turn).clip(point), 100);
        QVERIFY2(std::fabs(drawn.x - at.x()) < 1e-3 && std::fabs(drawn.y - at.y()) < 1e-3,
                 qPrintable(QString("at (%1, %2)").arg(drawn.x).arg(drawn.y)));
    }
};

QTEST_APPLESS_MAIN(GlyphCameraTest)
#include "test_glyph_camera.moc"
