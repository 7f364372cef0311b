#include "app/ViewerStartup.h"
#include "geometry/GlyphTurns.h"
#include "view/RedrawScope.h"

#include <QtTest>
#include <array>
#include <vector>

namespace {

using Orientation = std::array<float, 4>;

Orientation orientationOf(const GlyphTurns& turns, int index) {
    const float* q = turns.orientation(index);
    return {q[0], q[1], q[2], q[3]};
}

const Orientation identity{0, 0, 0, 1};

// The raw command line of a program called with `arguments`.
struct CommandLine {
    explicit CommandLine(const std::vector<const char*>& arguments) {
        storage.push_back("alphabet-viewer");
        storage.insert(storage.end(), arguments.begin(), arguments.end());
        for (std::string& argument : storage)
            pointers.push_back(argument.data());
    }
    int argc() const { return int(pointers.size()); }
    char** argv() { return pointers.data(); }

    std::vector<std::string> storage;
    std::vector<char*> pointers;
};

// What is asked of the redraw before a paint, in order.
enum Ask { Everything, Glyph3, Glyph4, Glyph3Moved };

} // namespace

class ViewerPartsTest : public QObject {
    Q_OBJECT

private slots:
    void onlyTurnedOrFlaggedGlyphsAreHeld() {
        GlyphTurns turns;
        QCOMPARE(orientationOf(turns, 4999999), identity);
        QCOMPARE(int(turns.flags(7)), 0);
        QCOMPARE(turns.held(), std::size_t(0));

        turns.turn(3)[0] = 0.6f;
        turns.turn(3)[3] = 0.8f;
        turns.setFlags(9, 2);
        QCOMPARE(orientationOf(turns, 3), Orientation({0.6f, 0, 0, 0.8f}));
        QCOMPARE(orientationOf(turns, 9), identity);
        QCOMPARE(int(turns.flags(9)), 2);
        QCOMPARE(turns.held(), std::size_t(2));

        // A reset keeps the flags, and only the glyphs that have some.
        turns.turn(9)[1] = 1;
        turns.resetOrientations();
        QCOMPARE(orientationOf(turns, 3), identity);
        QCOMPARE(orientationOf(turns, 9), identity);
        QCOMPARE(int(turns.flags(9)), 2);
        QCOMPARE(turns.held(), std::size_t(1));

        turns.clear();
        QCOMPARE(int(turns.flags(9)), 0);
        QCOMPARE(turns.held(), std::size_t(0));
    }

    void aPaintRedrawsOneCellOnlyForOneGlyphTurnedInPlace_data() {
        QTest::addColumn<QVector<int>>("asks");
        QTest::addColumn<int>("drawn"); // the glyph the next paint redraws, -1 for everything
        QTest::newRow("a paint nobody described") << QVector<int>{} << -1;
        QTest::newRow("one glyph's turn") << QVector<int>{Glyph3} << 3;
        QTest::newRow("the same glyph twice") << QVector<int>{Glyph3, Glyph3} << 3;
        QTest::newRow("two glyphs") << QVector<int>{Glyph3, Glyph4} << -1;
        QTest::newRow("a moved grid") << QVector<int>{Glyph3Moved} << -1;
        QTest::newRow("a turn, then the grid moved") << QVector<int>{Glyph3, Glyph3Moved} << -1;
        QTest::newRow("a turn after another change") << QVector<int>{Everything, Glyph3} << -1;
        QTest::newRow("another change after a turn") << QVector<int>{Glyph3, Everything} << -1;
    }
    void aPaintRedrawsOneCellOnlyForOneGlyphTurnedInPlace() {
        QFETCH(QVector<int>, asks);
        QFETCH(int, drawn);
        RedrawScope redraw;
        QCOMPARE(redraw.take(100), -1); // the first paint fills a new frame buffer
        for (int ask : asks) {
            if (ask == Everything)
                redraw.everything();
            else
                redraw.onlyGlyph(ask == Glyph4 ? 4 : 3, ask == Glyph3Moved ? 200 : 100);
        }
        QCOMPARE(redraw.take(100), drawn);
        QCOMPARE(redraw.take(100), -1);
    }

    void commandLineNamesOneFileOrAsksForHelp() {
        struct Case {
            QByteArrayList arguments;
            QByteArray file;
            bool help;
            QString error;
            bool version = false;
        };
        const Case cases[] = {
            {{}, "", false, ""},
            {{"my.alphabet"}, "my.alphabet", false, ""},
            {{"-"}, "-", false, ""},
            {{"--", "-h"}, "-h", false, ""},
            {{"--help"}, "", true, ""},
            {{"a.alphabet", "-h"}, "a.alphabet", true, ""},
            {{"--bogus"}, "", false, "unknown option '--bogus'"},
            {{"a", "b"}, "a", false, "one glyph file at a time, not 'b' as well"},
            {{"--direction", "a"}, "a", false, ""},
            {{"--", "--direction"}, "--direction", false, ""},
            {{"--version"}, "", false, "", true},
            {{"a", "--version"}, "a", false, "", true},
            {{"--", "--version"}, "--version", false, "", false},
        };
        for (const Case& c : cases) {
            const ViewerArguments parsed = parseViewerArguments(c.arguments);
            const QString what = QString::fromLatin1(c.arguments.join(' '));
            QVERIFY2(parsed.file == c.file, qPrintable(what));
            QVERIFY2(parsed.help == c.help, qPrintable(what));
            QVERIFY2(parsed.version == c.version, qPrintable(what));
            QVERIFY2(parsed.error == c.error, qPrintable(what + ": " + parsed.error));
            QCOMPARE(parsed.direction,
                     !c.arguments.isEmpty() && c.arguments.front() == "--direction");
        }
    }

    // --glyph N opens glyph N alone; anything but an index is a usage error.
    void glyphOptionTakesAnIndex_data() {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<int>("glyph");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("error");
        QTest::newRow("none") << QByteArrayList{"a"} << -1 << QByteArray("a") << QString();
        QTest::newRow("before the file")
            << QByteArrayList{"--glyph", "7", "a"} << 7 << QByteArray("a") << QString();
        QTest::newRow("after it, joined")
            << QByteArrayList{"a", "--glyph=0"} << 0 << QByteArray("a") << QString();
        QTest::newRow("after --, a file")
            << QByteArrayList{"--", "--glyph"} << -1 << QByteArray("--glyph") << QString();
        QTest::newRow("no index") << QByteArrayList{"a", "--glyph"} << -1 << QByteArray("a")
                                  << QString("--glyph needs a glyph index");
        for (const char* bad : {"-1", "x", "+3", "", "2147483648"})
            QTest::addRow("index '%s'", bad)
                << QByteArrayList{QByteArray("--glyph=") + bad, "a"} << -1 << QByteArray("a")
                << QString("--glyph takes a glyph index (0 or more), not '%1'").arg(bad);
    }
    void glyphOptionTakesAnIndex() {
        QFETCH(QByteArrayList, arguments);
        QFETCH(int, glyph);
        QFETCH(QByteArray, file);
        QFETCH(QString, error);
        const ViewerArguments parsed = parseViewerArguments(arguments);
        QCOMPARE(parsed.error, error);
        QCOMPARE(parsed.file, file);
        if (error.isEmpty())
            QCOMPARE(parsed.glyph, glyph);
    }

    void helpIsSeenBeforeAnyWindowSystem() {
        const auto asksForHelp = [](int argc, char** argv) {
            return parseViewerArguments(argumentsBesidesQt(argc, argv)).help;
        };
        CommandLine help({"--help"});
        QVERIFY(asksForHelp(help.argc(), help.argv()));
        CommandLine late({"x.alphabet", "-h"});
        QVERIFY(asksForHelp(late.argc(), late.argv()));
        CommandLine afterDashes({"--", "--help"});
        QVERIFY(!asksForHelp(afterDashes.argc(), afterDashes.argv()));
        CommandLine none({"-hx", "help"});
        QVERIFY(!asksForHelp(none.argc(), none.argv()));
        QVERIFY(
            QByteArray(viewerHelp()).startsWith("usage: alphabet-viewer [--direction] [FILE]\n"));
    }

    // What QApplication would take is left out before any display is asked for;
    // the rest stays the bytes it came as, text or not.
    void qtOptionsAreNoViewerArguments() {
        CommandLine line({"-platform", "xcb", "--style", "Fusion", "-reverse", "a\xff\xfe.alphabet",
                          "-stylesheet=x.qss", "--sync", "-bogus", "--", "-platform"});
        QCOMPARE(argumentsBesidesQt(line.argc(), line.argv()),
                 QByteArrayList({"a\xff\xfe.alphabet", "-bogus", "--", "-platform"}));
    }
};

QTEST_APPLESS_MAIN(ViewerPartsTest)
#include "test_viewer_parts.moc"
