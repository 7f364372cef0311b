#include "PictureMarks.h"
#include "ToolRunner.h"
#include "ViewProbe.h"
#include "alphabet/AlphabetWriter.h"
#include "alphabet/SampleAlphabet.h"
#include "view/GlyphProjection.h"

#include <QStandardPaths>
#include <QtTest>
#include <sys/stat.h>

namespace {

QString writeSample(const QTemporaryDir& dir, int points) {
    const QString path = dir.filePath(QString("sample%1.alphabet").arg(points));
    std::string error;
    const std::vector<Point3> glyphs = sampleAlphabet(points);
    if (!writeAlphabet(path.toStdString(), points, sampleGlyphCount, glyphs.data(), error))
        qWarning("%s", error.c_str());
    return path;
}

// `path` drawn by an outside program into a PNG beside it, loaded.
QImage rasterised(const QString& program, const QStringList& arguments, const QString& png) {
    const ToolRun run = runProgram(program, arguments);
    if (run.status != 0)
        qWarning("%s: %s", qPrintable(program), run.err.constData());
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

// Each pixel as the mean of its 3 x 3 neighbourhood: rasterisers place
// antialiased edges differently by a fraction of a pixel.
QImage blurred(const QImage& image) {
    QImage out(image.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            int sum[3] = {0, 0, 0}, n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    if (image.valid(x + dx, y + dy)) {
                        const QRgb p = image.pixel(x + dx, y + dy);
                        sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p), ++n;
                    }
            out.setPixel(x, y, qRgb(sum[0] / n, sum[1] / n, sum[2] / n));
        }
    return out;
}

} // namespace

class VectorSheetTest : public QObject {
    Q_OBJECT

private slots:
    // Six points a glyph keep the dots apart, so each can be measured on the GL picture.
    void dotsAndFramesLandWhereTheGlPictureHasThem() {
        QTemporaryDir dir;
        const QString file = writeSample(dir, 6);
        for (const QStringList& turn : {QStringList{}, QStringList{"--turn", "1,1,0,35"}}) {
            const ToolRun png =
                runTool(QStringList{"render", file, "-o", dir.filePath("gl.png")} + turn);
            const ToolRun svg =
                runTool(QStringList{"render", file, "-o", dir.filePath("v.svg")} + turn);
            QVERIFY2(png.status == 0 && svg.status == 0, png.err + svg.err);
            const QImage gl = QImage(dir.filePath("gl.png")).convertToFormat(QImage::Format_RGB32);
            const SvgMarks marks = readSvgMarks(fileBytes(dir.filePath("v.svg")));
            QCOMPARE(marks.dots.size(), sampleGlyphCount * 6);
            QCOMPARE(marks.frameSides.size(), sampleGlyphCount * 4);
            int measured = 0;
            const double dotOffset = worstDotOffset(gl, marks.dots, 1, measured);
            QVERIFY2(dotOffset <= 0.5 && measured > marks.dots.size() / 2,
                     qPrintable(QString("%1 px over %2 dots").arg(dotOffset).arg(measured)));
            QVERIFY2(worstFrameOffset(gl, marks.frameSides) <= 0.5,
                     qPrintable(QString("%1 px").arg(worstFrameOffset(gl, marks.frameSides))));
        }
    }

    // A glyph so small that one of its points comes nearer the eye than the near
    // plane: GL leaves that point out, and so does the SVG.
    void pointsBeforeTheNearPlaneAreLeftOut() {
        QTemporaryDir dir;
        const QVector<Point3> points = {{-0.05f, 0, 0}, {0, 0.05f, 0},     {0.05f, 0, 0},
                                        {0, -0.05f, 0}, {0.02f, 0, 0.05f}, {-0.02f, 0, -0.05f}};
        const QString file = dir.filePath("tiny.alphabet");
        writeGlyphFile(file, 6, 1, points);
        const GlyphCamera camera = placeGlyphCamera(points.data(), 6);
        const GlyphProjection projection(camera, identityRotation);
        QVector<QPointF> kept, cut;
        for (const Point3& p : points) {
            const ClipPoint clip = projection.clip(p);
            const CellPosition at = GlyphProjection::inCell(clip, 100);
            (GlyphProjection::insideDepthRange(clip) ? kept : cut).append(QPointF(at.x, at.y));
        }
        QCOMPARE(cut.size(), 1);

        QCOMPARE(runTool({"render", file, "-o", dir.filePath("gl.png")}).status, 0);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("v.svg")}).status, 0);
        const QImage gl = QImage(dir.filePath("gl.png")).convertToFormat(QImage::Format_RGB32);
        const SvgMarks marks = readSvgMarks(fileBytes(dir.filePath("v.svg")));
        QCOMPARE(marks.dots.size(), kept.size());
        int measured = 0;
        QVERIFY(worstDotOffset(gl, marks.dots, 1, measured) <= 0.5 && measured > 0);
        const QPoint where = cut.front().toPoint();
        QVERIFY2(tint(gl.pixel(where), 0) < 0.1, "GL draws the point the SVG leaves out");
    }

    void pdfPagesMatchTheSvgAndFitReaders() {
        QTemporaryDir dir;
        const QString file = writeSample(dir, 48);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("s.svg")}).status, 0);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("s.pdf")}).status, 0);
        const QImage svg = rasterised(
            "rsvg-convert", {"-b", "white", "-o", dir.filePath("svg.png"), dir.filePath("s.svg")},
            dir.filePath("svg.png"));
        const QImage pdf = rasterised(
            "pdftoppm",
            {"-r", "96", "-png", "-singlefile", dir.filePath("s.pdf"), dir.filePath("pdf")},
            dir.filePath("pdf.png"));
        QCOMPARE(svg.size(), QSize(400, 700));
        QCOMPARE(pdf.size(), svg.size());
        const QImage a = blurred(svg), b = blurred(pdf);
        double total = 0, worst = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x) {
                const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                const double d =
                    std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))}) /
                    255.0;
                total += d;
                worst = std::max(worst, d);
            }
        const double mean = total / (a.width() * a.height());
        QVERIFY2(mean < 0.04 && worst < 0.4,
                 qPrintable(QString("mean %1, worst %2").arg(mean).arg(worst)));

        // 700 rows of one column: a PDF of five pages, SVG files of one page each.
        const QString many = dir.filePath("many.alphabet");
        const std::vector<Point3> letters = sampleAlphabet(6);
        QVector<Point3> points;
        for (int i = 0; i < 700; ++i)
            for (int k = 0; k < 6; ++k)
                points.append(letters[std::size_t(i % sampleGlyphCount) * 6 + std::size_t(k)]);
        writeGlyphFile(many, 6, 700, points);
        QCOMPARE(runTool({"render", many, "--columns", "1", "-o", dir.filePath("many.pdf")}).status,
                 0);
        const ToolRun info =
            runProgram("pdfinfo", {"-f", "1", "-l", "5", dir.filePath("many.pdf")});
        QVERIFY2(info.out.contains("Pages:           5"), info.out);
        QCOMPARE(info.out.count("size:  75 x 12225 pts"), 4);
        QVERIFY2(info.out.contains("Page    5 size:  75 x 3600 pts"), info.out);
        const ToolRun pages =
            runTool({"render", many, "--columns", "1", "-o", dir.filePath("many.svg")});
        QVERIFY2(pages.status == 0 &&
                     pages.err.contains("many-5.svg (page 5 of 5, glyphs 652 to 699)"),
                 pages.err);
        QVERIFY(fileBytes(dir.filePath("many-1.svg")).contains("viewBox=\"0 0 100 16300\""));
        QVERIFY(!QFile::exists(dir.filePath("many.svg")) &&
                !QFile::exists(dir.filePath("many-6.svg")));
    }

    void vectorsNeedNoDisplay() {
        QTemporaryDir dir;
        const QString file = writeSample(dir, 48);
        QProcessEnvironment bare;
        bare.insert("PATH", dir.filePath("nothing")); // no Xvfb to be found either
        bare.insert("HOME", dir.path());
        const struct {
            const char* name;
            const char* start;
        } outputs[] = {{"bare.svg", "<?xml"}, {"bare.pdf", "%PDF-"}};
        for (const auto& output : outputs) {
            const ToolRun run =
                runTool({"render", file, "-o", dir.filePath(output.name)}, {}, bare);
            QVERIFY2(run.status == 0, run.err);
            QVERIFY(fileBytes(dir.filePath(output.name)).startsWith(output.start));
        }
    }

    void outputRulesHoldForVectors() {
        QTemporaryDir dir;
        const QString file = writeSample(dir, 6);
        const QByteArray glyphs = fileBytes(file);
        const QString svg = dir.filePath("sheet.svg");
        QCOMPARE(runTool({"render", file, "-o", svg}).status, 0);

        // Standard output takes the same bytes; the format comes from --format there.
        const ToolRun piped = runTool({"render", file, "-o", "-", "--format", "svg"});
        QCOMPARE(piped.status, 0);
        QCOMPARE(piped.out, fileBytes(svg));
        QVERIFY(runTool({"render", file, "-o", "-", "--format", "pdf"}).out.startsWith("%PDF-"));

        // A symlink stays and its target is replaced, keeping its mode.
        const QString target = dir.filePath("target.pdf");
        QVERIFY(writeBytes(target, "old"));
        QCOMPARE(chmod(QFile::encodeName(target).constData(), 0640), 0);
        QVERIFY(QFile::link(target, dir.filePath("link.pdf")));
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("link.pdf")}).status, 0);
        QVERIFY(QFileInfo(dir.filePath("link.pdf")).isSymLink());
        QVERIFY(fileBytes(target).startsWith("%PDF-"));
        QCOMPARE(QFileInfo(target).permissions() & 0x7777,
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                     QFileDevice::WriteUser | QFileDevice::ReadGroup);

        const struct {
            QStringList arguments;
            const char* says;
        } refused[] = {
            {{"-o", file, "--format", "svg"}, "choose another output"},
            {{"-o", dir.filePath("x.pdf"), "--columns", "200"}, "wider than the 14400 points"},
            {{"-o", dir.filePath("x.svg"), "--format", "eps"}, "--format takes png, svg or pdf"},
            {{"-o", dir.filePath("x.svg"), "--turn", "0,0,0,90"}, "--turn takes"},
            {{"-o", dir.filePath("x.svg"), "--turn", "1,0,0"}, "--turn takes"},
        };
        for (const auto& c : refused) {
            const ToolRun run = runTool(QStringList{"render", file} + c.arguments);
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains(c.says), run.err);
        }
        QCOMPARE(fileBytes(file), glyphs);
        QVERIFY(!QFile::exists(dir.filePath("x.pdf")) && !QFile::exists(dir.filePath("x.svg")));
    }
};

QTEST_MAIN(VectorSheetTest)
#include "gui_vector_sheet.moc"
