#include "ToolRunner.h"
#include "alphabet/AlphabetWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

// A file of the given header followed by `points` and `extra` zero bytes.
QByteArray glyphFile(std::int32_t pointsPerGlyph, std::int32_t glyphCount,
                     const std::vector<Point3>& points, int extra = 0) {
    QByteArray bytes(reinterpret_cast<const char*>(&pointsPerGlyph), 4);
    bytes.append(reinterpret_cast<const char*>(&glyphCount), 4);
    bytes.append(reinterpret_cast<const char*>(points.data()), int(points.size() * 12));
    return bytes.append(QByteArray(extra, '\0'));
}

// A wavy, non-planar stroke that the camera places without trouble.
std::vector<Point3> soundGlyph(int count = 12) {
    std::vector<Point3> points;
    for (int k = 0; k < count; ++k) {
        float t = float(k) / float(count - 1);
        points.push_back({t * 1.3f + 0.2f * std::sin(7 * t), 1.4f * t * t, 0.2f * std::sin(3 * t)});
    }
    return points;
}

} // namespace

class ToolCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void exportThenImportGivesIdenticalBytes() {
        QTemporaryDir dir;
        const QString sample = dir.filePath("sample.alphabet");
        QCOMPARE(runTool({"sample", "-o", sample}).status, 0);
        const QString text = dir.filePath("sample.txt");
        QCOMPARE(runTool({"export", sample, "-o", text}).status, 0);
        const QString again = dir.filePath("again.alphabet");
        QCOMPARE(runTool({"import", text, "-o", again}).status, 0);
        QCOMPARE(fileBytes(again), fileBytes(sample));

        // Random bit patterns, NaN payloads included, through standard output and input.
        std::vector<Point3> points(5 * 400);
        std::mt19937 random(99);
        for (Point3& p : points)
            for (float* f : {&p.x, &p.y, &p.z}) {
                const std::uint32_t bits = static_cast<std::uint32_t>(random());
                std::memcpy(f, &bits, 4);
            }
        const QString noise = dir.filePath("noise.alphabet");
        QVERIFY(writeBytes(noise, glyphFile(5, 400, points)));
        ToolRun exported = runTool({"export", noise});
        QCOMPARE(exported.status, 0);
        QCOMPARE(runTool({"import", "-", "-o", again}, exported.out).status, 0);
        QCOMPARE(fileBytes(again), fileBytes(noise));
    }

    void badTextNamesTheLineAndWritesNothing() {
        QTemporaryDir dir;
        const QString text = dir.filePath("bad.txt");
        QVERIFY(writeBytes(text, "# letters\n0 0 0\n1 1 one\n"));
        ToolRun run = runTool({"import", text, "-o", dir.filePath("new.alphabet")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("bad.txt:3: z: 'one' is not a number"), run.err);
        QVERIFY(!QFile::exists(dir.filePath("new.alphabet")));

        // An existing output stays as it was, and no temporary file is left beside it.
        const QString existing = dir.filePath("kept.alphabet");
        const QByteArray before = glyphFile(12, 1, soundGlyph());
        QVERIFY(writeBytes(existing, before));
        QVERIFY(writeBytes(text, "0 0 0\n1 1 1\n\n2 2 2\n"));
        run = runTool({"import", text, "-o", existing});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("bad.txt:4:") && run.err.contains("--points"), run.err);
        QCOMPARE(fileBytes(existing), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);

        // The same text resampled to one length is accepted.
        QCOMPARE(runTool({"import", text, "-o", existing, "--points", "3"}).status, 0);
        QCOMPARE(fileBytes(existing).left(8), glyphFile(3, 2, {}));
        QCOMPARE(runTool({"import", dir.filePath("missing.txt")}).status, 2);
    }

    void infoFlagsEachProblemWithItsStatus() {
        QTemporaryDir dir;
        const float nan = NAN;
        const float inf = INFINITY;
        std::vector<Point3> two = soundGlyph();
        const std::vector<Point3> more = soundGlyph(12);
        two.insert(two.end(), more.begin(), more.end());
        const struct {
            const char* name;
            QByteArray bytes;
            int status;
            const char* says;
        } cases[] = {
            {"sound", glyphFile(12, 2, two), 0, "sound"},
            {"one point", glyphFile(1, 1, {{1, 2, 3}}), 1, "fewer than two points"},
            {"equal", glyphFile(3, 1, {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}), 1, "all points equal"},
            {"line", glyphFile(4, 1, {{0, 0, 0}, {1, 2, 0}, {2, 4, 0}, {3, 6, 0}}), 1,
             "on one line"},
            {"nan", glyphFile(3, 1, {{0, 0, 0}, {nan, 1, 0}, {1, 0, 1}}), 1, "NaN or infinite"},
            {"inf", glyphFile(3, 1, {{0, 0, inf}, {0, 1, 0}, {1, 0, 1}}), 1, "NaN or infinite"},
            {"no points", glyphFile(0, 2, {}), 1, "2 glyphs: no points"},
            {"short", glyphFile(12, 3, two), 1, "too short"},
            {"trailing", glyphFile(12, 2, two, 5), 1, "trailing 5 bytes"},
            {"negative", glyphFile(-1, 2, {}), 1, "negative counts"},
            {"no header", QByteArray(5, '\0'), 1, "header   missing"},
        };
        for (const auto& c : cases) {
            const QString path = dir.filePath(QString(c.name) + ".alphabet");
            QVERIFY(writeBytes(path, c.bytes));
            ToolRun run = runTool({"info", path});
            QVERIFY2(run.status == c.status, c.name);
            QVERIFY2(run.out.contains(c.says), run.out);
        }
        QCOMPARE(runTool({"info", dir.filePath("missing.alphabet")}).status, 2);
        QCOMPARE(runTool({"info", dir.path()}).status, 2);
    }

    void helpAndUsageErrors() {
        for (const char* command : {"sample", "info", "import", "export", "render"}) {
            ToolRun run = runTool({command, "--help"});
            QCOMPARE(run.status, 0);
            QVERIFY2(run.out.startsWith(QByteArray("usage: alphabet-tool ") + command), run.out);
            run = runTool({command, "--bogus"});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains("unexpected argument '--bogus'"), run.err);
        }
        QCOMPARE(runTool({"import", "x.txt", "--points", "0"}).status, 2);
        QCOMPARE(runTool({"frobnicate"}).status, 2);
        QCOMPARE(runTool({"export", "/nonexistent/file"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(ToolCommandsTest)
#include "test_tool_commands.moc"
