#include "pictures/PngPipeline.h"
#include "pictures/PngWriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

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

QByteArray sha256Of(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex()
               : QByteArray();
}

// Writes a 300 x 200 image, `rows` rows of it; false with `error` where the writer fails.
bool writeImage(const std::string& path, bool noisy, int rows, std::string& error) {
    PngWriter png;
    if (png.open(path, OutputRules(), 300, 200, error) != OutputStatus::Ready)
        return false;
    std::vector<unsigned char> row(300 * 3);
    for (int y = 0; y < rows; ++y) {
        for (int x = 0; x < 300; ++x)
            for (int c = 0; c < 3; ++c)
                row[std::size_t(x) * 3 + std::size_t(c)] = pixel(x, y, c, noisy);
        if (!png.writeRow(row.data()))
            return png.finish(error);
    }
    return png.finish(error);
}

} // namespace

class PngWriterTest : public QObject {
    Q_OBJECT

private slots:
    // The files are those the sheets have always had (unfiltered rows, 64 KiB
    // IDAT chunks, nothing else), byte for byte, and they decode to the rows given.
    void writesTheSameBytesAsEverAndTheRowsGiven() {
        const struct {
            bool noisy;
            const char* sha256;
        } cases[] = {{false, "69b53bb17c62629849e4f00fdb8e81f854b8b3ba0190b82b7c6c8cca8c3bd895"},
                     {true, "232908ab5691edddeb9d18ef003404b38cdfe70d718f187e22e042788c29ca82"}};
        QTemporaryDir dir;
        for (const auto& c : cases) {
            const QString path = dir.filePath("image.png");
            std::string error;
            QVERIFY2(writeImage(path.toStdString(), c.noisy, 200, error), error.c_str());
            QCOMPARE(sha256Of(path), QByteArray(c.sha256));
            const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
            QCOMPARE(image.size(), QSize(300, 200));
            for (int y : {0, 77, 199})
                for (int x : {0, 150, 299})
                    QCOMPARE(image.pixel(x, y),
                             qRgb(pixel(x, y, 0, c.noisy), pixel(x, y, 1, c.noisy),
                                  pixel(x, y, 2, c.noisy)));
        }
    }

    // Bands compressed on the pipeline's thread come out in order: the same file.
    void pipelineWritesTheSameFile() {
        QTemporaryDir dir;
        const QString path = dir.filePath("bands.png");
        PngPipeline png(7); // 200 rows: 28 whole bands and one of 4 rows
        std::string error;
        QCOMPARE(png.open(path.toStdString(), OutputRules(), 300, 200, error), OutputStatus::Ready);
        for (int first = 0; first < 200; first += 7) {
            unsigned char* band = png.next();
            QVERIFY(band);
            const int rows = std::min(7, 200 - first);
            for (int y = 0; y < rows; ++y)
                for (int x = 0; x < 300; ++x)
                    for (int c = 0; c < 3; ++c)
                        band[(y * 300 + x) * 3 + c] = pixel(x, first + y, c, true);
            png.submit(rows);
        }
        QVERIFY2(png.finish(error), error.c_str());
        QCOMPARE(sha256Of(path),
                 QByteArray("232908ab5691edddeb9d18ef003404b38cdfe70d718f187e22e042788c29ca82"));

        PngPipeline full(7);
        QCOMPARE(full.open("/dev/full", OutputRules(), 300, 200, error), OutputStatus::Ready);
        while (unsigned char* band = full.next()) {
            std::fill(band, band + 7 * 300 * 3, 0x55);
            full.submit(7);
        }
        QVERIFY(!full.finish(error));
        QVERIFY2(error.rfind("/dev/full: can't write", 0) == 0, error.c_str());
    }

    void failuresNameTheFileAndLeaveNothing() {
        QTemporaryDir dir;
        std::string error;
        QVERIFY(!writeImage("/dev/full", true, 200, error));
        QCOMPARE(QString::fromStdString(error), QString("/dev/full: can't write"));
        const std::string path = dir.filePath("short.png").toStdString();
        error.clear();
        QVERIFY(!writeImage(path, false, 120, error));
        QCOMPARE(error, path + ": image rows missing");
        QVERIFY(QDir(dir.path()).isEmpty());
    }
};

QTEST_GUILESS_MAIN(PngWriterTest)
#include "test_png_writer.moc"
