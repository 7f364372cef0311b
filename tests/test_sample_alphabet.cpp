#include "alphabet/Resample.h"
#include "alphabet/SampleAlphabet.h"
#include "geometry/GlyphCamera.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

bool same(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

} // namespace

class TestSampleAlphabet : public QObject {
    Q_OBJECT

private slots:
    void resamplingSpacesPointsEvenlyIn3D() {
        // Lengths 3 and 4, the second straight along z: 8 points lie 1 apart, one on the corner.
        const std::vector<Point3> stroke{{0, 0, 0}, {1, 2, 2}, {1, 2, 6}};
        const std::vector<Point3> points = resampleByArcLength(stroke, 8);
        QCOMPARE(points.size(), std::size_t(8));
        for (std::size_t k = 1; k < points.size(); ++k)
            QVERIFY(std::fabs(distance(points[k - 1], points[k]) - 1.0) < 1e-5);
        QVERIFY(distance(points[3], stroke[1]) < 1e-5);

        // Six unit steps to 4 points: each point lies two corners on from the last.
        const std::vector<Point3> stairs{{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1},
                                         {2, 1, 1}, {2, 2, 1}, {2, 2, 2}};
        const std::vector<Point3> corners = resampleByArcLength(stairs, 4);
        for (std::size_t k = 0; k < corners.size(); ++k)
            QVERIFY(distance(corners[k], stairs[2 * k]) < 1e-6);

        const std::vector<Point3> odd{{0.1f, 0.2f, 0.3f}, {1.7f, -0.4f, 0.9f}, {2.3f, 1.1f, -0.6f}};
        for (int count : {2, 3, 7, 48, 101}) {
            const std::vector<Point3> kept = resampleByArcLength(odd, count);
            QVERIFY(same(kept.front(), odd.front()) && same(kept.back(), odd.back()));
        }
    }

    void resamplingHandlesDegenerateInput() {
        const std::vector<Point3> stroke{{1, 2, 3}, {4, 2, 3}};
        QVERIFY(resampleByArcLength(stroke, 0).empty());
        QVERIFY(resampleByArcLength(stroke, -5).empty());
        QVERIFY(resampleByArcLength({}, 10).empty());
        const std::vector<Point3> one = resampleByArcLength(stroke, 1);
        QVERIFY(one.size() == 1 && same(one[0], stroke[0]));

        for (const std::vector<Point3>& still :
             {std::vector<Point3>{{1, 2, 3}}, std::vector<Point3>(3, Point3{1, 2, 3})}) {
            const std::vector<Point3> points = resampleByArcLength(still, 4);
            QCOMPARE(points.size(), std::size_t(4));
            for (const Point3& p : points)
                QVERIFY(same(p, still[0]));
        }

        // Repeated points make zero-length segments, which must not upset the spacing.
        const std::vector<Point3> repeated{{0, 0, 0}, {0, 0, 0}, {2, 0, 0}, {2, 0, 0}, {4, 0, 0}};
        const std::vector<Point3> points = resampleByArcLength(repeated, 5);
        for (int k = 0; k < 5; ++k)
            QVERIFY(distance(points[k], Point3{float(k), 0, 0}) < 1e-6);

        const float nan = std::numeric_limits<float>::quiet_NaN();
        const float inf = std::numeric_limits<float>::infinity();
        for (const Point3& bad : {Point3{nan, 0, 0}, Point3{0, inf, 0}, Point3{nan, nan, nan}}) {
            const std::vector<Point3> broken{{0, 0, 0}, {1, 0, 0}, bad, {3, 0, 0}, {4, 1, 0}};
            const std::vector<Point3> out = resampleByArcLength(broken, 9);
            QCOMPARE(out.size(), std::size_t(9));
            QVERIFY(same(out.front(), broken.front()) && same(out.back(), broken.back()));
        }
    }

    void sampleHasTwentySixFiniteGlyphs() {
        QVERIFY(sampleAlphabet(0).empty());
        QVERIFY(sampleAlphabet(-1).empty());
        for (int count : {1, 2, 16, 48, 100}) {
            const std::vector<Point3> points = sampleAlphabet(count);
            QCOMPARE(points.size(), std::size_t(sampleGlyphCount) * std::size_t(count));
            for (const Point3& p : points)
                QVERIFY(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        }
    }

    void everyLetterIsSeenFromTheFront_data() {
        QTest::addColumn<int>("count");
        for (int count : {16, 32, 48, 64, 100})
            QTest::addRow("%d points", count) << count;
    }

    void everyLetterIsSeenFromTheFront() {
        QFETCH(int, count);
        const std::vector<Point3> points = sampleAlphabet(count);
        for (int glyph = 0; glyph < sampleGlyphCount; ++glyph) {
            const GlyphCamera camera = placeGlyphCamera(points.data() + glyph * count, count);
            const Point3& e = camera.eye;
            const QByteArray letter(1, char('A' + glyph));
            QVERIFY2(camera.problem == GlyphProblem::None && camera.visible, letter);
            QVERIFY2(camera.up.x == 0 && camera.up.y == 1 && camera.up.z == 0, letter);
            QVERIFY2(e.z / std::hypot(double(e.x), double(e.y), double(e.z)) > 0.9, letter);
        }
    }

    void everyLetterIsCapitalSizedWithDepth() {
        const int count = 48;
        const std::vector<Point3> points = sampleAlphabet(count);
        for (int glyph = 0; glyph < sampleGlyphCount; ++glyph) {
            Point3 low = points[glyph * count], high = low;
            for (int k = 0; k < count; ++k) {
                const Point3& p = points[glyph * count + k];
                low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
                high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
            }
            const QByteArray letter(1, char('A' + glyph));
            QVERIFY2(high.x - low.x > 0.5 && high.x - low.x < 1.2, letter);
            QVERIFY2(high.y - low.y > 1.3 && high.y - low.y < 1.6, letter);
            QVERIFY2(high.z - low.z > 0.15, letter);
        }
    }
};

QTEST_APPLESS_MAIN(TestSampleAlphabet)
#include "test_sample_alphabet.moc"
