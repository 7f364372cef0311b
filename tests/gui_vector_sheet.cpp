#include "GlyphFileSupport.h"
#include "PictureMarks.h"
#include "ToolRunner.h"
#include "ViewProbe.h"
#include "geometry/GlyphProjection.h"

#include <QtTest>
#include <sys/stat.h>

namespace {

// The sample letters of `points` points repeated to `count` glyphs.
QString writeLetters(const QTemporaryDir& dir, int points, int count = sampleGlyphCount) {
    const QString path = dir.filePath(QString("letters%1.alphabet").arg(count));
    writeGlyphFile(path, points, count, sampleLetters(points, count));
    return path;
}

QImage loaded(const QString& png) {
    return QImage(png).convertToFormat(QImage::Format_RGB32);
}

} // namespace

class VectorSheetTest : public QObject {
    Q_OBJECT

private slots:
    // The SVG's dots and frames against the GL picture of the same sheet and against
    // the PDF as pdftoppm draws it. Six points a glyph keep most dots apart, so each
    // can be measured.
    void dotsAndFramesLandWhereTheGlPictureHasThem() {
        QTemporaryDir dir;
        const QString file = writeLetters(dir, 6);
        for (const QStringList& turn : {QStringList{}, QStringList{"--turn", "1,1,0,35"}}) {
            for (const char* out : {"gl.png", "v.svg", "v.pdf"}) {
                const ToolRun run =
                    runTool(QStringList{"render", file, "-o", dir.filePath(out)} + turn);
                QVERIFY2(run.status == 0, run.err);
            }
            QCOMPARE(runProgram("pdftoppm", {"-r", "96", "-png", "-singlefile",
                                             dir.filePath("v.pdf"), dir.filePath("pdf")})
                         .status,
                     0);
            const SvgMarks marks = readSvgMarks(fileBytes(dir.filePath("v.svg")));
            QCOMPARE(marks.dots.size(), sampleGlyphCount * 6);
            QCOMPARE(marks.frameSides.size(), sampleGlyphCount * 4);
            for (const QImage& picture :
                 {loaded(dir.filePath("gl.png")), loaded(dir.filePath("pdf.png"))}) {
                QCOMPARE(picture.size(), QSize(400, 700));
                int measured = 0;
                const double dots = worstDotOffset(picture, marks.dots, 1, measured);
                const double frames = worstFrameOffset(picture, marks.frameSides);
                QVERIFY2(dots <= 0.5 && frames <= 0.5 && measured > marks.dots.size() / 2,
                         qPrintable(QString("dots %1 px (%2 measured), frames %3 px")
                                        .arg(dots)
                                        .arg(measured)
                                        .arg(frames)));
            }
        }
    }

    // A glyph so small that a point comes nearer the eye than the near plane: GL
    // leaves that point out, and so does the SVG.
    void pointsBeforeTheNearPlaneAreLeftOut() {
        QTemporaryDir dir;
        const QVector<Point3> points = {{-0.05f, 0, 0}, {0, 0.05f, 0},     {0.05f, 0, 0},
                                        {0, -0.05f, 0}, {0.02f, 0, 0.05f}, {-0.02f, 0, -0.05f}};
        const QString file = dir.filePath("tiny.alphabet");
        writeGlyphFile(file, 6, 1, points);
        const GlyphProjection projection(placeGlyphCamera(points.data(), 6), identityRotation);
        QVector<QPointF> cut;
        for (const Point3& p : points) {
            const ClipPoint clip = projection.clip(p);
            const CellPosition at = GlyphProjection::inCell(clip, 100);
            if (!GlyphProjection::insideDepthRange(clip))
                cut.append(QPointF(at.x, at.y));
        }
        QCOMPARE(cut.size(), 1);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("gl.png")}).status, 0);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("v.svg")}).status, 0);
        const QImage gl = loaded(dir.filePath("gl.png"));
        const SvgMarks marks = readSvgMarks(fileBytes(dir.filePath("v.svg")));
        QCOMPARE(marks.dots.size(), 5);
        int measured = 0;
        QVERIFY(worstDotOffset(gl, marks.dots, 1, measured) <= 0.5 && measured > 0);
        QVERIFY2(tint(gl.pixel(cut.front().toPoint()), 0) < 0.1, "GL draws the point cut away");
    }

    // 700 rows of one column: a PDF of five pages no taller than readers take, and
    // five SVG files.
    void tallSheetsGoIntoPages() {
        QTemporaryDir dir;
        const QString file = writeLetters(dir, 6, 700);
        QCOMPARE(runTool({"render", file, "--columns", "1", "-o", dir.filePath("s.pdf")}).status,
                 0);
        const QByteArray info =
            runProgram("pdfinfo", {"-f", "1", "-l", "5", dir.filePath("s.pdf")}).out;
        QVERIFY2(info.contains("Pages:           5") && info.count("size:  75 x 12225 pts") == 4 &&
                     info.contains("Page    5 size:  75 x 3600 pts"),
                 info);
        const ToolRun svg =
            runTool({"render", file, "--columns", "1", "-o", dir.filePath("s.svg")});
        QVERIFY2(svg.status == 0 && svg.err.contains("s-5.svg (page 5 of 5, glyphs 652 to 699)"),
                 svg.err);
        QVERIFY(fileBytes(dir.filePath("s-1.svg")).contains("viewBox=\"0 0 100 16300\""));
        QVERIFY(!QFile::exists(dir.filePath("s.svg")) && !QFile::exists(dir.filePath("s-6.svg")));
    }

    void outputRulesHoldForVectors() {
        QTemporaryDir dir;
        const QString file = writeLetters(dir, 6);
        const QByteArray glyphs = fileBytes(file);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("sheet.svg")}).status, 0);
        const ToolRun piped = runTool({"render", file, "-o", "-", "--format", "svg"});
        QVERIFY(piped.status == 0 && piped.out == fileBytes(dir.filePath("sheet.svg")));
        QVERIFY(runTool({"render", file, "-o", "-", "--format", "pdf"}).out.startsWith("%PDF-"));

        // A symlink stays and its target is replaced, keeping its mode.
        const QString target = dir.filePath("target.pdf");
        QVERIFY(writeBytes(target, "old") &&
                chmod(QFile::encodeName(target).constData(), 0640) == 0);
        QVERIFY(QFile::link(target, dir.filePath("link.pdf")));
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("link.pdf")}).status, 0);
        QVERIFY(QFileInfo(dir.filePath("link.pdf")).isSymLink() &&
                fileBytes(target).startsWith("%PDF-"));
        struct stat status;
        QVERIFY(stat(QFile::encodeName(target).constData(), &status) == 0 &&
                (status.st_mode & 0777) == 0640);

        const struct {
            QStringList arguments;
            const char* says;
        } refused[] = {
            {{"-o", file, "--format", "svg"}, "choose another output"},
            {{"-o", dir.filePath("x.pdf"), "--columns", "200"}, "wider than the 14400 points"},
            {{"-o", dir.filePath("x.svg"), "--format", "eps"}, "--format takes png, svg or pdf"},
            {{"-o", dir.filePath("x.svg"), "--turn", "0,0,0,90"}, "--turn takes"},
            {{"-o", dir.filePath("x.svg"), "--turn", "1,0,0"}, "--turn takes"},
            {{"-o", dir.filePath("x.jpg")}, "x.jpg: .jpg is no picture format written here"},
        };
        for (const auto& c : refused) {
            const ToolRun run = runTool(QStringList{"render", file} + c.arguments);
            QVERIFY2(run.status == 2 && run.err.contains(c.says), run.err);
        }
        QCOMPARE(fileBytes(file), glyphs);
        QVERIFY(!QFile::exists(dir.filePath("x.pdf")) && !QFile::exists(dir.filePath("x.svg")));
        QVERIFY(!QFile::exists(dir.filePath("x.jpg")));
        // --format wins over the name.
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("x.jpg"), "--format", "png"}).status,
                 0);
    }

    // An SVG sheet is its pixel size exactly, as a reader rasterises it, and SVG
    // and PDF carry the glyph file's name as their title; Qt's notice of an unset
    // XDG_RUNTIME_DIR never reaches the user.
    void sizeAndTitleAreTheSheets() {
        QTemporaryDir dir;
        const QString file = dir.filePath("A&B <letters>.alphabet");
        writeGlyphFile(file, 6, 26, sampleLetters(6, 26));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("XDG_RUNTIME_DIR");
        const struct {
            QStringList arguments;
            QSize size;
        } sheets[] = {
            {{}, {400, 700}}, {{"--columns", "8"}, {800, 400}}, {{"--glyphs", "3"}, {400, 100}}};
        for (const auto& sheet : sheets) {
            const QString svg = dir.filePath("sheet.svg");
            const ToolRun run =
                runTool(QStringList{"render", file, "-o", svg} + sheet.arguments, {}, environment);
            QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err);
            const QByteArray bytes = fileBytes(svg);
            QVERIFY2(bytes.contains(QString("<svg width=\"%1\" height=\"%2\"")
                                        .arg(sheet.size.width())
                                        .arg(sheet.size.height())
                                        .toUtf8()),
                     bytes.left(300));
            QVERIFY2(bytes.contains("<title>A&amp;B &lt;letters&gt;.alphabet</title>"),
                     bytes.left(300));
            const QString png = dir.filePath("sheet.png");
            QCOMPARE(runProgram("rsvg-convert", {svg, "-o", png}).status, 0);
            QCOMPARE(QImage(png).size(), sheet.size);
        }
        const QString pdf = dir.filePath("sheet.pdf");
        const ToolRun run = runTool({"render", file, "-o", pdf}, {}, environment);
        QVERIFY2(run.status == 0 && run.err.isEmpty(), run.err);
        const QByteArray info = runProgram("pdfinfo", {pdf}).out;
        QByteArray title;
        for (const QByteArray& line : info.split('\n'))
            if (line.startsWith("Title:"))
                title = line.mid(6).trimmed();
        QCOMPARE(title, QByteArray("A&B <letters>.alphabet"));
    }
};

QTEST_MAIN(VectorSheetTest)
#include "gui_vector_sheet.moc"
