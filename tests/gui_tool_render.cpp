#include "ToolRunner.h"
#include "ViewProbe.h"
#include "alphabet/AlphabetWriter.h"
#include "alphabet/SampleAlphabet.h"
#include "app/AlphabetViewer.h"

#include <QElapsedTimer>
#include <QImage>
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
    std::string error;
    const std::vector<Point3> points = sampleAlphabet(48);
    if (!writeAlphabet(path.toStdString(), 48, sampleGlyphCount, points.data(), error))
        qWarning("%s", error.c_str());
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

        // Without Xvfb on the path it fails at once and says why.
        environment.insert("PATH", dir.filePath("nowhere"));
        QElapsedTimer timer;
        timer.start();
        run = runTool({"render", file, "-o", dir.filePath("none.png")}, {}, environment);
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("can't start Xvfb") && run.err.contains("xvfb package"), run.err);
        QVERIFY(timer.elapsed() < 10000);
        QVERIFY(!QFile::exists(dir.filePath("none.png")));
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
