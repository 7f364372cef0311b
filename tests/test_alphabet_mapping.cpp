#include "GlyphFileSupport.h"
#include "alphabet/AlphabetFile.h"
#include "alphabet/AlphabetHeader.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Bytes and count of the mappings of `path` in this process.
struct Mappings {
    long long bytes = 0;
    int count = 0;
};

Mappings mappingsOf(const QString& path) {
    const std::string file = QFileInfo(path).canonicalFilePath().toStdString();
    std::ifstream maps("/proc/self/maps");
    Mappings found;
    for (std::string line; std::getline(maps, line);) {
        if (line.size() < file.size() || line.compare(line.size() - file.size(), file.size(), file))
            continue;
        unsigned long long start = 0, end = 0;
        std::sscanf(line.c_str(), "%llx-%llx", &start, &end);
        found.bytes += static_cast<long long>(end - start);
        ++found.count;
    }
    return found;
}

// Field 0 of /proc/self/statm is the address space, field 1 the resident memory, in pages.
long long statmBytes(int field) {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    for (int i = 0; i <= field; ++i)
        statm >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

// Read through volatile: the file may change under the mapping between two reads.
float readX(const Point3* point) {
    return *static_cast<const volatile float*>(&point->x);
}

// Runs the helper and returns its wait status.
int runBusErrorChild(const QByteArray& glyphs, const QByteArray& scratch, const char* mode) {
    const pid_t child = fork();
    if (child == 0) {
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
        alarm(20); // a handler that returns without passing the fault on would repeat it forever
        execl(BUS_ERROR_CHILD, "bus_error_child", glyphs.constData(), scratch.constData(), mode,
              static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return status;
}

} // namespace

class AlphabetMappingTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const char* name) const { return dir.filePath(name); }
    QByteArray name(const char* file) const { return path(file).toLocal8Bit(); }

private slots:
    void regularFileIsMappedAndPipeIsReadIntoMemory() {
        // A std::vector for write(2): GCC misjudges the size of a QVector's storage.
        const QVector<Point3> numbered = numberedPoints(12);
        const std::vector<Point3> points(numbered.begin(), numbered.end());
        writeGlyphFile(path("four.alphabet"), 3, 4, numbered, 5);
        AlphabetFile mapped;
        QVERIFY(mapped.open(name("four.alphabet")));
        QVERIFY(mapped.isMapped());
        QCOMPARE(mapped.announcedGlyphCount(), 4);
        QVERIFY(mapped.problem().empty());
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(mapped.glyph(i), mapped.glyph(0) + 3 * i);
            QCOMPARE(mapped.glyph(i)[2].x, float(3 * i + 2));
        }

        int ends[2];
        QVERIFY(pipe(ends) == 0);
        const std::int32_t header[2] = {3, 4};
        QVERIFY(write(ends[1], header, 8) == 8);
        QVERIFY(write(ends[1], points.data(), 144) == 144);
        close(ends[1]);
        AlphabetFile piped;
        QVERIFY(piped.open(QString("/proc/self/fd/%1").arg(ends[0]).toLocal8Bit().constData()));
        close(ends[0]);
        QVERIFY(!piped.isMapped());
        QCOMPARE(piped.glyph(3)[2].x, 11.0f);
    }

    // Every mapping goes with its file: the guard has 64 slots, so a leak would stop
    // mapping after 64 opens.
    void closedReplacedAndMovedFilesGiveBackTheirMapping() {
        writeGlyphFile(path("often.alphabet"), 2, 3, numberedPoints(6));
        for (int i = 0; i < 100; ++i) {
            AlphabetFile file;
            QVERIFY(file.open(name("often.alphabet")) && file.isMapped());
        }
        AlphabetFile reopened;
        for (int i = 0; i < 100; ++i)
            QVERIFY(reopened.open(name("often.alphabet")) && reopened.isMapped());
        QCOMPARE(mappingsOf(path("often.alphabet")).count, 1);

        AlphabetFile moved(std::move(reopened));
        QVERIFY(moved.isMapped() && !reopened.isMapped());
        QCOMPARE(moved.glyph(2)[1].x, 5.0f);
        moved = AlphabetFile();
        QCOMPARE(mappingsOf(path("often.alphabet")).count, 0);
    }

    void failedOpenKeepsTheGlyphsHeldSoFar() {
        writeGlyphFile(path("kept.alphabet"), 2, 3, numberedPoints(6));
        AlphabetFile file;
        QVERIFY(file.open(name("kept.alphabet")));
        Capture out(stdout);
        const bool opened = file.open(name("missing.alphabet"));
        QCOMPARE(out.finish(), "Unable to write file: " + name("missing.alphabet") + ".");
        QVERIFY(!opened);
        QCOMPARE(file.problem(), std::string("can't open: No such file or directory"));
        QCOMPARE(file.glyphCount(), 3);
        QCOMPARE(file.glyph(2)[1].x, 5.0f);

        // A file that opens replaces the old one, even when it holds no glyph.
        writeGlyphFile(path("stub.alphabet"), 0, 0, {});
        QVERIFY(QFile::resize(path("stub.alphabet"), 5));
        Capture err(stderr);
        QVERIFY(file.open(name("stub.alphabet")));
        err.finish();
        QCOMPARE(file.glyphCount(), 0);
        QCOMPARE(file.problem(),
                 std::string("file too short for its 8-byte header (5 bytes); no glyphs loaded"));
        QCOMPARE(mappingsOf(path("kept.alphabet")).count, 0);

        AlphabetHeader header;
        QVERIFY(!readAlphabetHeader(name("missing.alphabet"), header));
        QVERIFY(readAlphabetHeader(name("stub.alphabet"), header) && !header.whole());
        QVERIFY(readAlphabetHeader(name("kept.alphabet"), header) && header.whole());
        QCOMPARE(header.glyphCount, 3);

        // Whether a file of some size holds every announced glyph, without overflow
        // where the announced bytes pass 2^63.
        const std::int64_t needed = 8 + 12LL * header.pointsPerGlyph * header.glyphCount;
        QVERIFY(header.fitsIn(needed) && !header.fitsIn(needed - 1));
        header.pointsPerGlyph = header.glyphCount = 2147483647;
        QVERIFY(!header.fitsIn(std::numeric_limits<std::int64_t>::max()));
    }

    // 2^31-1 glyphs of 48 points announced over 50 present: neither storage takes more
    // address space than the file needs.
    void absurdHeaderTakesNoMoreThanTheFile() {
        writeGlyphFile(path("absurd.alphabet"), 48, 2147483647, numberedPoints(50 * 48));
        for (auto storage :
             {AlphabetFile::Storage::MapWherePossible, AlphabetFile::Storage::Memory}) {
            const long long before = statmBytes(0);
            Capture err(stderr);
            AlphabetFile file;
            QVERIFY(file.open(name("absurd.alphabet"), storage));
            err.finish();
            QVERIFY(statmBytes(0) - before < (1 << 20));
            QCOMPARE(file.glyphCount(), 50);
            QCOMPARE(file.announcedGlyphCount(), 2147483647);
            QCOMPARE(file.glyph(49)[47].x, float(50 * 48 - 1));
            QVERIFY(file.problem().find("announces 2147483647 glyphs") != std::string::npos);
            if (storage == AlphabetFile::Storage::MapWherePossible)
                QCOMPARE(mappingsOf(path("absurd.alphabet")).bytes, 32768); // 8 + 28,800 bytes
        }
    }

    void fileTruncatedWhileMappedReadsZerosAndSaysDamaged() {
        // 40 glyphs of 48 points: 23,048 bytes over six pages.
        writeGlyphFile(path("shrinking.alphabet"), 48, 40, numberedPoints(40 * 48));
        writeGlyphFile(path("steady.alphabet"), 48, 40, numberedPoints(40 * 48));
        AlphabetFile shrinking, steady;
        QVERIFY(shrinking.open(name("shrinking.alphabet")) && shrinking.isMapped());
        QVERIFY(steady.open(name("steady.alphabet")) && steady.isMapped());
        QCOMPARE(readX(&shrinking.glyph(39)[47]), float(40 * 48 - 1));
        QVERIFY(!shrinking.damaged());

        QVERIFY(truncate(name("shrinking.alphabet").constData(), 4096) == 0);
        QCOMPARE(readX(&shrinking.glyph(39)[47]), 0.0f);
        QCOMPARE(readX(&shrinking.glyph(20)[0]), 0.0f);
        QVERIFY(shrinking.damaged());
        QCOMPARE(readX(&shrinking.glyph(0)[5]), 5.0f); // the page still in the file
        QCOMPARE(readX(&steady.glyph(39)[47]), float(40 * 48 - 1));
        QVERIFY(!steady.damaged());

        Capture err(stderr);
        QVERIFY(shrinking.open(name("shrinking.alphabet")));
        err.finish();
        QCOMPARE(shrinking.glyphCount(), 7); // (4096 - 8) / 576
        QVERIFY(!shrinking.damaged());
    }

    // The guard handles only SIGBUS in a glyph file's mapping; any other goes to the
    // handler installed before it, or ends the process.
    void busErrorOutsideGlyphMappingsIsPassedOn() {
        writeGlyphFile(path("letters.alphabet"), 3, 4, numberedPoints(12));
        const int ended =
            runBusErrorChild(name("letters.alphabet"), name("scratch-default"), "default");
        QVERIFY2(WIFSIGNALED(ended), "the child was not ended by a signal");
        QCOMPARE(WTERMSIG(ended), SIGBUS); // not SIGALRM

        const int chained =
            runBusErrorChild(name("letters.alphabet"), name("scratch-chained"), "chained");
        QVERIFY2(WIFEXITED(chained), "the child was ended by a signal");
        QCOMPARE(WEXITSTATUS(chained), 42);
    }

    // A sparse file of 2 GB: opening maps it without reading a glyph.
    void largeFileOpensAtOnceInLittleMemory() {
        constexpr int glyphs = 3700000;
        writeGlyphFile(path("sparse.alphabet"), 48, glyphs, {});
        QVERIFY(QFile::resize(path("sparse.alphabet"), 8 + 576LL * glyphs));
        const long long before = statmBytes(1);
        QElapsedTimer timer;
        timer.start();
        AlphabetFile file;
        QVERIFY(file.open(name("sparse.alphabet")));
        const qint64 milliseconds = timer.elapsed();
        const long long grown = statmBytes(1) - before;
        QVERIFY(file.isMapped());
        QCOMPARE(file.glyphCount(), glyphs);
        QVERIFY2(grown < (4 << 20),
                 qPrintable(QString("resident memory grew %1 bytes").arg(grown)));
        QVERIFY2(milliseconds < 500, qPrintable(QString("open took %1 ms").arg(milliseconds)));
        QCOMPARE(file.glyph(glyphs - 1)[47].z, 0.0f); // a hole reads as zeros
    }
};

QTEST_APPLESS_MAIN(AlphabetMappingTest)
#include "test_alphabet_mapping.moc"
