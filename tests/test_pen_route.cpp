#include "GlyphFileSupport.h"

#include "import/pen/FontHeight.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"

#include <QtTest>
#include <cmath>
#include <vector>

namespace {

bool same(const Point3& a, const Point3& b) {
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

PenFont hershey(const std::string& text, PenError& error) {
    PenFont font;
    readHersheyFont(text, font, error);
    return font;
}

} // namespace

class PenRouteTest : public QObject {
    Q_OBJECT

private slots:
    void hersheyRecordsReadWithYUpAndTheHeightOfH() {
        // Records run from the space on: 33 is A, 40 is H; the others hold margins alone.
        std::string text;
        for (int k = 0; k <= 40; ++k)
            text += k == 33   ? "  501  9G]RFJ[ RRFZ[ RMTWT\n"
                    : k == 40 ? "  508  6G]RFR[ RVFV[\n"
                              : "  500  1JZ\n";
        PenError error;
        const PenFont font = hershey(text, error);
        QCOMPARE(font.glyphs.size(), std::size_t(41));
        QCOMPARE(font.glyphs[33].character, char32_t(U'A'));
        // A is "RFJ[ RRFZ[ RMTWT": three strokes, y turned up, the margins dropped.
        const std::vector<PenStroke>& a = font.glyphs[33].strokes;
        QCOMPARE(a.size(), std::size_t(3));
        const double expected[3][4] = {{0, 12, -8, -9}, {0, 12, 8, -9}, {-5, -2, 5, -2}};
        for (int s = 0; s < 3; ++s) {
            QCOMPARE(a[s].size(), std::size_t(2));
            QVERIFY(a[s][0].x == expected[s][0] && a[s][0].y == expected[s][1] &&
                    a[s][1].x == expected[s][2] && a[s][1].y == expected[s][3]);
        }
        QCOMPARE(font.height, 21.0); // H runs from F to [
        QCOMPARE(font.heightName, std::string("the cap height of H"));
    }

    void fontHeightTakesTheFirstRuleThatGivesOne_data() {
        QTest::addColumn<double>("capHeight");
        QTest::addColumn<double>("ascent");
        QTest::addColumn<bool>("withH");
        QTest::addColumn<double>("height");
        QTest::addColumn<QString>("name");
        QTest::newRow("cap-height first")
            << 7.0 << 9.0 << true << 7.0 << "the cap-height of font-face";
        QTest::newRow("H before ascent") << 0.0 << 9.0 << true << 4.0 << "the cap height of H";
        QTest::newRow("ascent without H")
            << 0.0 << 9.0 << false << 9.0 << "the ascent of font-face";
        QTest::newRow("all glyphs last") << 0.0 << 0.0 << false << 6.0 << "the font's height";
    }

    void fontHeightTakesTheFirstRuleThatGivesOne() {
        QFETCH(double, capHeight);
        QFETCH(double, ascent);
        QFETCH(bool, withH);
        QFETCH(double, height);
        QFETCH(QString, name);
        PenFont font;
        font.glyphs = {{U'x', {{{0, -2}, {0, 4}}}}, {U'H', {}}};
        if (withH)
            font.glyphs.push_back({U'H', {{{0, 0}, {0, 4}}}}); // the first H drawing something
        setFontHeight(font, capHeight, ascent);
        QCOMPARE(font.height, height);
        QCOMPARE(QString::fromStdString(font.heightName), name);
    }

    void hersheyRecordsWrapAcrossLines() {
        const std::string pairs = "JZ" + std::string(60, 'R') + "KFK[ RYFY[ RKPYP";
        const std::string record = "    8 " + std::to_string(pairs.size() / 2) + pairs;
        PenError error;
        const PenFont oneLine = hershey(record + "\n", error);
        const PenFont wrapped =
            hershey(record.substr(0, 72) + "\n" + record.substr(72) + "\n", error);
        QVERIFY(oneLine.glyphs.size() == 1 && wrapped.glyphs.size() == 1);
        QCOMPARE(wrapped.glyphs[0].strokes.size(), oneLine.glyphs[0].strokes.size());
    }

    void hersheyFaultsNameTheirLine_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("problem");
        QTest::newRow("short record") << QByteArray("    1  1JZ\n    2 27H\\PBP_ RTBT_\n") << 2
                                      << QByteArray("announces 27 coordinate pairs");
        QTest::newRow("count lies")
            << QByteArray("    1  3JZ\n") << 1
            << QByteArray("announces 3 coordinate pairs (6 characters after column 8) but holds 2");
        QTest::newRow("no glyph number")
            << QByteArray("\n  x 1  2JZRF\n") << 2 << QByteArray("glyph number in columns 1 to 5");
        QTest::newRow("no count") << QByteArray("    1   JZ\n") << 1
                                  << QByteArray("count of coordinate pairs");
        QTest::newRow("control character")
            << QByteArray("    1  2JZ\tR\n") << 1 << QByteArray("is not a coordinate");
        QTest::newRow("blank") << QByteArray("\n \n") << 0 << QByteArray("no Hershey records");
    }

    void hersheyFaultsNameTheirLine() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QByteArray, problem);
        PenError why;
        QVERIFY(hershey(text.toStdString(), why).glyphs.empty());
        QCOMPARE(why.line, line);
        QVERIFY2(why.message.find(problem.toStdString()) != std::string::npos, why.message.c_str());
    }

    void liftsGoUpAcrossAndDown() {
        const PenGlyph glyph{0, {{{0, 0}, {1, 0}}, {{2, 0}, {2, 1}}}};
        const PenRoute lifted = penRoute(glyph, 0.5f);
        const std::vector<Point3> up = {{0, 0, 0},    {1, 0, 0}, {1, 0, 0.5f},
                                        {2, 0, 0.5f}, {2, 0, 0}, {2, 1, 0}};
        QCOMPARE(lifted.points.size(), up.size());
        for (std::size_t k = 0; k < up.size(); ++k)
            QVERIFY(same(lifted.points[k], up[k]) && lifted.rank[k] != freeRank);
        QCOMPARE(lifted.fixedCount, 6);

        const PenRoute flat = penRoute(glyph, 0);
        QCOMPARE(flat.points.size(), std::size_t(4));
        QVERIFY(same(flat.points[2], {2, 0, 0}));
        // A stroke that starts where the last ended lifts straight up and down.
        const PenRoute touching = penRoute({0, {{{0, 0}, {1, 0}}, {{1, 0}, {1, 1}}}}, 2);
        QCOMPARE(touching.points.size(), std::size_t(5));
        QVERIFY(same(touching.points[2], {1, 0, 2}) && same(touching.points[3], {1, 0, 0}));
        QVERIFY(penRoute({0, {}}, 1).points.empty());
    }

    void cornersAreTurnsOfMoreThanThirtyDegreesOutsideCurves() {
        PenStroke stroke = {{0, 0}, {1, 0}, {1, 1}}; // 90 degrees at (1, 0)
        for (int k = 1; k <= 4; ++k)                 // 20 degrees each: no corners
            stroke.push_back({1 + (1 - std::cos(k * 20 * M_PI / 180)) * 0.5,
                              1 + std::sin(k * 20 * M_PI / 180) * 0.5});
        stroke.push_back({3, 3, true}); // inside a curve: never a corner
        stroke.push_back({3, 10, false});
        stroke.push_back({0, 10});
        const PenRoute route = penRoute({0, {stroke}}, 1);
        std::vector<unsigned char> expected(route.points.size(), freeRank);
        expected.front() = expected.back() = pathEndRank;
        expected[1] = cornerRank;                       // the right angle
        expected[route.points.size() - 2] = cornerRank; // (3, 10): a joint, turning 90 degrees
        QCOMPARE(route.rank, expected);
    }

    void resamplingKeepsEveryRankedPointWithEvenSpacing() {
        const PenGlyph glyph{0,
                             {{{0, 0}, {4, 0}, {4, 1}},
                              {{6, 0}, {6.5, 2, true}, {7.2, 3.8, true}, {8, 5.2}, {9, 0}},
                              {{10, 0}}}};
        const PenRoute route = penRoute(glyph, 1.5f);
        for (int count : {route.fixedCount, route.fixedCount + 1, route.fixedCount + 17, 200}) {
            const std::vector<Point3> points = resampleRoute(route, count);
            QCOMPARE(points.size(), std::size_t(count));
            // Each ranked point appears, in order; between two of them the steps are equal.
            std::size_t at = 0;
            std::vector<std::size_t> kept;
            for (std::size_t k = 0; k < route.points.size(); ++k) {
                if (!route.rank[k])
                    continue;
                while (at < points.size() && !same(points[at], route.points[k]))
                    ++at;
                QVERIFY2(at < points.size(), qPrintable(QString("count %1").arg(count)));
                kept.push_back(at);
            }
            double shortest = INFINITY, longest = 0;
            for (std::size_t j = 0; j + 1 < kept.size(); ++j) {
                const std::size_t steps = kept[j + 1] - kept[j];
                const double first = distance(points[kept[j]], points[kept[j] + 1]);
                for (std::size_t k = kept[j]; k < kept[j + 1] && steps > 1; ++k)
                    QVERIFY(std::fabs(distance(points[k], points[k + 1]) - first) < 0.02 * first);
                shortest = std::min(shortest, first);
                longest = std::max(longest, first);
            }
            if (count >= 100) // with points to spare, every section gets its share
                QVERIFY2(longest < 2.2 * shortest, qPrintable(QString::number(longest / shortest)));
        }
        // Too few points: the path's ends and then the stroke ends are kept first.
        const std::vector<Point3> few = resampleRoute(route, 4);
        QCOMPARE(few.size(), std::size_t(4));
        QVERIFY(same(few.front(), {0, 0, 0}) && same(few.back(), {10, 0, 0}));
        const std::vector<Point3> empty = resampleRoute(penRoute({0, {}}, 1), 3);
        QVERIFY(empty.size() == 3 && same(empty[1], {0, 0, 0}));
    }
};

QTEST_APPLESS_MAIN(PenRouteTest)
#include "test_pen_route.moc"
