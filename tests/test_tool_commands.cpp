#include "ToolRunner.h"
#include "alphabet/AlphabetWriter.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
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

mode_t modeOf(const QString& path) {
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode : 0;
}

// A command that writes, with its arguments up to "-o", and what it writes.
struct Writer {
    QStringList arguments;
    QByteArray bytes;
};

// sample, import and export, each set to write a file of its own in `dir`.
std::vector<Writer> writers(const QTemporaryDir& dir) {
    const QString glyphs = dir.filePath("in.alphabet");
    const QString text = dir.filePath("in.txt");
    writeBytes(glyphs, glyphFile(12, 1, soundGlyph()));
    writeBytes(text, "0 0 0\n1 1 1\n\n2 2 2\n3 3 3\n");
    std::vector<Writer> all = {
        {{"sample", "--points", "7"}, {}}, {{"import", text}, {}}, {{"export", glyphs}, {}}};
    for (Writer& writer : all) {
        const QString plain = dir.filePath("plain");
        runTool(writer.arguments + QStringList{"-o", plain});
        writer.bytes = fileBytes(plain);
        QFile::remove(plain);
    }
    return all;
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

    void outputsKeepWhatIsAlreadyThere() {
        QTemporaryDir dir;
        for (const Writer& writer : writers(dir)) {
            const QString name = writer.arguments.first();
            QVERIFY2(writer.bytes.size() > 8, qPrintable(name));

            // A symlink: its target is replaced, the link stays.
            const QString target = dir.filePath("target");
            const QString link = dir.filePath("link");
            QVERIFY(writeBytes(target, "old") && QFile::link(target, link));
            QCOMPARE(runTool(writer.arguments + QStringList{"-o", link}).status, 0);
            QVERIFY2(S_ISLNK(modeOf(link)), qPrintable(name));
            QCOMPARE(fileBytes(target), writer.bytes);

            // A replaced file keeps its permission bits; a new one gets 0666 less the umask.
            for (mode_t mode : {0600, 0640}) {
                QVERIFY(chmod(QFile::encodeName(target).constData(), mode) == 0);
                QCOMPARE(runTool(writer.arguments + QStringList{"-o", target}).status, 0);
                QCOMPARE(modeOf(target) & 07777, mode);
            }
            const mode_t mask = umask(0);
            umask(mask);
            const QString fresh = dir.filePath("fresh");
            QCOMPARE(runTool(writer.arguments + QStringList{"-o", fresh}).status, 0);
            QCOMPARE(modeOf(fresh) & 07777, 0666 & ~mask);

            // A FIFO is written straight through and stays a FIFO.
            const QString fifo = dir.filePath("fifo");
            QVERIFY(mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
            QProcess reader;
            reader.start("cat", {fifo});
            QVERIFY(reader.waitForStarted());
            QCOMPARE(runTool(writer.arguments + QStringList{"-o", fifo}).status, 0);
            QVERIFY(reader.waitForFinished(10000));
            QCOMPARE(reader.readAllStandardOutput(), writer.bytes);
            QVERIFY(S_ISFIFO(modeOf(fifo)));

            // "-" and /dev/stdout are standard output.
            for (const char* out : {"-", "/dev/stdout"}) {
                const ToolRun run = runTool(writer.arguments + QStringList{"-o", out});
                QCOMPARE(run.status, 0);
                QCOMPARE(run.out, writer.bytes);
            }
            QVERIFY(QFile::remove(target) && QFile::remove(link) && QFile::remove(fresh) &&
                    QFile::remove(fifo));
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
        }
    }

    void deviceNodesStayDevices() {
        QTemporaryDir dir;
        const QString node = dir.filePath("null");
        if (mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("can't make a device node here (not root?)");
        for (const Writer& writer : writers(dir)) {
            QCOMPARE(runTool(writer.arguments + QStringList{"-o", node}).status, 0);
            struct stat status;
            QVERIFY(stat(QFile::encodeName(node).constData(), &status) == 0);
            QVERIFY2(S_ISCHR(status.st_mode) && status.st_rdev == makedev(1, 3),
                     qPrintable(writer.arguments.first()));
        }
    }

    void outputOntoTheInputIsRefused() {
        QTemporaryDir dir;
        const QString glyphs = dir.filePath("c.alphabet");
        const QString text = dir.filePath("a.txt");
        const QByteArray glyphBytes = glyphFile(12, 1, soundGlyph());
        QVERIFY(writeBytes(glyphs, glyphBytes) && writeBytes(text, "0 0 0\n1 1 1\n"));
        QVERIFY(QFile::link(glyphs, dir.filePath("c-link")));
        QVERIFY(link(QFile::encodeName(text).constData(),
                     QFile::encodeName(dir.filePath("a-hard")).constData()) == 0);
        const QStringList cases[] = {
            {"export", glyphs, "-o", glyphs},
            {"export", glyphs, "-o", dir.filePath("c-link")},
            {"export", dir.filePath("c-link"), "-o", glyphs},
            {"import", text, "--points", "32", "-o", text},
            {"import", text, "-o", dir.filePath("a-hard")},
        };
        for (const QStringList& arguments : cases) {
            const ToolRun run = runTool(arguments);
            QVERIFY2(run.status == 2, qPrintable(arguments.join(' ')));
            QVERIFY2(run.err.contains("input") && run.err.contains("choose another output"),
                     run.err);
        }
        // Standard input and output count as the files they are.
        QProcess fromText;
        fromText.setStandardInputFile(text);
        fromText.start(QStringLiteral(ALPHABET_TOOL), {"import", "-", "-o", text});
        QProcess ontoGlyphs;
        ontoGlyphs.setStandardOutputFile(glyphs, QIODevice::Append);
        ontoGlyphs.start(QStringLiteral(ALPHABET_TOOL), {"export", glyphs});
        for (QProcess* process : {&fromText, &ontoGlyphs}) {
            QVERIFY(process->waitForFinished(30000));
            QCOMPARE(process->exitCode(), 2);
        }
        QCOMPARE(fileBytes(glyphs), glyphBytes);
        QCOMPARE(fileBytes(text), QByteArray("0 0 0\n1 1 1\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 4); // no temporary file left
    }

    void defaultNameNeverReplacesAFile() {
        QTemporaryDir dir;
        const QString universal = dir.filePath("universal.alphabet");
        QVERIFY(writeBytes(dir.filePath("a.txt"), "x,y,z\n0,0,0\n1,1,1\n"));
        QCOMPARE(runTool({"sample", "--points", "5"}, {}, {}, dir.path()).status, 0);
        const QByteArray mine = fileBytes(universal);
        QCOMPARE(mine.left(4), glyphFile(5, 0, {}).left(4));
        for (const QStringList& arguments :
             {QStringList{"sample"}, QStringList{"import", "a.txt"}}) {
            const ToolRun run = runTool(arguments, {}, {}, dir.path());
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains("universal.alphabet: already exists") &&
                         run.err.contains("-o FILE") && run.err.contains("--force"),
                     run.err);
            QCOMPARE(fileBytes(universal), mine);
        }
        QCOMPARE(runTool({"import", "a.txt", "--force"}, {}, {}, dir.path()).status, 0);
        QCOMPARE(fileBytes(universal).left(8), glyphFile(2, 1, {}));
        QCOMPARE(runTool({"sample", "--force"}, {}, {}, dir.path()).status, 0);
        QCOMPARE(fileBytes(universal).left(4), glyphFile(48, 0, {}).left(4));
    }

    void textFromOtherProgramsImportsWithASummary() {
        QTemporaryDir dir;
        const QString csv = dir.filePath("trace.csv");
        const QString out = dir.filePath("out.alphabet");
        QVERIFY(writeBytes(
            csv, "\xef\xbb\xbfx,y,z\r\n0,0,0\r\n1,1,1\r\n\r\n0;0;0\r\n1;0;0\r\n2;0;0\r\n"));
        ToolRun run = runTool({"import", csv, "-o", out, "--points", "8"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QByteArray("alphabet-tool import: wrote " + out.toUtf8() +
                                     ": 2 glyphs of 8 points (resampled from 2..3); header line "
                                     "\"x,y,z\" skipped\n"));
        QCOMPARE(fileBytes(out).left(8), glyphFile(8, 2, {}));
        run = runTool({"import", "-", "-o", out}, "0 0 0\n");
        QVERIFY2(run.err.endsWith(": 1 glyph of 1 point (not resampled)\n"), run.err);

        const QString wide = dir.filePath("wide.txt");
        QVERIFY(writeBytes(wide, QByteArray("\xff\xfe"
                                            "0\0 \0"
                                            "0\0 \0"
                                            "0\0\n\0",
                                            14)));
        run = runTool({"import", wide, "-o", out});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("wide.txt: is UTF-16") && run.err.contains("iconv"), run.err);
        QVERIFY(writeBytes(csv, "0,0,0\n1,,1\n"));
        run = runTool({"import", csv, "-o", out});
        QVERIFY2(run.status == 1 && run.err.contains("trace.csv:2: field 2 is empty"), run.err);
    }

    void textGivenForAGlyphFileSuggestsImport() {
        QTemporaryDir dir;
        const struct {
            const char* name;
            QByteArray bytes;
        } texts[] = {
            {"points.txt", "# letters\n0 0 0\n1 1 1\n"},
            {"my points.txt", "0 0 0\n"}, // the suggestion quotes the name for the shell
            {"short.csv", "1,2\n"},
            {"wide.txt", QByteArray("0\0 \0"
                                    "0\0 \0"
                                    "0\0\n\0",
                                    12)},
        };
        for (const auto& text : texts) {
            const QString path = dir.filePath(text.name);
            const QByteArray word = path.contains(' ') ? "'" + path.toUtf8() + "'" : path.toUtf8();
            QVERIFY(writeBytes(path, text.bytes));
            for (const char* command : {"info", "export"}) {
                const ToolRun run = runTool({command, path});
                QVERIFY2(run.status == 2, text.name);
                QVERIFY2(run.err.contains(text.name + QByteArray(" looks like text, not a glyph "
                                                                 "file")) &&
                             run.err.contains("alphabet-tool import " + word + " -o"),
                         run.err);
                QVERIFY(run.out.isEmpty());
            }
        }
    }

    // Both programs print the version the build was configured with, with no
    // display needed, and the tool's usage says how to ask for it.
    // A glyph file given to import is said to be one, after the refusal to write
    // onto it where that is asked; counts of one are singular.
    void glyphFilesAreNotImportedAndOneIsSingular() {
        QTemporaryDir dir;
        const QString file = dir.filePath("one.alphabet");
        QVERIFY(writeBytes(file, glyphFile(1, 1, std::vector<Point3>{{1, 2, 3}})));
        const struct {
            QStringList arguments;
            int status;
            const char* says;
        } cases[] = {
            {{"import", file, "-o", file}, 2, "choose another output"},
            {{"import", file, "-o", dir.filePath("o.alphabet")},
             1,
             "one.alphabet is a glyph file already; nothing to import"},
            {{"import", "--from", "text", file, "-o", dir.filePath("o.alphabet")},
             1,
             "is a glyph file already"},
        };
        for (const auto& c : cases) {
            const ToolRun run = runTool(c.arguments);
            QVERIFY2(run.status == c.status && run.err.contains(c.says), run.err);
        }
        QVERIFY(!QFile::exists(dir.filePath("o.alphabet")));
        const ToolRun info = runTool({"info", file});
        QVERIFY2(info.out.contains("header   1 point per glyph, 1 glyph\n"), info.out);
        const ToolRun exported = runTool({"export", file});
        QVERIFY2(exported.out.startsWith("# 1 point per glyph, 1 glyph\n"), exported.out);
        QVERIFY(writeBytes(file, glyphFile(2, 2, std::vector<Point3>(3))));
        const ToolRun shortFile = runTool({"info", file});
        QVERIFY2(
            shortFile.out.contains("; 1 glyph in full") &&
                shortFile.err.contains("header announces 2 glyphs but the file holds 1 in full"),
            shortFile.out + shortFile.err);
    }

    void versionIsTheProjectVersion_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("tool") << QStringLiteral(ALPHABET_TOOL) << QByteArray("alphabet-tool");
        QTest::newRow("viewer") << QStringLiteral(ALPHABET_VIEWER) << QByteArray("alphabet-viewer");
    }
    void versionIsTheProjectVersion() {
        QFETCH(QString, program);
        QFETCH(QByteArray, name);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* variable : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(variable);
        const ToolRun run = runProgram(program, {"--version"}, {}, environment);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, name + " " + ALPHABET_PROJECT_VERSION "\n");
        QVERIFY2(run.err.isEmpty(), run.err);
        QVERIFY(runProgram(program, {"--help"}).out.contains("--version"));
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

        // Every option without its value says what it needs.
        const struct {
            QStringList arguments;
            const char* says;
        } missing[] = {
            {{"sample", "--points"}, "sample: --points needs a whole number from 1 to 1000000"},
            {{"sample", "-o"}, "sample: -o needs a file name"},
            {{"import", "a.txt", "--points"}, "import: --points needs a whole number"},
            {{"import", "a.txt", "-o"}, "import: -o needs a file name"},
            {{"import", "a.txt", "-o", "--points", "3"}, "-o needs a file name, not the option"},
            {{"export", "a.alphabet", "-o"}, "export: -o needs a file name"},
            {{"render", "a.alphabet", "-o"}, "render: -o needs a file name"},
            {{"render", "a.alphabet", "-o", "a.png", "--columns"},
             "render: --columns needs a whole number from 1 to 1000"},
            {{"render", "a.alphabet", "-o", "a.png", "--glyphs"},
             "render: --glyphs needs a range FIRST-LAST"},
            {{"render", "a.alphabet", "-o", "a.png", "--glyphs", "3-x"},
             "--glyphs takes FIRST-LAST, FIRST or FIRST-"},
        };
        for (const auto& c : missing) {
            const ToolRun run = runTool(c.arguments);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(c.says), run.err);
        }
        QCOMPARE(runTool({"frobnicate"}).status, 2);
        QCOMPARE(runTool({"export", "/nonexistent/file"}).status, 2);
    }
};

QTEST_GUILESS_MAIN(ToolCommandsTest)
#include "test_tool_commands.moc"
