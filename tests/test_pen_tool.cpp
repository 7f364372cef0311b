#include "ToolRunner.h"
#include "alphabet/Point3.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

const QString hersheyDir = QStringLiteral("/usr/share/hershey-fonts");
const QString rowmans = hersheyDir + "/rowmans.jhf";

// A glyph file's counts and points.
struct Glyphs {
    std::int32_t points = 0;
    std::int32_t count = 0;
    std::vector<Point3> data;
    const Point3* glyph(int i) const { return data.data() + std::size_t(i) * std::size_t(points); }
};

Glyphs glyphsIn(const QString& path) {
    const QByteArray bytes = fileBytes(path);
    Glyphs glyphs;
    if (bytes.size() < 8)
        return glyphs;
    std::memcpy(&glyphs.points, bytes.constData(), 4);
    std::memcpy(&glyphs.count, bytes.constData() + 4, 4);
    glyphs.data.resize(std::size_t(bytes.size() - 8) / sizeof(Point3));
    std::memcpy(glyphs.data.data(), bytes.constData() + 8, glyphs.data.size() * sizeof(Point3));
    return glyphs;
}

QByteArray svg(const QByteArray& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\">" + body + "</svg>";
}

} // namespace

class PenToolTest : public QObject {
    Q_OBJECT

private slots:
    void everyDebianHersheyFontImportsIntoOneFile() {
        if (!QFile::exists(rowmans))
            QSKIP("Debian's hershey-fonts package is not installed");
        QTemporaryDir dir;
        const QString out = dir.filePath("all.alphabet");
        QStringList fonts;
        for (const QString& name : QDir(hersheyDir).entryList({"*.jhf"}, QDir::Files))
            fonts << hersheyDir + "/" + name;
        QCOMPARE(fonts.size(), 32);
        const ToolRun run = runTool(QStringList{"import"} + fonts + QStringList{"-o", out});
        QVERIFY2(run.status == 0, run.err);
        const Glyphs glyphs = glyphsIn(out);
        QCOMPARE(glyphs.count, 30 * 96 + 193 + 97); // japanese has 193 records, markers 97
        QCOMPARE(glyphs.data.size(), std::size_t(glyphs.count) * std::size_t(glyphs.points));
        QVERIFY2(run.err.contains("32 Hershey fonts, " + QByteArray::number(glyphs.count) +
                                  " glyphs of " + QByteArray::number(glyphs.points) + " points"),
                 run.err);
    }

    void charsPickGlyphsInTheirOrder() {
        QTemporaryDir dir;
        const QString one = dir.filePath("one"), three = dir.filePath("three");
        const QString all = dir.filePath("all");
        const QStringList fixed{"--points", "40", "--lift", "3"};
        QCOMPARE(runTool(QStringList{"import", rowmans, "-o", all} + fixed).status, 0);
        QCOMPARE(
            runTool(QStringList{"import", rowmans, "--chars", "C-A", "-o", three} + fixed).status,
            2); // a run must go forwards
        QCOMPARE(
            runTool(QStringList{"import", rowmans, "--chars", "CA-B", "-o", three} + fixed).status,
            0);
        const Glyphs whole = glyphsIn(all), picked = glyphsIn(three);
        QCOMPARE(picked.count, 3);
        // Glyph 0 is labelled A, so C comes first as asked; records start at the space.
        for (const auto& [index, character] : {std::pair{0, 'C'}, {1, 'A'}, {2, 'B'}})
            QVERIFY(!std::memcmp(picked.glyph(index), whole.glyph(character - ' '),
                                 40 * sizeof(Point3)));
        float highest = 0;
        for (const Point3& p : whole.data)
            highest = std::max(highest, p.z);
        QCOMPARE(highest, 3.0f); // --lift 3
        QCOMPARE(runTool({"import", rowmans, "--chars", "AE", "--lift", "0", "-o", one}).status, 0);
        for (const Point3& p : glyphsIn(one).data)
            QCOMPARE(p.z, 0.0f);
    }

    void missingCharactersAreNamedOnceAndSkippedOrRefused() {
        QTemporaryDir dir;
        const QString out = dir.filePath("out");
        const QString font = QStringLiteral(PEN_DATA_DIR "/pen-font.svg");
        ToolRun run = runTool({"import", font, "--chars", "AÉB€", "-o", out});
        QVERIFY2(run.status == 0, run.err);
        QVERIFY2(run.err.contains("pen-font.svg lacks 2 of the characters asked for: 'É' '€'; "
                                  "skipped") &&
                     run.err.contains("SVG font, 2 glyphs of") &&
                     run.err.contains("2 characters skipped: 'É' '€'") &&
                     run.err.contains("lift 175 (a quarter of 700, the cap-height of "
                                      "font-face)"),
                 run.err);
        QCOMPARE(glyphsIn(out).count, 2);
        QVERIFY(QFile::remove(out));
        run = runTool({"import", font, "--chars", "AÉ", "--strict", "-o", out});
        QVERIFY2(run.status == 1 && run.err.contains("nothing written (--strict)"), run.err);
        QVERIFY(!QFile::exists(out));
    }

    void drawingsBecomeOneGlyphEachInTheOrderGiven() {
        QTemporaryDir dir;
        const QString first = dir.filePath("first.svg"), second = dir.filePath("second.svg");
        const QString out = dir.filePath("out");
        QVERIFY(writeBytes(first, svg("<line x1='0' y1='0' x2='0' y2='10'/>")));
        QVERIFY(writeBytes(second, svg("<polyline points='0 0 5 0 5 5'/>")));
        ToolRun run = runTool({"import", second, first, "-o", out});
        QVERIFY2(run.status == 0 && run.err.contains("2 SVG drawings, 2 glyphs of 3 points"),
                 run.err);
        const Glyphs glyphs = glyphsIn(out);
        QCOMPARE(glyphs.points, 3); // the polyline's ends and corner
        QVERIFY(glyphs.glyph(0)[1].x == 5 && glyphs.glyph(0)[2].y == -5); // y turned up
        QVERIFY(glyphs.glyph(1)[2].y == -10);
        run = runTool({"import", first, "--chars", "A", "-o", out});
        QVERIFY2(run.status == 2 && run.err.contains("is an SVG drawing; --chars picks"), run.err);
        run = runTool({"import", rowmans, "--points", "3", "-o", out, "--force"});
        QVERIFY2(run.status == 0 &&
                     run.err.contains("--points 3 is too few to keep every corner and stroke "
                                      "end of "),
                 run.err);
    }

    void importSaysWhatItKeptAndWhatTheViewerCannotShow_data() {
        QTest::addColumn<QByteArray>("body"); // in a viewBox of 0 0 200 200
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("said"); // on standard error
        QTest::addColumn<QByteArray>("notSaid");
        const QByteArray circle = "<circle cx='100' cy='100' r='50'/>";
        const QByteArray large = "<path d='M 0 0 L 4000 0 L 4000 2000'/>";
        QTest::newRow("default keeps the shape")
            << circle << QStringList() << QByteArray("within 1/200 of its size and every corner")
            << QByteArray("too few");
        QTest::newRow("too few points for the shape")
            << circle << QStringList{"--points", "6"}
            << QByteArray("--points 6 is too few to keep 1 glyph within 1/200 of its size; "
                          "glyph 0 of ")
            << QByteArray("corner and stroke end of");
        QTest::newRow("a glyph of one point")
            << QByteArray("<path d='M 5 5 L 5 5 Z'/>") << QStringList()
            << QByteArray("1 glyph is a single point, written as 2 equal points: glyph 0 of ")
            << QByteArray("draws nothing");
        QTest::newRow("too large for the camera")
            << large << QStringList()
            << QByteArray("1 glyph reaches past the viewer's far plane (the camera stands 2.1 "
                          "times a glyph's largest point distance away and sees up to 5000): "
                          "glyph 0 of ")
            << QByteArray("scaled by");
        QTest::newRow("scaled to fit")
            << large << QStringList{"--scale", "0.1"}
            << QByteArray("lift 50 (a quarter of 200, the viewBox height), scaled by 0.1 (--scale)")
            << QByteArray("far plane");
        QTest::newRow("too small for the camera")
            << QByteArray("<path d='M 0 0 L 0.01 0 L 0.01 0.02'/>") << QStringList()
            << QByteArray("nearer than its near plane at 0.1): glyph 0 of ")
            << QByteArray("far plane");
    }

    void importSaysWhatItKeptAndWhatTheViewerCannotShow() {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, said);
        QFETCH(QByteArray, notSaid);
        QTemporaryDir dir;
        const QString input = dir.filePath("in.svg"), out = dir.filePath("out.alphabet");
        QVERIFY(writeBytes(input, "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 200 200'>" +
                                      body + "</svg>"));
        const ToolRun run = runTool(QStringList{"import", input, "-o", out} + options);
        QCOMPARE(run.status, 0);
        QVERIFY2(run.err.contains(said), run.err);
        QVERIFY2(!run.err.contains(notSaid), run.err);
        // What import warns of, info calls unsound; what --scale fits, it calls sound.
        const ToolRun info = runTool({"info", out});
        QCOMPARE(info.status, run.err.contains("viewer's") || run.err.contains("single") ? 1 : 0);
    }

    void theFewestPointsForAShapeAreWhatTheDefaultChooses() {
        QTemporaryDir dir;
        const QString input = dir.filePath("u.svg"), out = dir.filePath("out.alphabet");
        QVERIFY(
            writeBytes(input, svg("<path d='M 0 0 V 100 Q 0 150 50 150 Q 100 150 100 100 V 0'/>")));
        ToolRun run = runTool({"import", input, "-o", out});
        const int chosen = glyphsIn(out).points;
        QVERIFY2(run.status == 0 && chosen > 4, run.err);
        run = runTool({"import", input, "-o", out, "--force", "--points", "4"});
        QVERIFY2(run.err.contains("needs the most, " + QByteArray::number(chosen) + " (" +
                                  QByteArray::number(chosen - 4) + " more)"),
                 run.err);
    }

    void hostileInputIsRefusedOrBoundedAndNothingIsWritten() {
        QTemporaryDir dir;
        const struct {
            const char* name;
            QByteArray bytes;
            int status;
            const char* message;
        } cases[] = {
            {"bomb.svg",
             "<!DOCTYPE svg [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>" +
                 svg("<path d='M0 0 L1 1'/>"),
             1, "bomb.svg:1: the document type's entity 'b' refers to other entities"},
            {"external.svg",
             "<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>\n" +
                 svg("<text>&x;</text><path d='M0 0 L1 1'/>"),
             1, "external.svg:1: the document type declares the external entity 'x'"},
            {"href.svg",
             "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'>"
             "\n<use xlink:href='/etc/passwd#a'/><image xlink:href='file:///etc/passwd'/>\n"
             "<path d='M0 0 L1 1'/></svg>",
             0, "href.svg: line 2: <use> is not followed"},
            {"deep.svg",
             svg(QByteArray("<g transform='translate(1)'>").repeated(10000) +
                 "<path d='M0 0 L0 1'/>" + QByteArray("</g>").repeated(10000)),
             0, "SVG drawing, 1 glyph of 2 points"},
            {"deeper.svg", svg(QByteArray("<g>").repeated(100000) + "<path d='M0 0 L0 1'/>"), 1,
             "deeper.svg:1: <g>: elements nested more than 100000 deep"},
            {"huge.svg", svg("<path d='" + QByteArray(33 << 20, ' ') + "'/>"), 1,
             "huge.svg: is 33 MiB; fonts and drawings are read up to 32 MiB"},
            {"nan.svg", svg("\n<polyline points='0 0 nan 1'/>"), 1,
             "nan.svg:2: <polyline>: points at character 5: expected a number, found 'n'"},
            {"inf.svg", svg("<path d='M0 0 L1e999 1'/>"), 1, "beyond the range of a double"},
            {"1e308.svg", svg("<path d='M0 0 L1e308 1'/>"), 1,
             "<path>: a point lies beyond the range of a 32-bit float"},
            {"one-point.svg", svg("<path d='M 5 5'/>"), 1,
             "one-point.svg: its shapes draw nothing: each is a single point"},
            {"empty-font.svg", svg("<defs><font><font-face/></font></defs>"), 1,
             "empty-font.svg: the font has no <glyph>"},
            {"lying.jhf", "    1  2JZRF\n    2 30JZRFRG\n", 1,
             "lying.jhf:2: the record announces 30 coordinate pairs (60 characters after column "
             "8) but holds 6 characters"},
            {"broken.svg", "<svg xmlns='http://www.w3.org/2000/svg'>\n<path d='M0 0'>\n</svg>", 1,
             "broken.svg:3: not well-formed XML"},
            {"root.svg", "<html/>", 1, "root.svg:1: the root element is <html>, not <svg>"},
            {"transform.svg", svg("<g transform='rotate(1 2)'><path d='M0 0 L1 1'/></g>"), 1,
             "<g>: transform: rotate takes 1 or 3 arguments, not 2"},
            {"viewbox.svg", "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 0 10'/>", 1,
             "<svg>: viewBox should be four numbers with a width and height above 0"},
        };
        for (const auto& c : cases) {
            const QString path = dir.filePath(c.name), out = dir.filePath("out");
            QVERIFY(writeBytes(path, c.bytes));
            const ToolRun run = runTool({"import", path, "-o", out});
            QVERIFY2(run.status == c.status && run.err.contains(c.message), c.name + run.err);
            QCOMPARE(QFile::exists(out), c.status == 0);
            QFile::remove(out);
        }
    }

    // Blanks round --lift's number are let go on both sides alike; a record of no
    // pairs reads as an empty glyph of a Hershey font, not as text.
    void liftBlanksAndEmptyHersheyRecords() {
        QTemporaryDir dir;
        const QString font = dir.filePath("empty-first.jhf");
        QVERIFY(writeBytes(font, "    1  0\n    2  9MWRMNV RRMVV RPSTS\n"));
        QByteArray written;
        for (const char* lift : {"2", " 2", "2 ", "\t2 "}) {
            const QString out = dir.filePath("lift.alphabet");
            const ToolRun run =
                runTool({"import", font, "--lift", lift, "--points", "16", "-o", out, "--force"});
            QVERIFY2(run.status == 0 && run.err.contains("Hershey font, 2 glyphs of 16 points"),
                     run.err);
            if (written.isEmpty())
                written = fileBytes(out);
            QCOMPARE(fileBytes(out), written);
        }
    }

    void usageErrorsSayWhatIsWrong() {
        QTemporaryDir dir;
        const QString text = dir.filePath("points.txt");
        QVERIFY(writeBytes(text, "0 0 0\n1 1 1\n"));
        const struct {
            QStringList arguments;
            const char* message;
        } cases[] = {
            {{"--from", "pdf", rowmans}, "--from takes jhf, svg or text, not 'pdf'"},
            {{"--lift", "-1", rowmans}, "--lift takes a height of 0 or more, not '-1'"},
            {{"--lift", "1e-50", rowmans}, "not '1e-50': it is out of the range of a 32-bit float"},
            {{"--lift", "1e31", rowmans}, "--lift takes a height of 0 or more, not '1e31'"},
            {{"--lift", "2x", rowmans}, "--lift takes a height of 0 or more, not '2x'"},
            {{"--chars", "", rowmans}, "--chars '' is empty"},
            {{text, rowmans}, "points.txt is text; a text import takes one file"},
            {{text, "--chars", "A"}, "points.txt is text; --chars, --lift and --strict are for"},
            {{"--from", "svg", rowmans}, "rowmans.jhf:1: not well-formed XML"},
            {{"--from", "jhf", text}, "points.txt:1: not a Hershey record"},
        };
        for (const auto& c : cases) {
            const ToolRun run =
                runTool(QStringList{"import"} + c.arguments + QStringList{"-o", dir.filePath("o")});
            QVERIFY2(run.status >= 1 && run.err.contains(c.message), run.err);
            QVERIFY(!QFile::exists(dir.filePath("o")));
        }
    }
};

QTEST_GUILESS_MAIN(PenToolTest)
#include "test_pen_tool.moc"
