#include "pictures/PngPipeline.h"
#include "pictures/PngWriter.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>
#include <zlib.h>

namespace {

// A gradient that deflate shrinks, or noise that it can't.
unsigned char pixel(int x, int y, int c, bool noisy) {
    if (!noisy)
        return static_cast<unsigned char>((x * (c + 3) + y * (2 * c + 1)) & 0xff);
    unsigned v = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u ^ unsigned(c) * 83492791u;
    v ^= v >> 13;
    v *= 0x5bd1e995u;
    v ^= v >> 15;
    return static_cast<unsigned char>(v);
}

// Row y of an image `width` pixels wide, R, G, B for each pixel.
std::vector<unsigned char> rowOf(int y, int width, bool noisy) {
    std::vector<unsigned char> row(std::size_t(width) * 3);
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < 3; ++c)
            row[std::size_t(x) * 3 + std::size_t(c)] = pixel(x, y, c, noisy);
    return row;
}

// Writes `rows` rows of a width x height image; false with `error` where the writer fails.
bool writeImage(const std::string& path, int width, int height, bool noisy, int rows,
                std::string& error) {
    PngWriter png;
    if (png.open(path, OutputRules(), width, height, error) != OutputStatus::Ready)
        return false;
    for (int y = 0; y < rows; ++y)
        if (!png.writeRow(rowOf(y, width, noisy).data()))
            break;
    return png.finish(error);
}

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 bigEndian(const QByteArray& bytes, int at) {
    quint32 value = 0;
    for (int i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

struct Chunk {
    QByteArray type;
    QByteArray data;
};

// The chunks after the PNG signature; empty with `problem` set where the file
// does not split into whole chunks whose CRCs hold.
std::vector<Chunk> chunksOf(const QByteArray& file, QString& problem) {
    if (!file.startsWith("\x89PNG\r\n\x1a\n")) {
        problem = "no PNG signature";
        return {};
    }
    std::vector<Chunk> chunks;
    int at = 8;
    while (at < file.size()) {
        if (file.size() - at < 12) {
            problem = QString("a cut chunk at byte %1").arg(at);
            return {};
        }
        const int length = int(bigEndian(file, at));
        if (length < 0 || file.size() - at - 12 < length) {
            problem = QString("a chunk longer than the file at byte %1").arg(at);
            return {};
        }
        const QByteArray typeAndData = file.mid(at + 4, 4 + length);
        const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typeAndData.constData()),
                               uInt(typeAndData.size()));
        if (crc != bigEndian(file, at + 8 + length)) {
            problem = "a wrong CRC on chunk " + QString(typeAndData.left(4));
            return {};
        }
        chunks.push_back({typeAndData.left(4), typeAndData.mid(4)});
        at += 12 + length;
    }
    return chunks;
}

} // namespace

class PngWriterTest : public QObject {
    Q_OBJECT

private slots:
    void writesWholeChunksAndTheRowsGiven_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("noisy");
        QTest::newRow("one pixel") << 1 << 1 << false;
        QTest::newRow("gradient 300 x 200") << 300 << 200 << false;
        QTest::newRow("noise 300 x 200, three IDAT") << 300 << 200 << true;
        QTest::newRow("noise one column") << 1 << 300 << true;
        QTest::newRow("noise 2000 x 40, four IDAT") << 2000 << 40 << true;
    }
    // An 8-bit RGB PNG of IHDR, IDAT chunks of 64 KiB but the last, and IEND,
    // nothing else; its rows inflate unfiltered to those written and decode so.
    void writesWholeChunksAndTheRowsGiven() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(bool, noisy);
        QTemporaryDir dir;
        const QString path = dir.filePath("image.png");
        std::string error;
        QVERIFY2(writeImage(path.toStdString(), width, height, noisy, height, error),
                 error.c_str());

        QString problem;
        const std::vector<Chunk> chunks = chunksOf(contentsOf(path), problem);
        QVERIFY2(chunks.size() >= 3, qPrintable(problem));
        QCOMPARE(chunks.front().type, QByteArray("IHDR"));
        const QByteArray& header = chunks.front().data;
        QCOMPARE(header.size(), 13);
        QCOMPARE(bigEndian(header, 0), quint32(width));
        QCOMPARE(bigEndian(header, 4), quint32(height));
        // Bit depth 8, colour type 2 (RGB), deflate, adaptive filtering, no interlace.
        QCOMPARE(header.mid(8), QByteArray("\x08\x02\x00\x00\x00", 5));
        QCOMPARE(chunks.back().type, QByteArray("IEND"));
        QVERIFY(chunks.back().data.isEmpty());
        QByteArray deflated;
        for (std::size_t i = 1; i + 1 < chunks.size(); ++i) {
            QCOMPARE(chunks[i].type, QByteArray("IDAT"));
            if (i + 2 < chunks.size())
                QCOMPARE(chunks[i].data.size(), 1 << 16);
            deflated += chunks[i].data;
        }

        const std::size_t stride = 1 + std::size_t(width) * 3; // filter byte, then the pixels
        QByteArray rows(int(stride) * height + 1, '\0');       // a byte more shows any excess
        uLongf inflated = uLongf(rows.size());
        QCOMPARE(uncompress(reinterpret_cast<Bytef*>(rows.data()), &inflated,
                            reinterpret_cast<const Bytef*>(deflated.constData()),
                            uLong(deflated.size())),
                 Z_OK);
        QCOMPARE(inflated, uLongf(stride * std::size_t(height)));
        for (int y = 0; y < height; ++y) {
            const char* row = rows.constData() + stride * std::size_t(y);
            QCOMPARE(int(row[0]), 0); // filter None
            const std::vector<unsigned char> written = rowOf(y, width, noisy);
            QVERIFY2(std::equal(written.begin(), written.end(),
                                reinterpret_cast<const unsigned char*>(row + 1)),
                     qPrintable(QString("row %1 differs").arg(y)));
        }

        const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
        QCOMPARE(image.size(), QSize(width, height));
        for (int y = 0; y < height; ++y) {
            const std::vector<unsigned char> written = rowOf(y, width, noisy);
            QVERIFY2(std::equal(written.begin(), written.end(), image.constScanLine(y)),
                     qPrintable(QString("decoded row %1 differs").arg(y)));
        }
    }

    // Bands compressed on the pipeline's thread come out in order: the file
    // the writer makes of the same rows, byte for byte.
    void pipelineWritesWhatTheWriterWrites() {
        QTemporaryDir dir;
        std::string error;
        const QString direct = dir.filePath("rows.png");
        QVERIFY2(writeImage(direct.toStdString(), 300, 200, true, 200, error), error.c_str());

        const QString path = dir.filePath("bands.png");
        PngPipeline png(7); // 200 rows: 28 whole bands and one of 4 rows
        QCOMPARE(png.open(path.toStdString(), OutputRules(), 300, 200, error), OutputStatus::Ready);
        for (int first = 0; first < 200; first += 7) {
            unsigned char* band = png.next();
            QVERIFY(band);
            const int rows = std::min(7, 200 - first);
            for (int y = 0; y < rows; ++y) {
                const std::vector<unsigned char> row = rowOf(first + y, 300, true);
                std::copy(row.begin(), row.end(), band + std::size_t(y) * row.size());
            }
            png.submit(rows);
        }
        QVERIFY2(png.finish(error), error.c_str());
        const QByteArray bytes = contentsOf(path);
        QVERIFY(!bytes.isEmpty());
        QVERIFY(bytes == contentsOf(direct));
    }

    // Noise does not shrink, so the compressed rows reach the device long
    // before the end: the pipeline stops handing out bands there, and finish
    // reports the failure.
    void pipelineStopsWhereTheDeviceIsFull() {
        constexpr int width = 300, height = 600, bandRows = 7;
        constexpr int bandCount = (height + bandRows - 1) / bandRows;
        PngPipeline full(bandRows);
        std::string error;
        QCOMPARE(full.open("/dev/full", OutputRules(), width, height, error), OutputStatus::Ready);
        int submitted = 0;
        for (; submitted < bandCount; ++submitted) {
            unsigned char* band = full.next();
            if (!band)
                break;
            for (int y = 0; y < bandRows; ++y) {
                const std::vector<unsigned char> row = rowOf(submitted * bandRows + y, width, true);
                std::copy(row.begin(), row.end(), band + std::size_t(y) * row.size());
            }
            full.submit(std::min(bandRows, height - submitted * bandRows));
        }
        QVERIFY2(submitted < bandCount, "every band was taken although the device is full");
        QVERIFY(!full.finish(error));
        QCOMPARE(QString::fromStdString(error), QString("/dev/full: can't write"));
    }

    void failuresNameTheFileAndLeaveNothing() {
        QTemporaryDir dir;
        std::string error;
        QVERIFY(!writeImage("/dev/full", 300, 200, true, 200, error));
        QCOMPARE(QString::fromStdString(error), QString("/dev/full: can't write"));
        const std::string path = dir.filePath("short.png").toStdString();
        error.clear();
        QVERIFY(!writeImage(path, 300, 200, false, 120, error));
        QCOMPARE(error, path + ": image rows missing");
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PngWriterTest)
#include "test_png_writer.moc"
