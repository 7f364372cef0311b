// write run as a program: each output read back and compared with the route
// its CSV gives, the travel height kept between glyphs, and the refusals.

#include "ToolRunner.h"
#include "WriteTestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <map>

namespace {

const QString futural = QStringLiteral("/usr/share/hershey-fonts/futural.jhf");

// A G-code position after each move, and the move's kind and feed.
struct Move {
    bool rapid;
    bool feed;
    double x, y, z;
};

// The moves after the header's rapid to the travel height, as a controller
// keeps the axes a line leaves out.
bool readGcode(const QByteArray& gcode, double& travel, std::vector<Move>& moves,
               QString& problem) {
    double at[3] = {NAN, NAN, NAN};
    const QList<QByteArray> lines = gcode.split('\n');
    int index = 0;
    for (const QByteArray& line : lines) {
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        const QList<QByteArray> words = line.split(' ');
        if (index < 3) {
            const char* expected[] = {"G21", "G90", "G17"};
            if (line != expected[index]) {
                problem = "header line " + QString::number(index) + ": " + line;
                return false;
            }
            ++index;
            continue;
        }
        if (words[0] == "M2")
            return true;
        if (words[0] != "G0" && words[0] != "G1") {
            problem = "unexpected line: " + line;
            return false;
        }
        Move move{words[0] == "G0", false, 0, 0, 0};
        for (int k = 1; k < words.size(); ++k) {
            const char axis = words[k][0];
            const double value = words[k].mid(1).toDouble();
            if (axis == 'F')
                move.feed = true;
            else
                at[axis == 'X' ? 0 : axis == 'Y' ? 1 : 2] = value;
        }
        move.x = at[0], move.y = at[1], move.z = at[2];
        if (index++ == 3) {
            travel = move.z; // G0 Z T
            continue;
        }
        moves.push_back(move);
    }
    problem = "no M2";
    return false;
}

// The runs of an SVG page's paths, each "M x y L x y ..." as points.
std::vector<std::vector<QPointF>> svgRuns(const QByteArray& svg) {
    std::vector<std::vector<QPointF>> runs;
    const QRegularExpression path("<path [^>]*d=\"([^\"]*)\"");
    for (auto match = path.globalMatch(svg); match.hasNext();) {
        const QStringList words = match.next().captured(1).split(' ', Qt::SkipEmptyParts);
        runs.emplace_back();
        for (int k = 0; k + 1 < words.size(); ++k) {
            if (words[k] == "M" || words[k] == "L")
                continue;
            runs.back().push_back({words[k].toDouble(), words[k + 1].toDouble()});
            ++k;
        }
    }
    return runs;
}

QByteArray attribute(const QByteArray& svg, const char* name) {
    const QRegularExpression pattern(QString("<svg [^>]*%1=\"([^\"]*)\"").arg(name));
    return pattern.match(svg).captured(1).toUtf8();
}

bool near(double a, double b, double within = 0.0011) {
    return std::abs(a - b) <= within;
}

} // namespace

class WriteToolTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::vector<Point3> route; // "Hi." with futural, as CSV
    QStringList common{"Hi.", "--with", futural};

    QString out(const QString& name) const { return dir.filePath(name); }

private slots:
    void initTestCase() {
        const ToolRun run =
            runTool(QStringList{"write"} + common + QStringList{"-o", out("route.csv")});
        QVERIFY2(run.status == 0, run.err);
        route = csvRoute(fileBytes(out("route.csv")));
        QVERIFY(route.size() > 20);
        QVERIFY2(run.err.contains("3 characters on 1 line, pen data; travel height 2.5 mm"),
                 run.err);
    }

    void gcodeMovesAreTheRouteAndTravelStaysAtT() {
        const ToolRun run = runTool(QStringList{"write"} + common +
                                    QStringList{"--feed", "750", "-o", out("r.nc")});
        QVERIFY2(run.status == 0, run.err);
        const QByteArray gcode = fileBytes(out("r.nc"));
        QVERIFY(gcode.startsWith("; alphabet-tool write \"Hi.\" with " + futural.toUtf8()));
        double travel = 0;
        std::vector<Move> moves;
        QString problem;
        QVERIFY2(readGcode(gcode, travel, moves, problem), qPrintable(problem));
        QCOMPARE(travel, 2.5);
        // Over the first point at T, one move per route point, back up to T at the end.
        QCOMPARE(moves.size(), route.size() + 2);
        QVERIFY(moves.front().rapid && near(moves.front().z, travel));
        QVERIFY(near(moves.back().z, travel) && moves.back().rapid);
        bool lastRapid = true;
        for (std::size_t k = 1; k + 1 < moves.size(); ++k) {
            const Move& move = moves[k];
            const Move& before = moves[k - 1];
            const Point3& p = route[k - 1];
            QVERIFY2(near(move.x, p.x) && near(move.y, p.y) && near(move.z, p.z),
                     qPrintable(QString("move %1").arg(k)));
            const bool upright = near(move.x, before.x, 0) && near(move.y, before.y, 0);
            const bool rapid = move.z >= travel && (before.z >= travel || upright);
            QCOMPARE(move.rapid, rapid);
            QCOMPARE(move.feed, !move.rapid && lastRapid);
            lastRapid = move.rapid;
            // Across the paper only on it, and never across below T off it.
            if (!upright)
                QVERIFY2((move.z == 0 && before.z == 0) || (move.z >= travel && before.z >= travel),
                         qPrintable(QString("move %1 crosses at z %2").arg(k).arg(move.z)));
        }
        QVERIFY(gcode.contains(" F750\n"));
    }

    void svgPathsAreThePenDownRuns() {
        const ToolRun run =
            runTool(QStringList{"write"} + common +
                    QStringList{"--margin", "2", "--pen-width", "0.5", "-o", out("r.svg")});
        QVERIFY2(run.status == 0, run.err);
        const QByteArray svg = fileBytes(out("r.svg"));
        const auto runs = penDownRuns(route);
        double minX = INFINITY, maxX = -INFINITY, minY = INFINITY, maxY = -INFINITY;
        for (const auto& drawn : runs)
            for (const Point3& p : drawn) {
                minX = std::min(minX, double(p.x)), maxX = std::max(maxX, double(p.x));
                minY = std::min(minY, double(p.y)), maxY = std::max(maxY, double(p.y));
            }
        QVERIFY(near(attribute(svg, "width").chopped(2).toDouble(), maxX - minX + 4));
        QVERIFY(near(attribute(svg, "height").chopped(2).toDouble(), maxY - minY + 4));
        QVERIFY(attribute(svg, "viewBox").startsWith("0 0 "));
        QCOMPARE(svg.count("fill=\"none\" stroke=\"black\" stroke-width=\"0.5\""),
                 int(runs.size()));
        const auto paths = svgRuns(svg);
        QCOMPARE(paths.size(), runs.size());
        for (std::size_t r = 0; r < runs.size(); ++r) {
            QCOMPARE(paths[r].size(), runs[r].size());
            for (std::size_t k = 0; k < runs[r].size(); ++k)
                QVERIFY2(near(paths[r][k].x(), runs[r][k].x - minX + 2) &&
                             near(paths[r][k].y(), maxY - runs[r][k].y + 2),
                         qPrintable(QString("run %1 point %2: %3 %4")
                                        .arg(r)
                                        .arg(k)
                                        .arg(paths[r][k].x())
                                        .arg(paths[r][k].y())));
        }
    }

    void hpglAsHp2xxReadsItIsThePenDownRuns() {
        const ToolRun run =
            runTool(QStringList{"write"} + common + QStringList{"-o", out("r.plt")});
        QVERIFY2(run.status == 0, run.err);
        const QByteArray hpgl = fileBytes(out("r.plt"));
        QVERIFY(hpgl.startsWith("IN;SP1;") && hpgl.endsWith("PU;SP0;\n"));
        const auto runs = penDownRuns(route);
        QCOMPARE(hpgl.count("PU"), int(runs.size()) + 1);
        // hp2xx, a real HPGL reader, at true size in millimetres from the lowest corner.
        const ToolRun read =
            runProgram("hp2xx", {"-q", "-t", "-m", "gpt", "-f", out("r.gpt"), out("r.plt")});
        QVERIFY2(read.status == 0, read.err);
        std::vector<std::vector<QPointF>> segments;
        for (const QByteArray& line : fileBytes(out("r.gpt")).split('\n')) {
            if (line.startsWith("#PU"))
                segments.emplace_back();
            const QList<QByteArray> xy = line.simplified().split(' ');
            if (!line.startsWith('#') && xy.size() == 2 && !segments.empty())
                segments.back().push_back({xy[0].toDouble(), xy[1].toDouble()});
        }
        QCOMPARE(segments.size(), runs.size());
        double minX = INFINITY, minY = INFINITY;
        for (const auto& drawn : runs)
            for (const Point3& p : drawn)
                minX = std::min(minX, double(p.x)), minY = std::min(minY, double(p.y));
        for (std::size_t r = 0; r < runs.size(); ++r) {
            QCOMPARE(segments[r].size(), runs[r].size());
            for (std::size_t k = 0; k < runs[r].size(); ++k)
                QVERIFY2(
                    near(segments[r][k].x(), std::round((runs[r][k].x - minX) * 40) / 40, 0.0015) &&
                        near(segments[r][k].y(), std::round((runs[r][k].y - minY) * 40) / 40,
                             0.0015),
                    qPrintable(QString("run %1 point %2").arg(r).arg(k)));
        }
    }

    void glyphFileHoldsTheWholeRoute() {
        const ToolRun run = runTool(QStringList{"write"} + common +
                                    QStringList{"--format", "alphabet", "-o", out("r")});
        QVERIFY2(run.status == 0, run.err);
        const QByteArray bytes = fileBytes(out("r"));
        std::int32_t counts[2];
        std::memcpy(counts, bytes.constData(), 8);
        QCOMPARE(counts[0], std::int32_t(route.size()));
        QCOMPARE(counts[1], 1);
        const Point3* points = reinterpret_cast<const Point3*>(bytes.constData() + 8);
        for (std::size_t k = 0; k < route.size(); ++k)
            QVERIFY(!std::memcmp(&points[k], &route[k], sizeof(Point3)));
    }

    void penDataGlyphFilesKeepTheirLiftsAndToleranceKeepsCorners() {
        // Our font imported as import writes it, glyph 7 labelled H: lifts at a
        // quarter of the cap height.
        const QString imported = out("imported.alphabet");
        QCOMPARE(runTool({"import", writeFontJhf(), "--chars", "A-I", "-o", imported}).status, 0);
        ToolRun run = runTool({"write", "HI", "--with", imported, "-o", out("i.csv")});
        QVERIFY2(run.status == 0 && run.err.contains("pen data; travel height 2.5 mm"), run.err);
        run = runTool({"write", "HI", "--with", imported, "--lift", "5", "-o", out("l.csv")});
        QVERIFY2(run.status == 0 && run.err.contains("travel height 5 mm"), run.err);
        const std::vector<Point3> lifted = csvRoute(fileBytes(out("l.csv")));
        for (const Point3& p : lifted)
            QVERIFY(p.z == 0 || (p.z > 0 && p.z <= 5));
        QCOMPARE(std::max_element(lifted.begin(), lifted.end(),
                                  [](const Point3& a, const Point3& b) { return a.z < b.z; })
                     ->z,
                 5.0f);
        // Resampled strokes hold points along straight lines; a tolerance drops
        // them and keeps every stroke end and lift corner.
        run =
            runTool({"write", "HI", "--with", imported, "--tolerance", "0.01", "-o", out("t.csv")});
        QVERIFY2(run.status == 0, run.err);
        const std::vector<Point3> full = csvRoute(fileBytes(out("i.csv")));
        const std::vector<Point3> thin = csvRoute(fileBytes(out("t.csv")));
        QVERIFY(thin.size() < full.size());
        QCOMPARE(penDownRuns(thin).size(), penDownRuns(full).size());
        for (std::size_t r = 0; r < penDownRuns(full).size(); ++r) {
            const auto a = penDownRuns(full)[r], b = penDownRuns(thin)[r];
            QVERIFY(!std::memcmp(&a.front(), &b.front(), sizeof(Point3)) &&
                    !std::memcmp(&a.back(), &b.back(), sizeof(Point3)));
        }
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");

        const QString flat = out("flat.alphabet");
        const QString solid = out("solid.alphabet");
        const QString jhf = writeFontJhf();
        const QString drawing = out("drawing.svg");
        const QString utf16 = out("utf16.txt");
        const QString points = out("points.txt");
        const QString text = out("text.txt");
        const QStringList with{"--with", jhf};
        QTest::newRow("no source") << QStringList{"HI"} << QByteArray() << 2 << "no SOURCE";
        QTest::newRow("no text") << with << QByteArray() << 2 << "no TEXT given";
        QTest::newRow("text and text file")
            << with + QStringList{"HI", "--text-file", "-"} << QByteArray() << 2 << "not both";
        QTest::newRow("size 0") << with + QStringList{"HI", "--size", "0"} << QByteArray() << 2
                                << "--size takes a number above 0, not '0'";
        QTest::newRow("size inf") << with + QStringList{"HI", "--size", "inf"} << QByteArray() << 2
                                  << "not 'inf'";
        QTest::newRow("negative tolerance")
            << with + QStringList{"HI", "--tolerance", "-1"} << QByteArray() << 2
            << "--tolerance takes a number of 0 or more";
        QTest::newRow("feed nan") << with + QStringList{"HI", "--feed", "nan"} << QByteArray() << 2
                                  << "not 'nan'";
        QTest::newRow("align") << with + QStringList{"HI", "--align", "middle"} << QByteArray() << 2
                               << "--align takes left, center or right";
        QTest::newRow("unknown option") << with + QStringList{"HI", "--bold"} << QByteArray() << 2
                                        << "unexpected argument '--bold'";
        QTest::newRow("unknown format")
            << with + QStringList{"HI", "--format", "pdf"} << QByteArray() << 2 << "--format takes";
        QTest::newRow("unknown extension")
            << with + QStringList{"HI", "-o", out("x.doc")} << QByteArray() << 2 << "give --format";
        QTest::newRow("empty text")
            << with + QStringList{""} << QByteArray() << 2 << "the text is empty";
        QTest::newRow("invalid UTF-8") << with + QStringList{"--text-file", "-"}
                                       << QByteArray("H\xFFI") << 2 << "invalid UTF-8 at byte 1";
        QTest::newRow("control character")
            << with + QStringList{"H\x01I"} << QByteArray() << 2 << "control character U+0001";
        QTest::newRow("UTF-16 text file")
            << with + QStringList{"--text-file", utf16} << QByteArray() << 2 << "iconv -f UTF-16LE";
        QTest::newRow("unreadable source")
            << QStringList{"HI", "--with", out("none.jhf")} << QByteArray() << 2 << "can't open";
        QTest::newRow("SVG drawing source")
            << QStringList{"HI", "--with", drawing} << QByteArray() << 2 << "is an SVG drawing";
        QTest::newRow("text of points as source")
            << QStringList{"HI", "--with", points} << QByteArray() << 2 << "alphabet-tool import";
        QTest::newRow("strict") << with + QStringList{"HQI", "--strict", "-o", out("s.nc")}
                                << QByteArray() << 1
                                << "lacks 1 of the characters asked for: "
                                   "'Q'; nothing written (--strict)";
        QTest::newRow("nothing the source holds")
            << with + QStringList{"QQ"} << QByteArray() << 1 << "nothing to write";
        QTest::newRow("SVG of 3-D letters") << QStringList{"A", "--with", solid, "-o", out("a.svg")}
                                            << QByteArray() << 2 << "give --flatten";
        QTest::newRow("HPGL of 3-D letters")
            << QStringList{"A", "--with", solid, "--format", "hpgl"} << QByteArray() << 2
            << "give --flatten";
        QTest::newRow("lift into 3-D letters")
            << QStringList{"AH", "--with", solid, "--lift", "2"} << QByteArray() << 2
            << "--lift 2 is not above the letters: 'A' reaches z = 3";
        QTest::newRow("output onto the source")
            << QStringList{"A", "--with", flat, "-o", flat} << QByteArray() << 2 << flat;
        QTest::newRow("output onto the text file")
            << with + QStringList{"--text-file", text, "-o", text, "--format", "csv"}
            << QByteArray() << 2 << text;
    }

    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, status);
        QFETCH(QString, message);
        QVERIFY(writeFlatGlyphFile(out("flat.alphabet").toStdString()));
        QVERIFY(writeFlatGlyphFile(out("solid.alphabet").toStdString(), 3));
        QVERIFY(
            writeBytes(out("drawing.svg"),
                       "<svg xmlns=\"http://www.w3.org/2000/svg\"><path d=\"M0 0L1 1\"/></svg>"));
        QVERIFY(writeBytes(out("utf16.txt"), QByteArray("\xFF\xFEH\0I\0", 6)));
        QVERIFY(writeBytes(out("points.txt"), "1 2 3\n4 5 6\n"));
        QVERIFY(writeBytes(out("text.txt"), "HI\n"));
        const QByteArray flatBefore = fileBytes(out("flat.alphabet"));
        const ToolRun run = runTool(QStringList{"write"} + arguments, input);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err);
        QVERIFY(!QFile::exists(out("s.nc")) && !QFile::exists(out("a.svg")));
        QCOMPARE(fileBytes(out("flat.alphabet")), flatBefore);
        QCOMPARE(fileBytes(out("text.txt")), QByteArray("HI\n"));
    }

    void flattenDrawsEachLetterWhole() {
        QVERIFY(writeFlatGlyphFile(out("solid.alphabet").toStdString(), 3));
        const ToolRun run = runTool(
            {"write", "AA", "--with", out("solid.alphabet"), "--flatten", "-o", out("f.svg")});
        QVERIFY2(run.status == 0 && run.err.contains("3-D letters; travel height 5.5 mm"), run.err);
        const auto paths = svgRuns(fileBytes(out("f.svg")));
        QCOMPARE(paths.size(), std::size_t(2));
        QCOMPARE(paths[0].size(), std::size_t(3));
        // A from x 1 to 5 at size 10 (s = 1), margin 5; the second A 4 + 2 on.
        QVERIFY(near(paths[0][1].x(), 7) && near(paths[1][1].x(), 13));
    }
};

QTEST_GUILESS_MAIN(WriteToolTest)
#include "test_write_tool.moc"
