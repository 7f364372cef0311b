#include "GlyphFileSupport.h"
#include "Sanitizers.h"
#include "alphabet/AlphabetFile.h"
#include "alphabet/AlphabetLoader.h"
#include "alphabet/AlphabetWriter.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// Every case below holds for both ways of reading a glyph file: loadAlphabet's
// block in memory, and an AlphabetFile (mapped where the file allows).
enum class Route { Loader, File };
Q_DECLARE_METATYPE(Route)

namespace {

struct Loaded {
    std::unique_ptr<Point3[]> block;
    AlphabetFile file;
    int pointsPerGlyph = -7;
    int glyphCount = -7;
    QByteArray out;
    QByteArray err;

    const Point3* points() const { return block ? block.get() : file.glyph(0); }
    const Point3& point(int index) const { return points()[index]; }
};

} // namespace

class AlphabetFileTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QByteArray problemMismatch;
    QString path(const char* name) const { return dir.filePath(name); }

    Loaded load(const QString& path) {
        QFETCH_GLOBAL(Route, route);
        Loaded result;
        Capture out(stdout), err(stderr);
        const QByteArray name = path.toLocal8Bit();
        if (route == Route::Loader) {
            result.block.reset(
                loadAlphabet(name.constData(), result.pointsPerGlyph, result.glyphCount));
        } else if (result.file.open(name.constData())) {
            result.pointsPerGlyph = result.file.pointsPerGlyph();
            result.glyphCount = result.file.glyphCount();
        }
        result.err = err.finish();
        result.out = out.finish();
        if (route == Route::File)
            checkProblem(result, name);
        return result;
    }

    // problem() says what standard error says, without the file's name, which every
    // line of it begins with.
    void checkProblem(const Loaded& loaded, const QByteArray& name) {
        QByteArrayList reasons;
        for (const QByteArray& line : loaded.err.split('\n'))
            if (!line.isEmpty())
                reasons << (line.startsWith(name + ": ") ? line.mid(name.size() + 2) : "?" + line);
        const QByteArray problem = QByteArray::fromStdString(loaded.file.problem());
        const bool opened = loaded.out.isEmpty();
        if (opened ? problem != reasons.join("; ") : !problem.startsWith("can't open: "))
            problemMismatch +=
                name + ": problem() \"" + problem + "\", standard error \"" + loaded.err + "\"\n";
    }

private slots:
    void initTestCase_data() {
        QTest::addColumn<Route>("route");
        QTest::newRow("loadAlphabet") << Route::Loader;
        QTest::newRow("AlphabetFile") << Route::File;
    }

    void cleanup() {
        const QByteArray mismatch = problemMismatch;
        problemMismatch.clear();
        QVERIFY2(mismatch.isEmpty(), mismatch.constData());
    }

    void wellFormedFileLoadsEveryGlyphAndIgnoresTrailingBytes() {
        writeGlyphFile(path("two.alphabet"), 3, 2, numberedPoints(6), 5);
        Loaded file = load(path("two.alphabet"));
        QCOMPARE(file.pointsPerGlyph, 3);
        QCOMPARE(file.glyphCount, 2);
        QVERIFY(file.points());
        // Glyph 1 begins at file offset 44: its first point is point 3.
        QCOMPARE(file.point(3).x, 3.0f);
        QCOMPARE(file.point(5).y, 5.25f);
        QCOMPARE(file.point(5).z, -5.0f);
        QVERIFY(file.out.isEmpty());
        QVERIFY(file.err.isEmpty());
    }

    void missingFilePrintsTheMessageAndLeavesCounts() {
        QTemporaryDir empty;
        const QString old = QDir::currentPath();
        QDir::setCurrent(empty.path());
        Loaded file = load("./universal.alphabet");
        QDir::setCurrent(old);
        QVERIFY(!file.points());
        QCOMPARE(file.out, QByteArray("Unable to write file: ./universal.alphabet."));
        QCOMPARE(file.pointsPerGlyph, -7);
        QCOMPARE(file.glyphCount, -7);
    }

    void emptyAndPointlessFilesLoadNoPoints() {
        writeGlyphFile(path("none.alphabet"), 48, 0, {});
        Loaded none = load(path("none.alphabet"));
        QCOMPARE(none.glyphCount, 0);
        QCOMPARE(none.pointsPerGlyph, 48);
        QVERIFY(none.err.isEmpty());

        writeGlyphFile(path("pointless.alphabet"), 0, 5, {});
        Loaded pointless = load(path("pointless.alphabet"));
        QCOMPARE(pointless.pointsPerGlyph, 0);
        QCOMPARE(pointless.glyphCount, 5);
        QVERIFY(pointless.err.isEmpty());

        writeGlyphFile(path("endless.alphabet"), 0, 2147483647, {});
        Loaded endless = load(path("endless.alphabet"));
        QCOMPARE(endless.glyphCount, maxEmptyGlyphs);
        QVERIFY(endless.err.contains("2147483647"));

        writeGlyphFile(path("stub.alphabet"), 0, 0, {});
        QFile::resize(path("stub.alphabet"), 5);
        Loaded stub = load(path("stub.alphabet"));
        QCOMPARE(stub.glyphCount, 0);
        QCOMPARE(stub.pointsPerGlyph, 0);
        QVERIFY(stub.err.contains("stub.alphabet"));
        QVERIFY(stub.err.contains("header"));
    }

    void negativeCountsLoadNothingAndSaySo() {
        writeGlyphFile(path("negative.alphabet"), -3, 2, numberedPoints(6));
        Loaded points = load(path("negative.alphabet"));
        QVERIFY(!points.points());
        QCOMPARE(points.pointsPerGlyph, 0);
        QCOMPARE(points.glyphCount, 0);
        QVERIFY(points.err.contains("negative.alphabet"));
        QVERIFY(points.err.contains("negative"));

        writeGlyphFile(path("negative2.alphabet"), 3, -1, numberedPoints(6));
        Loaded glyphs = load(path("negative2.alphabet"));
        QCOMPARE(glyphs.glyphCount, 0);
        QVERIFY(glyphs.err.contains("-1 glyphs"));
    }

    void shortFileLoadsTheWholeGlyphsItHolds() {
        // Five glyphs announced, two and a half present.
        writeGlyphFile(path("short.alphabet"), 4, 5, numberedPoints(10));
        Loaded file = load(path("short.alphabet"));
        QCOMPARE(file.glyphCount, 2);
        QCOMPARE(file.pointsPerGlyph, 4);
        QCOMPARE(file.point(7).x, 7.0f);
        QVERIFY(file.err.contains("short.alphabet"));
        QVERIFY(file.err.contains("announces 5 glyphs"));
        QVERIFY(file.err.contains("loaded 2"));
    }

    void absurdHeaderNeverAllocatesFromTheHeader() {
        // 2^31-1 x 2^31-1 points: the product overflows 64-bit byte counts of any real file.
        writeGlyphFile(path("absurd.alphabet"), 2147483647, 2147483647, numberedPoints(3));
        Loaded file = load(path("absurd.alphabet"));
        QCOMPARE(file.glyphCount, 0);
        QVERIFY(file.err.contains("2147483647 glyphs"));

        writeGlyphFile(path("wide.alphabet"), 1, 2147483647, numberedPoints(3));
        Loaded wide = load(path("wide.alphabet"));
        QCOMPARE(wide.glyphCount, 3);
        QCOMPARE(wide.point(2).z, -2.0f);
    }

    // Found by fuzzing: through a pipe, whose size can't be known in advance, the byte
    // count of a header of 2^31-1 glyphs of many points overflowed a 64-bit integer.
    void pipeLoadsTheGlyphsItDeliversWhateverTheHeaderClaims() {
        // A std::vector for write(2): GCC misjudges the size of a QVector's storage.
        const QVector<Point3> numbered = numberedPoints(6);
        const std::vector<Point3> points(numbered.begin(), numbered.end());
        const std::int32_t headers[][2] = {{3, 2}, {2147483647, 2147483647}, {1, 2147483647}};
        const int expected[] = {2, 0, 6};
        for (int i = 0; i < 3; ++i) {
            int ends[2];
            QVERIFY(pipe(ends) == 0);
            QVERIFY(write(ends[1], headers[i], 8) == 8);
            QVERIFY(write(ends[1], points.data(), 72) == 72);
            close(ends[1]);
            Loaded piped = load(QString("/proc/self/fd/%1").arg(ends[0]));
            close(ends[0]);
            QCOMPARE(piped.glyphCount, expected[i]);
            QCOMPARE(piped.pointsPerGlyph, headers[i][0]);
            const std::size_t loadedPoints = std::size_t(expected[i]) * std::size_t(headers[i][0]);
            QVERIFY(std::memcmp(piped.points(), points.data(), loadedPoints * sizeof(Point3)) == 0);
        }
    }

    // Files that are no glyph files at all load no glyph and end nothing.
    void directoriesAndDevicesLoadNoGlyphs() {
        for (const QString& name : {dir.path(), QString("/dev/null"), QString("/dev/zero")}) {
            Loaded file = load(name);
            QCOMPARE(file.glyphCount, 0);
            QCOMPARE(file.pointsPerGlyph, 0);
            QVERIFY2(file.out.isEmpty(), qPrintable(name));
        }
        QVERIFY(load(dir.path()).err.contains("is a folder"));
    }

    // Found by probing with /dev/urandom: a stream without end was read until memory ran
    // out. Its points are taken up to a limit, in whole glyphs.
    void endlessStreamStopsAtTheLimit() {
        std::signal(SIGPIPE, SIG_IGN);
        int ends[2];
        QVERIFY(pipe(ends) == 0);
        std::thread endless([out = ends[1]] {
            const std::int32_t header[2] = {1, 2147483647};
            std::vector<char> zeros(1 << 20);
            bool open = write(out, header, sizeof header) == sizeof header;
            while (open)
                open = write(out, zeros.data(), zeros.size()) > 0;
            close(out);
        });
        Loaded stream = load(QString("/proc/self/fd/%1").arg(ends[0]));
        close(ends[0]);
        endless.join();
        QCOMPARE(stream.pointsPerGlyph, 1);
        QCOMPARE(stream.glyphCount, int(maxUnsizedBytes / 12));
        QVERIFY(stream.err.contains("limit"));
    }

    // A file larger than the memory the process may have loads nothing, and says so,
    // instead of ending the process with std::bad_alloc. Run in a child whose address
    // space is limited, on a sparse file announcing 4.8 GB of points.
    void fileBeyondMemoryLoadsNothing() {
        if (underAddressSanitizer)
            QSKIP("the address sanitizer reserves more address space than the limit allows");
        writeGlyphFile(path("vast.alphabet"), 1, 400000000, numberedPoints(3));
        QVERIFY(QFile::resize(path("vast.alphabet"), 8 + 12LL * 400000000));
        const QByteArray name = path("vast.alphabet").toLocal8Bit();
        QFETCH_GLOBAL(Route, route);
        const pid_t child = fork();
        if (child == 0) {
            // A failure ends the child at once, not in the test library's crash handler,
            // which may wait for a lock that a thread of the parent held at the fork.
            for (int signal : {SIGABRT, SIGSEGV, SIGBUS})
                std::signal(signal, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            limit.rlim_cur = rlim_t(3) << 30; // 3 GiB of address space
            setrlimit(RLIMIT_AS, &limit);
            int points = -7, glyphs = -7;
            try {
                if (route == Route::File) {
                    AlphabetFile file;
                    _exit(file.open(name.constData()) && file.glyphCount() == 0 &&
                                  file.pointsPerGlyph() == 0 && !file.problem().empty()
                              ? 0
                              : 1);
                }
                Point3* block = loadAlphabet(name.constData(), points, glyphs);
                _exit(!block && points == 0 && glyphs == 0 ? 0 : 1);
            } catch (...) {
                _exit(2); // never back into the test library, whose threads the child lacks
            }
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status), "the child did not end by itself");
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void writerRoundTripsAndReplacesWholeFiles() {
        const QVector<Point3> points = numberedPoints(12);
        const std::string target = path("written.alphabet").toStdString();
        QCOMPARE(writeGlyphFile(target, {}, 4, 3, points.data()).status, 0);
        Loaded file = load(path("written.alphabet"));
        QCOMPARE(file.glyphCount, 3);
        QCOMPARE(QFileInfo(path("written.alphabet")).size(), qint64(8 + 12 * 12));
        QVERIFY(std::memcmp(file.points(), points.data(), 12 * sizeof(Point3)) == 0);

        QCOMPARE(writeGlyphFile(target, {}, 2, 1, points.data()).status, 0);
        QCOMPARE(QFileInfo(path("written.alphabet")).size(), qint64(8 + 24));
        QCOMPARE(QDir(dir.path()).entryList({"written.alphabet.*"}, QDir::Files).size(), 0);

        // A name the user did not give keeps what is there; a missing folder fails.
        const WriteOutcome kept = writeGlyphFile(target, {"", false}, 4, 3, points.data());
        QCOMPARE(kept.status, 2);
        QCOMPARE(QFileInfo(path("written.alphabet")).size(), qint64(8 + 24));
        const WriteOutcome failed = writeGlyphFile(
            dir.filePath("missing/dir/x.alphabet").toStdString(), {}, 2, 1, points.data());
        QCOMPARE(failed.status, 1);
        QVERIFY(QString::fromStdString(failed.error).contains("x.alphabet"));
    }
};

QTEST_APPLESS_MAIN(AlphabetFileTest)
#include "test_alphabet_file.moc"
