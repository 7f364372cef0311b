#include "GlyphFileSupport.h"
#include "PictureMarks.h"
#include "ToolRunner.h"
#include "ViewProbe.h"
#include "app/AlphabetViewer.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QtTest>

// Ctrl+S saves the view as it is shown, run at device pixel ratios 1 and 2.
class SavePictureTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        folder = std::make_unique<QTemporaryDir>();
        glyphFile = folder->filePath("letters.alphabet");
        writeGlyphFile(glyphFile, 6, sampleGlyphCount, sampleLetters(6));
        window = std::make_unique<AlphabetViewer>(nullptr, Qt::WindowFlags(),
                                                  QFile::encodeName(glyphFile));
        window->show();
        window->activateWindow(); // shortcuts reach the active window
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        view = window->findChild<CharGLWidget*>();
        // Scrolled by a row, one glyph turned.
        CharGLWidgetProbe::setScrollOffset(*view, 100);
        const float turn[4] = {0.3f, 0.2f, 0, std::sqrt(1 - 0.13f)};
        CharGLWidgetProbe::setOrientation(*view, 6, turn);
    }
    void cleanup() {
        window.reset();
        folder.reset();
    }

    void pngThroughTheDialogIsTheFrameShown() {
        QTest::keyClick(window.get(), Qt::Key_S, Qt::ControlModifier);
        auto* dialog = window->findChild<QFileDialog*>();
        QVERIFY(dialog && dialog->isVisible()); // open, and the window's events still run
        const QString png = folder->filePath("shown.png");
        dialog->selectFile(png);
        static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        QTRY_VERIFY(QFile::exists(png));
        QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        shown.setDevicePixelRatio(1); // a file holds pixels only
        const QImage saved = QImage(png).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(saved.size(), QSize(400, 400) * view->devicePixelRatioF());
        QCOMPARE(saved, shown);
    }

    void svgAndPdfPutTheDotsWhereTheViewShowsThem() {
        const QString svg = folder->filePath("shown.svg");
        QVERIFY(window->savePictureAs(svg));
        QVERIFY(window->savePictureAs(folder->filePath("shown.pdf")));
        QVERIFY(fileBytes(folder->filePath("shown.pdf")).startsWith("%PDF-"));
        const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QVector<QPointF> inView;
        for (const QPointF& dot : readSvgMarks(fileBytes(svg)).dots)
            if (QRectF(4, 4, 392, 392).contains(dot))
                inView.append(dot);
        // Rows 1 to 4 show: glyphs 4 to 19, six dots each.
        QCOMPARE(inView.size(), 16 * 6);
        int measured = 0;
        const double offset = worstDotOffset(shown, inView, view->devicePixelRatioF(), measured);
        QVERIFY2(offset <= 0.5 && measured > inView.size() / 2,
                 qPrintable(QString("%1 px over %2 dots").arg(offset).arg(measured)));
    }

    void failedSaveSaysWhyAndWritesNothing() {
        const QByteArray glyphs = fileBytes(glyphFile);
        QVERIFY(QFile::link(glyphFile, folder->filePath("link.svg")));
        const struct {
            QString path;
            const char* says;
        } cases[] = {{folder->filePath("link.svg"), "choose another output"},
                     {folder->filePath("missing/shown.pdf"), "missing/shown.pdf"},
                     {folder->filePath("shown.jpg"), ".jpg is no picture format written here"}};
        for (const auto& c : cases) {
            QVERIFY(!window->savePictureAs(c.path));
            QMessageBox* box = nullptr;
            QTRY_VERIFY((box = window->findChild<QMessageBox*>()) && box->isVisible());
            QVERIFY2(box->text().contains(c.path) && box->informativeText().contains(c.says),
                     qPrintable(box->informativeText()));
            delete box;
        }
        QCOMPARE(fileBytes(glyphFile), glyphs);
        QCOMPARE(QDir(folder->path()).entryList(QDir::Files | QDir::System),
                 QStringList({"letters.alphabet", "link.svg"}));
    }

private:
    std::unique_ptr<QTemporaryDir> folder;
    QString glyphFile;
    std::unique_ptr<AlphabetViewer> window;
    CharGLWidget* view = nullptr;
};

QTEST_MAIN(SavePictureTest)
#include "gui_save_picture.moc"
