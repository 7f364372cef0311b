#include "GlTestSupport.h"
#include "app/AlphabetViewer.h"
#include "app/ViewerStartup.h"

#include <QApplication>
#include <QStyle>
#include <QtTest>

namespace {

CharGLWidget* viewOf(AlphabetViewer& window) {
    return window.findChild<CharGLWidget*>();
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsFixedTitledAndNamed() {
        QTemporaryDir dir;
        inFolder(dir, [] {
            AlphabetViewer window;
            QCOMPARE(window.size(), QSize(430, 430));
            QCOMPARE(window.minimumSize(), QSize(430, 430));
            QCOMPARE(window.maximumSize(), QSize(430, 430));
            window.resize(1065, 886);
            QCOMPARE(window.size(), QSize(430, 430));
            QCOMPARE(window.windowTitle(), QString("Veltrane Alphabet Viewer"));
            QCOMPARE(window.objectName(), QString("AlphabetViewerClass"));
            QCOMPARE(window.centralWidget()->objectName(), QString("AlphabetWidget"));
            CharGLWidget* view = viewOf(window);
            QVERIFY(view);
            QCOMPARE(view->parentWidget(), window.centralWidget());
            QCOMPARE(view->geometry(), QRect(15, 15, 400, 400));
            QCOMPARE(view->format().samples(), 4);
            QCOMPARE(view->focusPolicy(), Qt::StrongFocus);
            QVERIFY(view->hasMouseTracking());
            QCOMPARE(QString(window.metaObject()->className()), QString("AlphabetViewer"));
            QCOMPARE(window.qt_metacast("AlphabetViewer"), static_cast<void*>(&window));
            QCOMPARE(window.qt_metacast(nullptr), static_cast<void*>(nullptr));
            QCOMPARE(view->qt_metacast("CharGLWidget"), static_cast<void*>(view));
        });
    }

    void viewPointsEveryGlyphIntoTheBlockWithIdentityOrientation() {
        QTemporaryDir dir;
        QVector<Point3> points;
        for (int i = 0; i < 15; ++i)
            points.append({float(i), 0, 0});
        writeGlyphFile(dir.filePath("universal.alphabet"), 5, 3, points);
        inFolder(dir, [] {
            AlphabetViewer window;
            const CharGLWidget& view = *viewOf(window);
            using P = CharGLWidgetProbe;
            QCOMPARE(P::glyphCount(view), 3);
            QCOMPARE(P::pointsPerGlyph(view), 5);
            QCOMPARE(P::glyphPoints(view)[2], P::pointData(view) + 10);
            QCOMPARE(P::glyphPoints(view)[2]->x, 10.0f);
            for (int i = 0; i < 3; ++i) {
                const float* q = P::orientation(view, i);
                QVERIFY(q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1);
                QCOMPARE(int(P::cellFlags(view, i)), 0);
            }
            QCOMPARE(P::cellSize(view), 100);
            QCOMPARE(P::columns(view), 4);
            QCOMPARE(P::scrollOffset(view), 0.0f);
            QCOMPARE(P::activeGlyph(view), -1);
            QCOMPARE(P::pressedButton(view), Qt::NoButton);
            QVERIFY(!P::dragging(view));
        });
    }

    void emptyAndMissingFilesGiveAnEmptyView() {
        QTemporaryDir empty;
        writeGlyphFile(empty.filePath("universal.alphabet"), 48, 0, {});
        inFolder(empty, [] {
            AlphabetViewer window;
            QCOMPARE(CharGLWidgetProbe::glyphCount(*viewOf(window)), 0);
        });
        QTemporaryDir missing;
        inFolder(missing, [] {
            AlphabetViewer window;
            const CharGLWidget& view = *viewOf(window);
            QCOMPARE(CharGLWidgetProbe::glyphCount(view), 0);
            QCOMPARE(CharGLWidgetProbe::pointsPerGlyph(view), 0);
            QVERIFY(!CharGLWidgetProbe::pointData(view));
            QCOMPARE(CharGLWidgetProbe::cellAt(view, 50, 50), -1);
        });
    }

    // "plastique" comes from Qt 5's style plugins; Qt 6 has no such style and
    // the viewer takes "Fusion" there.
    void plastiqueStyleOrFusion() {
        applyViewerStyle();
        const QString style = QApplication::style()->objectName().toLower();
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        QCOMPARE(style, QString("fusion"));
#else
        QCOMPARE(style, QString("plastique"));
#endif
    }
};

QTEST_MAIN(WindowTest)
#include "gui_window.moc"
