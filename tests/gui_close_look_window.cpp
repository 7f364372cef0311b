#include "GlyphFileSupport.h"
#include "PictureMarks.h"
#include "ToolRunner.h"
#include "ViewProbe.h"
#include "app/AlphabetViewer.h"

#include <QWheelEvent>
#include <QtTest>

// The closer look in the window: its title, saved pictures and the file
// changing under it; run at device pixel ratios 1 and 2.
class CloseLookWindowTest : public QObject {
    Q_OBJECT

    void send(QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, at, view->mapToGlobal(at), button, held, modifiers);
        QCoreApplication::sendEvent(view, &event);
    }

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        glyphFile = folder->filePath("letters.alphabet");
        writeGlyphFile(glyphFile, 24, sampleGlyphCount, sampleLetters(24));
        window = std::make_unique<AlphabetViewer>(nullptr, Qt::WindowFlags(),
                                                  QFile::encodeName(glyphFile));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        view = window->findChild<CharGLWidget*>();
    }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void theTitleNamesTheGlyphShownAlone() {
        const QString grid = window->windowTitle();
        QString why;
        QVERIFY(window->showGlyphAlone(6, why));
        QCOMPARE(window->windowTitle(), grid + " - glyph 6 \"G\"");
        view->goToGlyph(25); // as Ctrl+G in the closer look
        QCOMPARE(view->glyphShownAlone(), 25);
        QCOMPARE(window->windowTitle(), grid + " - glyph 25 \"Z\"");
        QVERIFY(!window->showGlyphAlone(26, why));
        QCOMPARE(why, QString("letters.alphabet holds no glyph 26 (26 glyphs, from 0)"));
        QCOMPARE(view->glyphShownAlone(), 25);
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(window->windowTitle(), grid);
    }

    // Zoomed, panned and turned: the PNG is the frame shown, the SVG's dots
    // lie where the frame shows them.
    void theSavedPictureIsThePictureShown() {
        QString why;
        QVERIFY(window->showGlyphAlone(1, why));
        QWheelEvent wheel(QPointF(150, 180), QPointF(view->mapToGlobal(QPoint(150, 180))), QPoint(),
                          QPoint(0, 240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view, &wheel);
        send(QEvent::MouseButtonPress, {200, 200}, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, {215, 190}, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {215, 190}, Qt::LeftButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, {200, 200}, Qt::MiddleButton, Qt::MiddleButton);
        send(QEvent::MouseMove, {180, 230}, Qt::NoButton, Qt::MiddleButton);
        send(QEvent::MouseButtonRelease, {180, 230}, Qt::MiddleButton, Qt::NoButton);
        QVERIFY(CharGLWidgetProbe::closeLookZoom(*view) > 1.5);

        const QString png = folder->filePath("alone.png");
        QVERIFY(window->savePictureAs(png));
        QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1);
        QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), shown);

        const QString svg = folder->filePath("alone.svg");
        QVERIFY(window->savePictureAs(svg));
        QVERIFY(window->savePictureAs(folder->filePath("alone.pdf")));
        const SvgMarks marks = readSvgMarks(fileBytes(svg));
        QVector<QPointF> inView;
        for (const QPointF& dot : marks.dots)
            if (QRectF(20, 20, 360, 360).contains(dot))
                inView.append(dot);
        QVERIFY2(inView.size() >= 6 && inView.size() < 24,
                 qPrintable(QString::number(inView.size())));
        // Each dot where the frame shows one: within half a pixel, but for a dot
        // that the glyph's line runs through lengthwise, which loses an edge row
        // to it and is measured up to a pixel off.
        const QImage frame = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        int near = 0;
        for (const QPointF& dot : inView) {
            const QPointF seen = measuredDot(frame, dot, view->devicePixelRatioF());
            const double off =
                std::max(std::fabs(seen.x() - dot.x()), std::fabs(seen.y() - dot.y()));
            QVERIFY2(
                off <= 1,
                qPrintable(
                    QString("dot (%1, %2) seen %3 px off").arg(dot.x()).arg(dot.y()).arg(off)));
            near += off <= 0.5;
        }
        QVERIFY2(near >= inView.size() - 1,
                 qPrintable(QString("%1 of %2").arg(near).arg(inView.size())));
        // The frame lies at the view's edge.
        QCOMPARE(marks.frameSides.size(), 4);
        for (const QLineF& side : marks.frameSides)
            QVERIFY(side.x1() == 2.5 || side.x1() == 397.5 || side.y1() == 2.5 ||
                    side.y1() == 397.5);
    }

    // A reload keeps the glyph while the file holds it; one that loses it,
    // or another file opened, goes back to the grid, the title saying why.
    void aChangedFileKeepsOrLeavesTheGlyph() {
        const QString grid = window->windowTitle();
        QString why;
        QVERIFY(window->showGlyphAlone(20, why));
        const QString alone = window->windowTitle();
        writeGlyphFile(glyphFile + ".new", 12, sampleGlyphCount, sampleLetters(12));
        QVERIFY(QFile::rename(glyphFile + ".new", glyphFile) ||
                (QFile::remove(glyphFile) && QFile::rename(glyphFile + ".new", glyphFile)));
        QTRY_COMPARE(view->pointsPerGlyph(), 12);
        QCOMPARE(view->glyphShownAlone(), 20);
        QCOMPARE(window->windowTitle(), alone);

        writeGlyphFile(glyphFile + ".new", 12, 10, sampleLetters(12, 10));
        QFile::remove(glyphFile);
        QVERIFY(QFile::rename(glyphFile + ".new", glyphFile));
        QTRY_COMPARE(view->glyphCount(), 10);
        QCOMPARE(view->glyphShownAlone(), -1);
        QCOMPARE(window->windowTitle(), grid + " - glyph 20 is no longer in the file");

        QVERIFY(window->showGlyphAlone(3, why));
        const QString other = folder->filePath("other.alphabet");
        writeGlyphFile(other, 12, 5, sampleLetters(12, 5));
        QVERIFY(window->openFile(QFile::encodeName(other)));
        QCOMPARE(view->glyphShownAlone(), -1);
        QVERIFY(!window->windowTitle().contains("glyph"));
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    QString glyphFile;
    std::unique_ptr<AlphabetViewer> window;
    CharGLWidget* view = nullptr;
};

QTEST_MAIN(CloseLookWindowTest)
#include "gui_close_look_window.moc"
