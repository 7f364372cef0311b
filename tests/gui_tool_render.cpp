#include "GlyphFileSupport.h"
#include "ToolRunner.h"
#include "ViewProbe.h"
#include "app/AlphabetViewer.h"

#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QtTest>

namespace {

constexpr int cell = 100;

// The viewer's frame at a scroll offset, drawn afresh as a repaint of the viewer draws it.
QImage viewerFrame(CharGLWidget& view, float scrollOffset) {
    CharGLWidgetProbe::setScrollOffset(view, scrollOffset);
    return view.grabFramebuffer().convertToFormat(QImage::Format_RGB32);
}

QImage cellOf(const QImage& sheet, int index, int columns) {
    return sheet.copy(index % columns * cell, index / columns * cell, cell, cell);
}

QImage loadSheet(const QString& path) {
    return QImage(path).convertToFormat(QImage::Format_RGB32);
}

// The sample alphabet written as the viewer's own file in `dir`.
QString writeSample(const QTemporaryDir& dir) {
    const QString path = dir.filePath("universal.alphabet");
    writeGlyphFile(path, 48, sampleGlyphCount, sampleLetters(48));
    return path;
}

// A file of `count` glyphs: the sample letters of six points over and over.
QString writeManyGlyphs(const QTemporaryDir& dir, int count) {
    const QString path = dir.filePath("many.alphabet");
    writeGlyphFile(path, 6, count, sampleLetters(6, count));
    return path;
}

} // namespace

class ToolRenderTest : public QObject {
    Q_OBJECT

private slots:
    void sheetMatchesTheViewerPixelForPixel() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        const QString png = dir.filePath("sheet.png");
        const ToolRun run = runTool({"render", file, "-o", png});
        QVERIFY2(run.status == 0, run.err);
        const QImage sheet = loadSheet(png);
        QCOMPARE(sheet.size(), QSize(4 * cell, 7 * cell));

        // The viewer itself, opened where it finds the file, as a user starts it.
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        AlphabetViewer window;
        QDir::setCurrent(old);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CharGLWidget& view = *window.findChild<CharGLWidget*>();
        QCOMPARE(CharGLWidgetProbe::glyphCount(view), sampleGlyphCount);

        const QImage first = viewerFrame(view, 0);
        QCOMPARE(first.size(), QSize(400, 400));
        QCOMPARE(sheet.copy(0, 0, 400, 400), first);
        // The rows after the first page, as the viewer shows them scrolled by four rows.
        const QImage second = viewerFrame(view, 400);
        QCOMPARE(sheet.copy(0, 400, 400, 300), second.copy(0, 0, 400, 300));
        // Past glyph 25 the last row stays white.
        QCOMPARE(sheet.pixel(2 * cell + 50, 6 * cell + 50), qRgb(255, 255, 255));

        // With the direction marks, as the viewer's key D shows them.
        const QString marked = dir.filePath("marked.png");
        const ToolRun direction = runTool({"render", file, "-o", marked, "--direction"});
        QVERIFY2(direction.status == 0, direction.err);
        view.setDirectionShown(true);
        const QImage shown = viewerFrame(view, 0);
        QVERIFY(shown != first);
        QCOMPARE(loadSheet(marked).copy(0, 0, 400, 400), shown);
    }

    void otherColumnCountsMoveCellsUnchanged() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        const ToolRun run = runTool({"render", file, "-o", dir.filePath("4.png")});
        QVERIFY2(run.status == 0, run.err);
        const QImage four = loadSheet(dir.filePath("4.png"));
        for (int columns : {1, 3, 7}) {
            const QString png = dir.filePath(QString("%1.png").arg(columns));
            const ToolRun wide =
                runTool({"render", file, "-o", png, "--columns", QString::number(columns)});
            QVERIFY2(wide.status == 0, wide.err);
            const QImage sheet = loadSheet(png);
            const int rows = (sampleGlyphCount + columns - 1) / columns;
            QCOMPARE(sheet.size(), QSize(columns * cell, rows * cell));
            for (int i = 0; i < sampleGlyphCount; ++i)
                QVERIFY2(cellOf(sheet, i, columns) == cellOf(four, i, 4),
                         qPrintable(QString("%1 columns, cell %2").arg(columns).arg(i)));
        }
    }

    void startsItsOwnDisplayWhereNoneIsSet() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        const ToolRun here = runTool({"render", file, "-o", dir.filePath("here.png")});
        QVERIFY2(here.status == 0, here.err);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        const QString png = dir.filePath("own.png");
        ToolRun run = runTool({"render", file, "-o", png}, {}, environment);
        QVERIFY2(run.status == 0, run.err);
        QCOMPARE(loadSheet(png), loadSheet(dir.filePath("here.png")));

        // Without Xvfb on the path it stops at once, says why, and gives the status
        // its help promises for a display that can't be opened.
        environment.insert("PATH", dir.filePath("nowhere"));
        QElapsedTimer timer;
        timer.start();
        run = runTool({"render", file, "-o", dir.filePath("none.png")}, {}, environment);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains("can't start Xvfb") && run.err.contains("xvfb package"), run.err);
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY(!QFile::exists(dir.filePath("none.png")));
    }

    void unreachableDisplayIsReportedNotAborted() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        int number = 4731;
        while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)))
            ++number;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString(":%1").arg(number));
        const ToolRun run = runTool({"render", file, "-o", dir.filePath("s.png")}, {}, environment);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(
                     QString("can't open the display ':%1' (unset DISPLAY").arg(number).toUtf8()),
                 run.err);
        QVERIFY(!QFile::exists(dir.filePath("s.png")));
    }

    void scaleFactorsChangeNothing() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        const QString plain = dir.filePath("plain.png");
        QCOMPARE(runTool({"render", file, "-o", plain}).status, 0);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_SCALE_FACTOR", "2");
        environment.insert("QT_SCREEN_SCALE_FACTORS", "1.5");
        environment.insert("QT_ENABLE_HIGHDPI_SCALING", "1");
        const QString scaled = dir.filePath("scaled.png");
        const ToolRun run = runTool({"render", file, "-o", scaled}, {}, environment);
        QVERIFY2(run.status == 0, run.err);
        QCOMPARE(fileBytes(scaled), fileBytes(plain));
    }

    void outputRulesHoldForRender() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        const QByteArray glyphs = fileBytes(file);
        QVERIFY(QFile::link(file, dir.filePath("link.png")));
        for (const QString& out : {file, dir.filePath("link.png")}) {
            const ToolRun run = runTool({"render", file, "-o", out});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains("choose another output"), run.err);
        }
        QCOMPARE(fileBytes(file), glyphs);

        const QString png = dir.filePath("sheet.png");
        QCOMPARE(runTool({"render", file, "-o", png}).status, 0);
        const ToolRun piped = runTool({"render", file, "-o", "-"});
        QCOMPARE(piped.status, 0);
        QCOMPARE(piped.out, fileBytes(png));

        // A device that takes nothing: the drawing stops and says so.
        const ToolRun full = runTool({"render", file, "-o", "/dev/full"});
        QCOMPARE(full.status, 1);
        QVERIFY2(full.err.contains("/dev/full: can't write"), full.err);
    }

    void glyphRangeStartsTheSheet() {
        QTemporaryDir dir;
        const QString file = writeSample(dir);
        QCOMPARE(runTool({"render", file, "-o", dir.filePath("all.png")}).status, 0);
        const QImage all = loadSheet(dir.filePath("all.png"));
        const struct {
            const char* range;
            const char* columns;
            int first;
            int count;
        } cases[] = {{"5", "4", 5, 1}, {"20-", "4", 20, 6}, {"3-9", "3", 3, 7}};
        for (const auto& c : cases) {
            const QString png = dir.filePath("range.png");
            const ToolRun run =
                runTool({"render", file, "-o", png, "--glyphs", c.range, "--columns", c.columns});
            QVERIFY2(run.status == 0, run.err);
            const QImage sheet = loadSheet(png);
            const int columns = QByteArray(c.columns).toInt();
            const int rows = (c.count + columns - 1) / columns;
            QCOMPARE(sheet.size(), QSize(columns * cell, rows * cell));
            for (int k = 0; k < c.count; ++k)
                QVERIFY2(cellOf(sheet, k, columns) == cellOf(all, c.first + k, 4),
                         qPrintable(QString("--glyphs %1, cell %2").arg(c.range).arg(k)));
            if (c.count % columns)
                QCOMPARE(sheet.pixel(columns * cell - 50, rows * cell - 50), qRgb(255, 255, 255));
        }
        for (const char* range : {"26", "20-26"}) {
            const ToolRun run =
                runTool({"render", file, "-o", dir.filePath("bad.png"), "--glyphs", range});
            QCOMPARE(run.status, 2);
            QVERIFY2(run.err.contains("the file has 26 glyphs, numbered 0 to 25"), run.err);
        }
        QVERIFY(!QFile::exists(dir.filePath("bad.png")));
    }

    void tallSheetsGoIntoPages() {
        QTemporaryDir dir;
        const QString file = writeManyGlyphs(dir, 700);
        const QString png = dir.filePath("sheet.png");
        const ToolRun run = runTool({"render", file, "-o", png, "--columns", "1"});
        QVERIFY2(run.status == 0, run.err);
        // 700 rows of 100 pixels: four pages of 163 rows, the fifth of 48.
        const int heights[] = {16300, 16300, 16300, 16300, 4800};
        for (int page = 1; page <= 5; ++page) {
            const QString name = dir.filePath(QString("sheet-%1.png").arg(page));
            QVERIFY2(run.err.contains(("wrote " + name).toUtf8()), run.err);
            QCOMPARE(QImageReader(name).size(), QSize(cell, heights[page - 1]));
        }
        QVERIFY(!QFile::exists(png) && !QFile::exists(dir.filePath("sheet-6.png")));

        // Each page starts with the glyph after the last of the page before.
        const QString range = dir.filePath("range.png");
        QCOMPARE(
            runTool({"render", file, "-o", range, "--columns", "1", "--glyphs", "162-163"}).status,
            0);
        const QImage pair = loadSheet(range);
        QCOMPARE(loadSheet(dir.filePath("sheet-1.png")).copy(0, 16200, cell, cell),
                 pair.copy(0, 0, cell, cell));
        QCOMPARE(loadSheet(dir.filePath("sheet-2.png")).copy(0, 0, cell, cell),
                 pair.copy(0, cell, cell, cell));

        // Pages need file names: standard output is refused.
        const ToolRun piped = runTool({"render", file, "-o", "-", "--columns", "1"});
        QCOMPARE(piped.status, 2);
        QVERIFY2(piped.err.contains("page files, which need a file name") && piped.out.isEmpty(),
                 piped.err);
    }

    void filesWithoutGlyphsAreRefused() {
        QTemporaryDir dir;
        QCOMPARE(runTool({"render", dir.filePath("missing.alphabet"), "-o", "x.png"}).status, 2);
        const QString empty = dir.filePath("empty.alphabet");
        writeGlyphFile(empty, 48, 0, {});
        const ToolRun run = runTool({"render", empty, "-o", dir.filePath("empty.png")});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("no glyphs to render"), run.err);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"empty.alphabet"});
    }
};

QTEST_MAIN(ToolRenderTest)
#include "gui_tool_render.moc"
