// Go-to-glyph's reading of its text, without a display: digits name a glyph,
// one Latin-1 character names the first glyph under that label, anything else
// is refused with the message the dialog shows.
#include "view/GlyphChoice.h"

#include <QtTest>

class GlyphChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void choosesOrRefuses_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("glyphCount");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("problem");
        const QString none;
        QTest::newRow("index") << "7" << 26 << 7 << none;
        QTest::newRow("index in spaces") << " 12 " << 26 << 12 << none;
        QTest::newRow("a digit is an index, not a label") << "1" << 300 << 1 << none;
        QTest::newRow("label A") << "A" << 26 << 0 << none;
        QTest::newRow("label Z") << "Z" << 26 << 25 << none;
        QTest::newRow("label a") << "a" << 300 << 32 << none;
        QTest::newRow("label before A wraps") << "@" << 300 << 255 << none;
        QTest::newRow("Latin-1 label") << QString(QChar(0xe9)) << 300 << 168 << none;
        QTest::newRow("index past the end")
            << "26" << 26 << -1 << "No glyph 26 in x.alphabet: its glyphs are 0 to 25.";
        QTest::newRow("no glyphs")
            << "0" << 0 << -1 << "No glyph 0 in x.alphabet: it holds no glyphs.";
        QTest::newRow("label past the end")
            << "a" << 26 << -1 << "No glyph labelled \"a\" in x.alphabet: its glyphs are 0 to 25.";
        QTest::newRow("empty") << "" << 26 << -1
                               << "\"\" is neither a glyph index nor a label character (for "
                                  "x.alphabet).";
        QTest::newRow("two letters")
            << "ab" << 26 << -1
            << "\"ab\" is neither a glyph index nor a label character (for x.alphabet).";
        QTest::newRow("signed")
            << "+3" << 26 << -1
            << "\"+3\" is neither a glyph index nor a label character (for x.alphabet).";
        QTest::newRow("negative")
            << "-1" << 26 << -1
            << "\"-1\" is neither a glyph index nor a label character (for x.alphabet).";
        QTest::newRow("beyond Latin-1")
            << QString(QChar(0x20ac)) << 300 << -1
            << QString("\"%1\" is neither a glyph index nor a label character (for x.alphabet).")
                   .arg(QChar(0x20ac));
    }

    void choosesOrRefuses() {
        QFETCH(QString, text);
        QFETCH(int, glyphCount);
        QFETCH(int, index);
        QFETCH(QString, problem);
        const GlyphChoice choice = chooseGlyph(text, glyphCount, "/some/where/x.alphabet");
        QCOMPARE(choice.index, index);
        QCOMPARE(choice.problem, problem);
    }
};

QTEST_APPLESS_MAIN(GlyphChoiceTest)
#include "test_glyph_choice.moc"
