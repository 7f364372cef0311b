// Bad glyphs in a real paint: a table of glyphs that no camera can show
// normally, each put in the middle of a file of ordinary glyphs. The paint must
// complete, every other cell must be pixel-identical to the same file with an
// ordinary glyph there, and the bad cell must show either nothing but its
// frame and label (an invisible glyph) or a drawing kept to the cell.
#include "GlTestSupport.h"
#include "geometry/GlyphCamera.h"

#include <GL/gl.h>
#include <limits>

Q_DECLARE_METATYPE(Point3)
Q_DECLARE_METATYPE(GlyphProblem)

namespace {

constexpr int points = 10;
constexpr int glyphs = 8;
constexpr int badIndex = 5; // row 1, column 1: cells before and after it
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float infinity = std::numeric_limits<float>::infinity();
constexpr float biggest = std::numeric_limits<float>::max();

// Glyphs 0 to 7 of our sample alphabet, ten points each.
QVector<Point3> ordinaryGlyphs() {
    return sampleLetters(points, glyphs);
}

QVector<Point3> letterF(float scale = 1, Point3 offset = {0, 0, 0}) {
    QVector<Point3> f = ordinaryGlyphs().mid(badIndex * points, points);
    for (Point3& p : f)
        p = {p.x * scale + offset.x, p.y * scale + offset.y, p.z * scale + offset.z};
    return f;
}

// The glyph scaled so that its farthest point lies `radius` from its centroid.
QVector<Point3> withRadius(QVector<Point3> glyph, double radius) {
    double c[3] = {0, 0, 0}, farthest = 0;
    for (const Point3& p : glyph) {
        c[0] += double(p.x) / glyph.size();
        c[1] += double(p.y) / glyph.size();
        c[2] += double(p.z) / glyph.size();
    }
    for (const Point3& p : glyph)
        farthest = std::max(farthest, std::hypot(p.x - c[0], p.y - c[1], p.z - c[2]));
    const double scale = radius / farthest;
    for (Point3& p : glyph)
        p = {float(p.x * scale), float(p.y * scale), float(p.z * scale)};
    return glyph;
}

QRect cellOf(int index) {
    return QRect((index % 4) * 100, (index / 4) * 100, 100, 100);
}

// Pixels that differ between a and b inside `inside`, or everywhere outside `outside`.
int differing(const QImage& a, const QImage& b, const QRect& inside, const QRect& outside) {
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (inside.contains(x, y) && !outside.contains(x, y))
                count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

QImage paintFile(const QVector<Point3>& all, int pointsPerGlyph) {
    QTemporaryDir dir;
    auto view = showGlyphs(dir, pointsPerGlyph, glyphs, all);
    const int before = view->paints;
    QImage image = view->frame();
    if (view->paints != before + 1)
        qWarning("the frame was not painted");
    view->makeCurrent();
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR)
        qWarning("GL error 0x%x after the paint", error);
    return error == GL_NO_ERROR ? image : QImage();
}

} // namespace

class BadGlyphTest : public QObject {
    Q_OBJECT

    QImage ordinary; // the file of ordinary glyphs
    QImage empty;    // glyphs of no points: frames and labels only

private slots:
    void initTestCase() {
        ordinary = paintFile(ordinaryGlyphs(), points);
        empty = paintFile({}, 0);
        QVERIFY(!ordinary.isNull() && !empty.isNull());
        // The glyphs of the ordinary file do show, and the empty file's cells hold only
        // their frames and labels.
        QVERIFY(differing(ordinary, empty, cellOf(badIndex), QRect()) > 100);
        const QRect interior = cellOf(badIndex).adjusted(6, 6, -6, -40);
        QCOMPARE(countPixels(empty, interior, [](QRgb c) { return !isWhite(c); }), 0);
    }

    void badGlyphKeepsToItsCell_data() {
        QTest::addColumn<QVector<Point3>>("glyph");
        QTest::addColumn<GlyphProblem>("problem");
        QTest::addColumn<bool>("visible"); // the camera's verdict
        QTest::addColumn<bool>("drawn");   // anything of the glyph on screen
        using G = GlyphProblem;
        QVector<Point3> g = letterF();
        g[3].y = notANumber;
        QTest::newRow("one NaN coordinate") << g << G::NonFinite << false << false;
        QTest::newRow("every coordinate NaN")
            << QVector<Point3>(points, Point3{notANumber, -notANumber, notANumber}) << G::NonFinite
            << false << false;
        g = letterF();
        g[0].x = infinity;
        QTest::newRow("+infinity") << g << G::NonFinite << false << false;
        g[9].z = -infinity;
        QTest::newRow("+infinity and -infinity") << g << G::NonFinite << false << false;
        QTest::newRow("largest floats, sum beyond range")
            << letterF(biggest) << G::NonFinite << false << false;
        QTest::newRow("coordinates of 1e30")
            << letterF(1e30f) << G::OutsideDepthRange << false << false;
        QTest::newRow("coordinates of 1e-30")
            << letterF(1e-30f) << G::OutsideDepthRange << false << false;
        QTest::newRow("subnormal coordinates")
            << letterF(1e-44f) << G::OutsideDepthRange << false << false;
        g = letterF();
        g[7] = {1e30f, -1e30f, 1e30f};
        QTest::newRow("one point at 1e30") << g << G::OutsideDepthRange << false << false;
        QTest::newRow("1e-30 steps lost beside 1")
            << letterF(1e-30f, {1, 1, 1}) << G::AllPointsEqual << true << true;
        QTest::newRow("every point equal")
            << QVector<Point3>(points, Point3{3, -2, 1}) << G::AllPointsEqual << true << true;
        QTest::newRow("every point at the origin")
            << QVector<Point3>(points, Point3{0, 0, 0}) << G::AllPointsEqual << true << true;
        g.clear();
        for (int k = 0; k < points; ++k)
            g.append({float(k), 2.0f * k, -float(k)});
        QTest::newRow("all on one line") << g << G::AllOnOneLine << true << true;
        for (Point3& p : g)
            p = {0, p.x, 0};
        QTest::newRow("all on the up axis") << g << G::AllOnOneLine << true << true;
        for (int k = 0; k < points; ++k)
            g[k] = k % 2 ? Point3{1, 1, 1} : Point3{-2, 0, 5};
        QTest::newRow("two points in turn") << g << G::AllOnOneLine << true << true;
        g = QVector<Point3>(points, Point3{0, 0, 0});
        g[9] = {1, 0, 0};
        QTest::newRow("one point apart") << g << G::AllOnOneLine << true << true;
        g.clear();
        for (int k = 0; k < points; ++k)
            g.append({float(k) - 4.5f, k % 2 ? 1.0f : -1.0f, 0});
        g[4] = g[5] = {0, 0, 0};
        QTest::newRow("middle point on the centroid") << g << G::MiddleAtCentroid << true << true;
        g = letterF();
        for (Point3& p : g)
            p = {p.x, 0, p.y};
        QTest::newRow("flat in y = 0: view axis along up")
            << g << G::VerticalViewAxis << true << true;
        // Seen from 2.1 d, the points lie 1.1 d to 3.1 d from the eye; the planes are at 0.1 and
        // 5000.
        QTest::newRow("wholly nearer than the near plane")
            << withRadius(letterF(), 0.02) << G::OutsideDepthRange << false << false;
        QTest::newRow("partly nearer than the near plane")
            << withRadius(letterF(), 0.05) << G::None << true << true;
        QTest::newRow("beyond the far plane, nearest place in front")
            << withRadius(letterF(), 4400) << G::None << true << false;
        QTest::newRow("wholly beyond the far plane")
            << withRadius(letterF(), 5000) << G::OutsideDepthRange << false << false;
        g = letterF();
        g[5] = {1e30f, 0, 0};
        g[4] = {-1e30f, 0, 0};
        QTest::newRow("1e30 and -1e30 around the middle")
            << g << G::OutsideDepthRange << false << false;
    }

    // The table: the camera's verdict, then the paint.
    void badGlyphKeepsToItsCell() {
        QFETCH(QVector<Point3>, glyph);
        QFETCH(GlyphProblem, problem);
        QFETCH(bool, visible);
        QFETCH(bool, drawn);
        const GlyphCamera camera = placeGlyphCamera(glyph.data(), points);
        QCOMPARE(camera.problem, problem);
        QCOMPARE(camera.visible, visible);

        QVector<Point3> all = ordinaryGlyphs();
        std::copy(glyph.begin(), glyph.end(), all.begin() + badIndex * points);
        const QImage image = paintFile(all, points);
        QVERIFY(!image.isNull());
        const QRect cell = cellOf(badIndex);
        QCOMPARE(differing(image, ordinary, image.rect(), cell), 0);
        if (!drawn) {
            QCOMPARE(differing(image, empty, cell, QRect()), 0);
            return;
        }
        // Drawn, and kept to the cell: the camera keeps every point within a half-angle
        // of 28.4 of the 30 degrees, about 3 pixels from the edge, less the point's
        // radius of 2.5; the cell's outermost ring of pixels stays as in the empty cell.
        const QRect inner = cell.adjusted(1, 1, -1, -1);
        QVERIFY(differing(image, empty, cell, QRect()) > 0);
        QCOMPARE(differing(image, empty, cell, inner), 0);
    }

    // A file of nothing but bad glyphs, all invisible, paints frames and labels only:
    // the same picture as glyphs of no points.
    void fileOfOnlyInvisibleGlyphs() {
        QVector<Point3> all;
        for (float v : {notANumber, infinity, -infinity, biggest, 1e30f, 1e-30f, 1e-44f, -1e30f})
            all += letterF(v);
        for (int i = 0; i < glyphs; ++i)
            QVERIFY(!placeGlyphCamera(all.data() + i * points, points).visible);
        const QImage image = paintFile(all, points);
        QCOMPARE(differing(image, empty, image.rect(), QRect()), 0);
    }

    // Glyphs of one point each: a NaN point leaves its cell empty and the others alike.
    void onePointGlyphs() {
        QVector<Point3> dots;
        for (int i = 0; i < glyphs; ++i)
            dots.append({float(i), 2.0f * i, -1});
        const QImage ordinaryDots = paintFile(dots, 1);
        dots[badIndex] = {notANumber, 0, 0};
        const QImage image = paintFile(dots, 1);
        QVERIFY(differing(ordinaryDots, empty, cellOf(badIndex), QRect()) > 0);
        QCOMPARE(differing(image, ordinaryDots, image.rect(), cellOf(badIndex)), 0);
        QCOMPARE(differing(image, empty, cellOf(badIndex), QRect()), 0);
    }
};

QTEST_MAIN(BadGlyphTest)
#include "gui_bad_glyphs.moc"
