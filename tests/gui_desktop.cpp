// The viewer as a desktop program: touchpad scrolling, keys through large
// alphabets, glyph tooltips, files opened from the command line, a drop or
// Ctrl+O, the shown file followed as it is replaced or rewritten, and the
// program's own command line run without any display.
#include "GlTestSupport.h"
#include "GlyphFileSupport.h"
#include "ToolRunner.h"
#include "app/AlphabetViewer.h"

#include <QElapsedTimer>
#include <QFileDialog>
#include <QMessageBox>
#include <QScopeGuard>
#include <QToolTip>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using P = CharGLWidgetProbe;

const QString appTitle = "Veltrane Alphabet Viewer";

// `count` glyphs of `points` points, glyph i's at x = i + shift: any point tells its glyph.
QVector<Point3> numbered(int count, int points, float shift = 0) {
    QVector<Point3> all;
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < points; ++k)
            all.append({float(i) + shift, float(k), 0});
    return all;
}

void writeNumbered(const QString& path, int count, int points, float shift = 0) {
    writeGlyphFile(path, points, count, numbered(count, points, shift));
}

// Writes the new glyphs beside `path` and renames them over it, as alphabet-tool does.
void replaceNumbered(const QString& path, int count, int points, float shift) {
    writeNumbered(path + ".new", count, points, shift);
    QCOMPARE(std::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)), 0);
}

// Writes glyphs as writeNumbered does, at a name of bytes that need not be text.
void writeNumberedAt(const QByteArray& path, int count, int points, float shift) {
    const QVector<Point3> all = numbered(count, points, shift);
    writeGlyphBytes(path.toStdString(), points, count, all.data(), std::size_t(all.size()));
}

// A pipe that an alarm opens as a writer, letting go a reader stuck waiting for one.
char alarmedPipe[512];
void openAlarmedPipe(int) {
    ::close(::open(alarmedPipe, O_RDWR | O_NONBLOCK));
}

// The x every point of glyph `index` has, as the view holds it.
float glyphX(const CharGLWidget& view, int index) {
    return P::glyphPoints(view)[index]->x;
}

// Holds for `milliseconds` that the view keeps showing `count` glyphs.
bool keepsShowing(const CharGLWidget& view, int count, int milliseconds = 500) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        if (P::glyphCount(view) != count)
            return false;
        QTest::qWait(20);
    }
    return true;
}

CharGLWidget& viewOf(AlphabetViewer& window) {
    return *window.findChild<CharGLWidget*>();
}

std::unique_ptr<AlphabetViewer> showWindow(const QByteArray& path = QByteArray()) {
    auto window = std::make_unique<AlphabetViewer>(nullptr, Qt::WindowFlags(), path);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the window was not exposed");
    return window;
}
std::unique_ptr<AlphabetViewer> showWindow(const QString& path) {
    return showWindow(QFile::encodeName(path));
}

// The text of the message box the window opens, waited for; the box is closed.
QString messageOf(QWidget& window) {
    QMessageBox* box = nullptr;
    if (!QTest::qWaitFor([&] { return (box = window.findChild<QMessageBox*>()) != nullptr; }, 2000))
        return QString();
    const QString text = box->text() + " " + box->informativeText();
    delete box;
    return text;
}

// Presses Ctrl+O in `window`, chooses `path` in the dialog that opens and accepts it.
bool chooseWithCtrlO(AlphabetViewer& window, const QString& path) {
    // X can drop an activation that comes while another window still holds the
    // focus, so it is asked for again until it is taken.
    if (!QTest::qWaitFor(
            [&] {
                window.activateWindow();
                return QTest::qWaitForWindowActive(&window, 500);
            },
            10000))
        return false;
    QTest::keyClick(&window, Qt::Key_O, Qt::ControlModifier);
    QFileDialog* dialog = nullptr;
    if (!QTest::qWaitFor([&] { return (dialog = window.findChild<QFileDialog*>()) != nullptr; },
                         10000) ||
        dialog->windowModality() != Qt::WindowModal) // open(), not exec()
        return false;
    dialog->selectFile(path);
    static_cast<QDialog*>(dialog)->accept(); // the dialog's own, as its Open button does
    return true;
}

// A view scrolled and with glyph 3 turned, to see whether an open keeps either.
const float tilted[4] = {0.6f, 0, 0, 0.8f};
void scrollAndTurn(CharGLWidget& view) {
    pressKey(&view, Qt::Key_Down);
    P::setOrientation(view, 3, tilted);
}
bool scrolledAndTurned(const CharGLWidget& view) {
    return P::scrollOffset(view) == 100 && P::orientation(view, 3)[0] == tilted[0];
}
bool fromTheTopUnturned(const CharGLWidget& view) {
    return P::scrollOffset(view) == 0 && P::turnsHeld(view) == 0;
}

// a.alphabet shown, scrolled and turned, with b.alphabet beside it: the same
// shapes 100 units to the right, so glyph 0 tells which file is shown.
std::unique_ptr<AlphabetViewer> showAWithBBeside(const QTemporaryDir& dir) {
    writeNumbered(dir.filePath("a.alphabet"), 26, 8);
    writeNumbered(dir.filePath("b.alphabet"), 26, 8, 100);
    auto window = showWindow(dir.filePath("a.alphabet"));
    scrollAndTurn(viewOf(*window));
    return window;
}
// b.alphabet replaced a.alphabet and is shown as a newly opened file.
bool showsBFromTheTop(AlphabetViewer& window) {
    const CharGLWidget& view = viewOf(window);
    return glyphX(view, 0) == 100.0f && fromTheTopUnturned(view) &&
           window.windowTitle() == "b.alphabet - " + appTitle;
}

// The widget that holds the view, noting the keys that reach it.
class KeyedParent : public QWidget {
public:
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.append(event->key()); }
};

} // namespace

class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs); }

    void touchpadDeltasAddUpToRowsAndNotchesStayWhole() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, numbered(26, 8));
        struct Turn {
            int delta;
            int times;
            float offset; // after them all
        };
        const Turn turns[] = {
            {-15, 7, 0},    {-15, 1, 100},                 // eight of 15 make a row
            {-15, 3, 100},  {15, 1, 100},   {-15, 7, 100}, // a turn back drops the rest
            {-15, 1, 200},  {-15, 5, 200},  {-120, 1, 300}, {-15, 7, 300}, // a notch too
            {-240, 1, 500}, {-240, 1, 500}, // past the last row: dropped whole
            {-15, 8, 600},  {-15, 16, 600}, {240, 1, 400},
        };
        int paints = view->paints;
        for (const Turn& turn : turns) {
            for (int i = 0; i < turn.times; ++i)
                QVERIFY(turnWheel(view.get(), {0, turn.delta}));
            paints += turn.times;
            QCOMPARE(P::scrollOffset(*view), turn.offset);
            QCOMPARE(view->paints, paints); // every wheel event repaints
        }
    }

    void keysMoveThroughALargeAlphabetWithinHomeAndEnd() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 1, 1000, numbered(1000, 1));
        struct Press {
            int key;
            float offset;
        };
        const Press presses[] = {
            {Qt::Key_End, 24600},    {Qt::Key_PageDown, 24600}, {Qt::Key_PageUp, 24200},
            {Qt::Key_Down, 24300},   {Qt::Key_Home, 0},         {Qt::Key_PageUp, 0},
            {Qt::Key_PageDown, 400}, {Qt::Key_Up, 300},         {Qt::Key_Home, 0},
            {Qt::Key_Up, -100},      {Qt::Key_Up, -200},        {Qt::Key_Up, -300},
            {Qt::Key_Up, -300},      {Qt::Key_PageUp, -300},    {Qt::Key_PageDown, 100},
            {Qt::Key_End, 24600},    {Qt::Key_Down, 24700},     {Qt::Key_Down, 24800},
            {Qt::Key_Down, 24900},   {Qt::Key_Down, 24900},     {Qt::Key_PageDown, 24900},
            {Qt::Key_PageUp, 24500},
        };
        for (const Press& press : presses) {
            const int paints = view->paints;
            pressKey(view.get(), press.key);
            QCOMPARE(P::scrollOffset(*view), press.offset);
            QCOMPARE(view->paints, paints + 1);
        }
        pressKey(view.get(), Qt::Key_End);
        QCOMPARE(P::cellAt(*view, 50, 399), 996); // the last row at the bottom
        QCOMPARE(P::cellAt(*view, 350, 399), 999);
        QCOMPARE(P::cellAt(*view, 50, 0), 984);
    }

    void keysTheViewDoesNotUseReachItsParent() {
        QTemporaryDir dir;
        const QString path = dir.filePath("glyphs.alphabet");
        writeNumbered(path, 26, 8);
        KeyedParent parent;
        auto* view = new TestView(&parent, QFile::encodeName(path).constData());
        view->resize(400, 400);
        for (int key : {Qt::Key_A, Qt::Key_Escape, Qt::Key_F5, Qt::Key_R, Qt::Key_PageDown,
                        Qt::Key_Down, Qt::Key_Home, Qt::Key_Space})
            pressKey(view, key);
        QCOMPARE(parent.keys, QList<int>({Qt::Key_A, Qt::Key_Escape, Qt::Key_F5, Qt::Key_Space}));
    }

    void hoveringACellNamesItsGlyph() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 1, 1000, numbered(1000, 1));
        auto hover = [&](QPoint at) {
            QHelpEvent event(QEvent::ToolTip, at, view->mapToGlobal(at));
            QCoreApplication::sendEvent(view.get(), &event);
        };
        hover({120, 230});
        QTRY_COMPARE(QToolTip::text(), QString("Glyph 9: label \"J\" (code 74), 1 point"));
        pressKey(view.get(), Qt::Key_End);
        hover({50, 350}); // on the glyph's one point, drawn at the cell's centre
        QTRY_COMPARE(
            QToolTip::text(),
            QString("Glyph 996: label \"%\" (code 37), 1 point\nPoint 0: x 996, y 0, z 0"));
        P::setScrollOffset(*view, 4700); // glyph 191, labelled by code 0, at the top right
        hover({350, 50});
        QTRY_COMPARE(QToolTip::text(), QString("Glyph 191: no label (code 0), 1 point\n"
                                               "Point 0: x 191, y 0, z 0"));
        pressKey(view.get(), Qt::Key_Home);
        pressKey(view.get(), Qt::Key_Up);
        hover({50, 50}); // above the first row: no glyph
        QTRY_VERIFY(!QToolTip::isVisible());

        QTemporaryDir other;
        auto eights = showGlyphs(other, 8, 26, numbered(26, 8));
        const QPoint at(350, 350);
        QHelpEvent event(QEvent::ToolTip, at, eights->mapToGlobal(at));
        QCoreApplication::sendEvent(eights.get(), &event);
        QTRY_COMPARE(QToolTip::text(), QString("Glyph 15: label \"P\" (code 80), 8 points"));

        // Coordinates in the fewest digits that give the float back, as export writes them:
        // seven significant digits would lose the last of each of these.
        QTemporaryDir exact;
        const Point3 point{0.33333334f, 1234567.9f, -1.0000001e-7f};
        auto one = showGlyphs(exact, 1, 1, {point});
        const QPoint centre(50, 50);
        QHelpEvent centred(QEvent::ToolTip, centre, one->mapToGlobal(centre));
        QCoreApplication::sendEvent(one.get(), &centred);
        QTRY_COMPARE(QToolTip::text(),
                     QString("Glyph 0: label \"A\" (code 65), 1 point\n"
                             "Point 0: x 0.33333334, y 1234567.9, z -1.0000001e-07"));
        const ToolRun exported = runTool({"export", exact.filePath("glyphs.alphabet")});
        QVERIFY2(exported.out.contains("\n0.33333334 1234567.9 -1.0000001e-07\n"), exported.out);
    }

    void startsOnTheDefaultFileOrTheOneNamed() {
        QTemporaryDir dir;
        inFolder(dir, [] {
            Capture out(stdout);
            auto window = showWindow();
            QCOMPARE(out.finish(), QByteArray("Unable to write file: ./universal.alphabet."));
            QCOMPARE(window->windowTitle(), appTitle);
            QCOMPARE(P::glyphCount(viewOf(*window)), 0);
            QCoreApplication::processEvents();
            QVERIFY(!window->findChild<QMessageBox*>()); // the default file may be missing
        });
        const QString path = dir.filePath("letters.alphabet");
        writeNumbered(path, 26, 8);
        auto named = showWindow(path);
        QCOMPARE(named->windowTitle(), "letters.alphabet - " + appTitle);
        QCOMPARE(P::glyphCount(viewOf(*named)), 26);

        const QString missing = dir.filePath("missing.alphabet");
        auto window = showWindow(missing);
        const QString message = messageOf(*window);
        QVERIFY2(message.contains(missing) && message.contains("No such file"),
                 qPrintable(message));
    }

    void aDroppedFileIsShownFromTheTop() {
        QTemporaryDir dir;
        auto window = showAWithBBeside(dir);
        CharGLWidget& view = viewOf(*window);
        QVERIFY(scrolledAndTurned(view));

        const QUrl b = QUrl::fromLocalFile(dir.filePath("b.alphabet"));
        QVERIFY(!dropUrls(window.get(), {b, b})); // one file at a time
        QVERIFY(!dropUrls(window.get(), {QUrl("https://example.org/b.alphabet")}));
        QCOMPARE(glyphX(view, 0), 0.0f);
        QVERIFY(dropUrls(window.get(), {b}));
        QVERIFY(showsBFromTheTop(*window));
    }

    void ctrlOOpensTheChosenFile() {
        QTemporaryDir dir;
        auto window = showAWithBBeside(dir);
        QVERIFY(chooseWithCtrlO(*window, dir.filePath("b.alphabet")));
        QVERIFY(showsBFromTheTop(*window));
    }

    void aFailedOpenSaysWhyAndKeepsTheGlyphs() {
        QTemporaryDir dir;
        writeNumbered(dir.filePath("a.alphabet"), 26, 8);
        const QString text = dir.filePath("notes.txt");
        QVERIFY(writeBytes(text, "hello"));
        auto window = showWindow(dir.filePath("a.alphabet"));
        CharGLWidget& view = viewOf(*window);
        scrollAndTurn(view);

        // Dropped over the glyphs, the window takes it.
        QVERIFY(dropUrls(&view, {QUrl::fromLocalFile(text)}));
        QString message = messageOf(*window);
        QVERIFY2(message.contains(text) && message.contains("looks like text, not a glyph file"),
                 qPrintable(message));

        const QString empty = dir.filePath("empty.alphabet");
        writeGlyphFile(empty, 8, 5, {}); // five glyphs announced, none there
        QVERIFY(chooseWithCtrlO(*window, empty));
        message = messageOf(*window);
        QVERIFY2(message.contains(empty) && message.contains("holds 0 in full"),
                 qPrintable(message));
        QCOMPARE(P::glyphCount(view), 26);
        QVERIFY(scrolledAndTurned(view));
        QCOMPARE(window->windowTitle(), "a.alphabet - " + appTitle);
    }

    // Text that import makes a glyph file of is named for what it is, with the
    // command that imports it, through every door, as the tool's commands name it.
    void importableTextIsNamedWithItsImport_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("kind");
        QTest::newRow("SVG") << QByteArray(
                                    "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/"
                                    "2000/svg\"><path d=\"M 0 0 L 10 10\"/></svg>\n")
                             << "SVG";
        QTest::newRow("Hershey font")
            << QByteArray("    1  9MWRMNV RRMVV RPSTS\n") << "a Hershey font";
        QTest::newRow("points") << QByteArray("0 0 0\n1 1 1\n2 0 0\n") << "text";
    }

    void importableTextIsNamedWithItsImport() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, kind);
        QTemporaryDir dir;
        writeNumbered(dir.filePath("a.alphabet"), 26, 8);
        const QString input = dir.filePath("drawn input");
        QVERIFY(writeBytes(input, bytes));
        const ToolRun info = runTool({"info", input});
        QCOMPARE(info.status, 2);
        const QString said = QString::fromUtf8(info.err).trimmed().section(": ", 1);
        QVERIFY2(said.startsWith(input + " looks like " + kind +
                                 ", not a glyph file; make a glyph "
                                 "file from it with: alphabet-tool import '" +
                                 input + "' -o"),
                 qPrintable(said));

        const auto check = [&](AlphabetViewer& window) {
            const QString message = messageOf(window);
            QVERIFY2(message.contains(said), qPrintable(message + "\nnot: " + said));
            QVERIFY(!message.contains("announces"));
        };
        auto named = showWindow(input); // as the argument
        check(*named);
        QVERIFY(!viewOf(*named).showsGlyphFile());
        named.reset(); // its window would compete for the focus Ctrl+O needs below
        auto window = showWindow(dir.filePath("a.alphabet"));
        QVERIFY(dropUrls(&viewOf(*window), {QUrl::fromLocalFile(input)}));
        check(*window);
        QVERIFY(chooseWithCtrlO(*window, input));
        check(*window);
        QCOMPARE(P::glyphCount(viewOf(*window)), 26);
    }

    // A pipe with no writer is refused at once through every door, with the
    // glyphs shown kept: nothing waits for a writer. An alarm lets a stuck open
    // go after three seconds, so that a viewer that waits fails instead of hanging.
    void aPipeIsRefusedWithoutWaiting() {
        QTemporaryDir dir;
        const QString fifo = dir.filePath("pipe.alphabet");
        QCOMPARE(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        writeNumbered(dir.filePath("a.alphabet"), 26, 8);
        std::snprintf(alarmedPipe, sizeof alarmedPipe, "%s", QFile::encodeName(fifo).constData());
        struct sigaction action {};
        action.sa_handler = openAlarmedPipe; // without SA_RESTART: open() returns at once
        sigaction(SIGALRM, &action, nullptr);
        const auto disarm = qScopeGuard([] { alarm(0); });
        enum Door { CommandLine, CtrlO, Drop };
        for (Door door : {CommandLine, CtrlO, Drop}) {
            alarm(3);
            auto window = showWindow(door == CommandLine ? fifo : dir.filePath("a.alphabet"));
            if (door == CtrlO)
                QVERIFY(chooseWithCtrlO(*window, fifo));
            else if (door == Drop)
                QVERIFY(dropUrls(window.get(), {QUrl::fromLocalFile(fifo)}));
            const QString message = messageOf(*window);
            QVERIFY2(message.contains(fifo) &&
                         message.contains("is a named pipe, not a regular file"),
                     qPrintable(message));
            QCOMPARE(P::glyphCount(viewOf(*window)), door == CommandLine ? 0 : 26);
        }
    }

    // A name that is not text (bytes 0xFF 0xFE) opens from the command line and
    // from a drop, is followed as it is replaced or rewritten, and is shown as
    // text in the title. (The file dialog shows such a name only as text.)
    void aNameThatIsNotTextOpensAndIsFollowed() {
        QTemporaryDir dir;
        const QByteArray name = QFile::encodeName(dir.path()) + "/bad\xff\xfename.alphabet";
        const QString title = QFile::decodeName("bad\xff\xfename.alphabet") + " - " + appTitle;
        const auto removeName = qScopeGuard([&] { ::unlink(name.constData()); }); // not as text
        writeNumberedAt(name, 26, 8, 100);
        Capture out(stdout);
        auto window = showWindow(name);
        QCOMPARE(out.finish(), QByteArray());
        CharGLWidget& view = viewOf(*window);
        QCOMPARE(glyphX(view, 0), 100.0f);
        QCOMPARE(window->windowTitle(), title);

        writeNumberedAt(name + ".new", 26, 8, 200);
        QCOMPARE(std::rename(name + ".new", name), 0);
        QTRY_COMPARE_WITH_TIMEOUT(glyphX(view, 0), 200.0f, 2000);
        writeNumberedAt(name, 26, 8, 300);
        QTRY_COMPARE_WITH_TIMEOUT(glyphX(view, 0), 300.0f, 2000);

        writeNumbered(dir.filePath("a.alphabet"), 26, 8);
        QVERIFY(dropUrls(window.get(), {QUrl::fromLocalFile(dir.filePath("a.alphabet"))}));
        QCOMPARE(glyphX(view, 0), 0.0f);
        QVERIFY(
            dropUrls(window.get(), {QUrl::fromEncoded("file://" + name.toPercentEncoding("/"))}));
        QCOMPARE(glyphX(view, 0), 300.0f);
        QCOMPARE(window->windowTitle(), title);
    }

    void aReplacedOrRewrittenFileIsShownKeepingTheViewWhileItsShapeHolds() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, numbered(26, 8));
        const QString path = dir.filePath("glyphs.alphabet");
        scrollAndTurn(*view);

        replaceNumbered(path, 26, 8, 100);
        QTRY_COMPARE_WITH_TIMEOUT(glyphX(*view, 0), 100.0f, 2000);
        QVERIFY(scrolledAndTurned(*view));
        // In place: the old mapping sees the new points too, but only a reload maps anew.
        const Point3* mapped = P::pointData(*view);
        writeNumbered(path, 26, 8, 200);
        QTRY_VERIFY_WITH_TIMEOUT(P::pointData(*view) != mapped, 2000);
        QCOMPARE(glyphX(*view, 25), 225.0f);
        QVERIFY(scrolledAndTurned(*view));

        writeNumbered(path, 26, 4, 300); // other points per glyph
        QTRY_COMPARE_WITH_TIMEOUT(P::pointsPerGlyph(*view), 4, 2000);
        QVERIFY(fromTheTopUnturned(*view));
        scrollAndTurn(*view);
        replaceNumbered(path, 27, 4, 400); // another glyph
        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 27, 2000);
        QCOMPARE(glyphX(*view, 26), 426.0f);
        QVERIFY(fromTheTopUnturned(*view));
    }

    void aHalfWrittenFileIsWaitedFor() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, numbered(26, 8));
        const QString path = dir.filePath("glyphs.alphabet");
        const QVector<Point3> forty = numbered(40, 8, 100);

        writeGlyphFile(path, 8, 40, forty.mid(0, 10 * 8)); // ten of forty glyphs so far
        QVERIFY(keepsShowing(*view, 26));
        appendPoints(path, forty.data() + 10 * 8, 30 * 8);
        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 40, 2000);
        QCOMPARE(glyphX(*view, 39), 139.0f);

        // A file that stays short is shown as it is, about a second after it stopped changing.
        QElapsedTimer timer;
        timer.start();
        writeGlyphFile(path, 8, 50, numbered(20, 8));
        QVERIFY(keepsShowing(*view, 40));
        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 20, 3000);
        QVERIFY2(timer.elapsed() >= 800, qPrintable(QString::number(timer.elapsed())));
    }

    void aReplacementWithoutGlyphsIsFollowedUntilItHasSome() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, numbered(26, 8));
        const QString path = dir.filePath("glyphs.alphabet");
        QVERIFY(writeBytes(path + ".new", "hello"));
        QCOMPARE(std::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)), 0);
        QVERIFY(keepsShowing(*view, 26, 1500)); // read after a second, and refused
        writeNumbered(path, 30, 8, 100);        // the new file, rewritten in place
        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 30, 2000);
    }

    void aVanishedFileLeavesItsGlyphsUntilItComesBack() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, numbered(26, 8));
        const QString path = dir.filePath("glyphs.alphabet");
        QVERIFY(QFile::remove(path));
        QVERIFY(keepsShowing(*view, 26, 1500)); // past the wait for a short file
        QCOMPARE(glyphX(*view, 25), 25.0f);
        QVERIFY(countPixels(view->frame(), view->rect(), isMostlyBlue) > 0); // still drawn

        writeNumbered(path, 12, 8, 100);
        QTRY_COMPARE_WITH_TIMEOUT(P::glyphCount(*view), 12, 2000);
        QCOMPARE(glyphX(*view, 11), 111.0f);
    }

    void helpAndUsageErrorsNeedNoDisplay() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        auto run = [&](const QStringList& arguments) {
            return runProgram(ALPHABET_VIEWER, arguments, {}, environment);
        };
        for (const char* help : {"--help", "-h"}) {
            const ToolRun shown = run({help});
            QCOMPARE(shown.status, 0);
            QVERIFY(shown.out.startsWith("usage: alphabet-viewer [--direction] [FILE]\n"));
            QVERIFY(shown.out.contains("Ctrl+O"));
        }
        const ToolRun unknown = run({"--bogus"});
        QCOMPARE(unknown.status, 2);
        QCOMPARE(unknown.err, QByteArray("alphabet-viewer: unknown option '--bogus'\n"
                                         "Try 'alphabet-viewer --help' for more information.\n"));
        const ToolRun two = run({"a.alphabet", "b.alphabet"});
        QCOMPARE(two.status, 2);
        QVERIFY2(two.err.contains("one glyph file at a time, not 'b.alphabet' as well"),
                 two.err.constData());
        // With nowhere to show a window, it says so instead of aborting inside Qt.
        const ToolRun nowhere = run({"a.alphabet"});
        QCOMPARE(nowhere.status, 1);
        QCOMPARE(nowhere.err, QByteArray("alphabet-viewer: no display to open the window on "
                                         "(neither DISPLAY nor WAYLAND_DISPLAY is set)\n"));
    }
};

QTEST_MAIN(DesktopTest)
#include "gui_desktop.moc"
