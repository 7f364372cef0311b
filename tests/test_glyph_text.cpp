#include "GlyphFileSupport.h"

#include "alphabet/SampleAlphabet.h"
#include "import/text/GlyphText.h"
#include "import/text/TextEncoding.h"

#include <QtTest>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace {

float floatOf(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool sameBytes(const std::vector<Point3>& a, const std::vector<Point3>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Point3)) == 0;
}

GlyphSet parsed(const std::string& text, int resampleTo = 0) {
    GlyphSet glyphs;
    TextError error;
    if (!parseGlyphText(text, resampleTo, glyphs, error))
        qWarning("line %d: %s", error.line, error.message.c_str());
    return glyphs;
}

// `ascii` in UTF-16 of either byte order, with or without a byte-order mark.
std::string utf16(const std::string& ascii, bool littleEndian, bool mark) {
    std::string out = mark ? (littleEndian ? "\xff\xfe" : "\xfe\xff") : "";
    for (char c : ascii)
        out += littleEndian ? std::string{c, '\0'} : std::string{'\0', c};
    return out;
}

} // namespace

class GlyphTextTest : public QObject {
    Q_OBJECT

private slots:
    void charactersShowQuotedOrByCode_data() {
        QTest::addColumn<uint>("c");
        QTest::addColumn<bool>("visibleAscii");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("letter") << uint('A') << false << QByteArray("'A'");
        QTest::newRow("space") << uint(' ') << false << QByteArray("' '");
        QTest::newRow("accented") << uint(0xE9) << false << QByteArray("'\xc3\xa9'");
        QTest::newRow("beyond the BMP")
            << uint(0x1F600) << false << QByteArray("'\xf0\x9f\x98\x80'");
        QTest::newRow("control") << uint(0x07) << false << QByteArray("U+0007");
        QTest::newRow("C1 control") << uint(0x9F) << false << QByteArray("U+009F");
        QTest::newRow("ascii letter") << uint('z') << true << QByteArray("'z'");
        QTest::newRow("ascii space") << uint(' ') << true << QByteArray("U+0020");
        QTest::newRow("ascii delete") << uint(0x7F) << true << QByteArray("U+007F");
        QTest::newRow("half a pair") << uint(0xD800) << true << QByteArray("U+D800");
    }

    void charactersShowQuotedOrByCode() {
        QFETCH(uint, c);
        QFETCH(bool, visibleAscii);
        QFETCH(QByteArray, shown);
        QCOMPARE(QByteArray::fromStdString(
                     shownChar(c, visibleAscii ? Quoted::VisibleAscii : Quoted::Printable)),
                 shown);
    }

    void utf8DecodesWhatItEncodesAndRefusesTheMalformed() {
        std::u32string text;
        for (char32_t c : {U'A', char32_t(0x7FF), char32_t(0xFFFD), char32_t(0x10FFFF)}) {
            text.clear();
            QVERIFY(decodeUtf8(encodeUtf8(c), text));
            QVERIFY(text == std::u32string(1, c));
        }
        for (const char* bad : {"\xc0\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "\xe2\x82", "\x80"})
            QVERIFY2(!decodeUtf8(bad, text), bad);
    }

    void formatThenParseKeepsEveryBit() {
        const std::vector<Point3> sample = sampleAlphabet(48);
        GlyphSet back = parsed(formatGlyphText(sample.data(), 48, sampleGlyphCount));
        QCOMPARE(back.pointsPerGlyph, 48);
        QCOMPARE(back.glyphCount, sampleGlyphCount);
        QVERIFY(sameBytes(back.points, sample));

        // Random bit patterns (about one in 256 is a NaN with a random payload)
        // and the patterns at the edges of the format.
        std::vector<std::uint32_t> bits = {0x00000000, 0x80000000, 0x7f800000, 0xff800000,
                                           0x7fc00000, 0xffc00000, 0x7f800001, 0xff800001,
                                           0x7fffffff, 0xffffffff, 0x00000001, 0x807fffff,
                                           0x7f7fffff, 0x00800000, 0x7fc00001, 0x3f800000};
        std::mt19937 random(20261207);
        while (bits.size() < 3 * 7 * 3000)
            bits.push_back(static_cast<std::uint32_t>(random()));
        std::vector<Point3> points(bits.size() / 3);
        std::memcpy(points.data(), bits.data(), points.size() * sizeof(Point3));
        back = parsed(formatGlyphText(points.data(), 7, 3000));
        QCOMPARE(back.glyphCount, 3000);
        QVERIFY(sameBytes(back.points, points));
    }

    void numbersAsWrittenByHand_data() {
        QTest::addColumn<QByteArray>("token");
        QTest::addColumn<std::uint32_t>("bits");
        const struct {
            const char* token;
            std::uint32_t bits;
        } rows[] = {
            {"1", 0x3f800000},
            {"+1.5", 0x3fc00000},
            {"-0", 0x80000000},
            {".5", 0x3f000000},
            {"1.", 0x3f800000},
            {"1e-45", 0x00000001},
            {"INF", 0x7f800000},
            {"-Infinity", 0xff800000},
            {"nan", 0x7fc00000},
            {"-NaN", 0xffc00000},
            {"nan(0x1)", 0x7f800001},
            {"-nan(0x7FFFFF)", 0xffffffff},
            {"3.4028235e38", 0x7f7fffff},
        };
        for (const auto& row : rows)
            QTest::newRow(row.token) << QByteArray(row.token) << row.bits;
    }

    void numbersAsWrittenByHand() {
        QFETCH(QByteArray, token);
        QFETCH(std::uint32_t, bits);
        GlyphSet glyphs = parsed(token.toStdString() + " 0 0\n");
        QCOMPARE(glyphs.points.size(), std::size_t(1));
        QCOMPARE(bitsOf(glyphs.points[0].x), bits);
    }

    void exportWritesNaNsAsTheyAreRead() {
        // The default quiet NaN bare, others with their bits.
        const Point3 nans{floatOf(0x7fc00000), floatOf(0xff800001), floatOf(0x7fc00003)};
        const std::string text = formatGlyphText(&nans, 1, 1);
        QVERIFY2(text.find("\nnan -nan(0x1) nan(0x400003)\n") != std::string::npos, text.c_str());
    }

    void commentsAndBlankLinesShapeTheGlyphs() {
        const std::string text = "# a title\n"
                                 "0 0 0   # trailing comment\n"
                                 "# a comment inside a glyph does not split it\n"
                                 "1\t2 3\r\n"
                                 "\n"
                                 " \t\n"
                                 "4 5 6\n"
                                 "7 8 9"; // no final line break
        GlyphSet glyphs = parsed(text);
        QCOMPARE(glyphs.glyphCount, 2);
        QCOMPARE(glyphs.pointsPerGlyph, 2);
        QCOMPARE(glyphs.points[1].z, 3.0f);
        QCOMPARE(glyphs.points[3].x, 7.0f);
    }

    void badTextNamesItsLineAndLeavesTheGlyphsAlone_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("says");
        const struct {
            std::string text;
            int line;
            const char* says;
        } rows[] = {
            {"0 0 0\n1 2\n", 2, "expected three numbers x y z, found 2"},
            {"0 0 0 # fine\n1 2 3 4\n", 2, "found 4"},
            {"# c\n\n1 x 3\n", 3, "y: 'x' is not a number"},
            {"1 2 3abc\n", 1, "z: '3abc' is not a number"},
            {"1e39 0 0\n", 1, "x: '1e39' is out of the range of a 32-bit float"},
            {"0 -1e-50 0\n", 1, "out of the range"},
            {"0 0 0\n\nnan(0x0) 0 0\n", 3, "is not a NaN"},
            {"nan(0x800000) 0 0\n", 1, "is not a NaN"},
            {"nanx 0 0\n", 1, "is not a NaN"},
            {"+-1 0 0\n", 1, "'+-1' is not a number"},
            {"- 0 0\n", 1, "not a number"},
            {"0x1p3 0 0\n", 1, "not a number"},
            {std::string("0 \x01\xff", 4) + " 0\n", 1, "'\\x01\\xff' is not a number"},
            {"0 0 " + std::string(100, '7') + "z\n", 1, "'77777777777777777777777777777777...'"},
            {"", 0, "no points in the text"},
            {"# only a comment\n\n  \n", 0, "no points"},
            {"0 0 0\n1 1 1\n\n# glyph 1\n2 2 2\n", 5, "glyph 1 has 1 points where glyph 0 has 2"},
            {"0,,0\n", 1, "field 2 is empty (nothing between two separators)"},
            {"0 0 0\n;1;2\n", 2, "field 1 is empty (the line starts with a separator)"},
            {"1,2,3,\n", 1, "field 4 is empty (the line ends with a separator)"},
            {"1, ,2,3\n", 1, "field 2 is empty"},
            {"x,y,z\nx,y,z\n", 2, "x: 'x' is not a number"},
            {"x,y,z\n", 0, "no points"},
            {"# c\n1 2\n", 2, "found 2"},
            {utf16("0 0 0\n", true, true), 0,
             "UTF-16 (little-endian), not UTF-8; convert it with: "
             "iconv -f UTF-16LE -t UTF-8"},
            {utf16("0 0 0\n1 1 1\n", true, false), 0, "UTF-16 (little-endian)"},
            {utf16("0 0 0\n", false, true), 0, "iconv -f UTF-16BE"},
            {utf16("x y z\n0 0 0\n", false, false), 0, "UTF-16 (big-endian)"},
        };
        int k = 0;
        for (const auto& row : rows)
            QTest::addRow("%d: %s", k++, row.says)
                << QByteArray::fromStdString(row.text) << row.line << QByteArray(row.says);
    }

    void badTextNamesItsLineAndLeavesTheGlyphsAlone() {
        QFETCH(QByteArray, text);
        QFETCH(int, line);
        QFETCH(QByteArray, says);
        GlyphSet glyphs;
        glyphs.pointsPerGlyph = -5;
        TextError error;
        QVERIFY(!parseGlyphText(text.toStdString(), 0, glyphs, error));
        QCOMPARE(error.line, line);
        QVERIFY2(error.message.find(says.toStdString()) != std::string::npos,
                 error.message.c_str());
        QVERIFY(glyphs.pointsPerGlyph == -5 && glyphs.points.empty());
    }

    void textFromOtherProgramsReadsAsItIs() {
        // A spreadsheet's CSV: byte-order mark, column names, CRLF, a row of empty cells
        // between glyphs; then semicolons, tabs and mixed separators.
        const GlyphSet csv = parsed("\xef\xbb\xbfx,y,z\r\n0,1.5,-2\r\n3, 4 ,5e1\r\n,,\r\n"
                                    "6;7;8\r\n9\t10 ,11\r\n");
        const GlyphSet plain = parsed("0 1.5 -2\n3 4 5e1\n\n6 7 8\n9 10 11\n");
        QCOMPARE(csv.glyphCount, 2);
        QCOMPARE(csv.pointsPerGlyph, 2);
        QVERIFY(sameBytes(csv.points, plain.points));
        QCOMPARE(csv.header, std::string("x,y,z"));
        QCOMPARE(plain.header, std::string());

        // Only a first line without numbers is taken for column names, comments before it aside.
        QCOMPARE(parsed("# exported\n\"X\"; \"Y\"; \"Z\"  # names\n1;2;3\n").header,
                 std::string("\"X\"; \"Y\"; \"Z\""));
        GlyphSet glyphs;
        TextError error;
        QVERIFY(!parseGlyphText("nan x y\n", 0, glyphs, error)); // a NaN is a number: not names
        QCOMPARE(error.message, std::string("y: 'x' is not a number"));
        QCOMPARE(parsed("\xef\xbb\xbf"
                        "1 2 3\n")
                     .points.size(),
                 std::size_t(1));

        // The glyph lengths the text held, for the summary of a resampled import.
        const GlyphSet resampled = parsed("0 0 0\n1 1 1\n\n0 0 0\n1 0 0\n2 0 0\n", 4);
        QCOMPARE(resampled.pointsPerGlyph, 4);
        QCOMPARE(resampled.fewestInText, 2);
        QCOMPARE(resampled.mostInText, 3);
    }

    void textIsToldFromGlyphFiles() {
        const std::vector<Point3> sample = sampleAlphabet(48);
        std::string glyphFile("\x30\0\0\0\x1a\0\0\0", 8);
        glyphFile.append(reinterpret_cast<const char*>(sample.data()), 512);
        QVERIFY(!looksLikeText(glyphFile));
        QVERIFY(looksLikeText("0 0 0\r\n\t1 1 1\f\n"));
        QVERIFY(looksLikeText("\xef\xbb\xbfx,y,z\n# caf\xc3\xa9\n"));
        QVERIFY(looksLikeText(utf16("0 0 0\n", true, false)));
        QVERIFY(!looksLikeText(std::string("0 0\x01 0", 7)));
        QVERIFY(!looksLikeText(""));
    }

    void resamplingKeepsEndsAndSpacesEvenly() {
        // An L of arc length 4 (five points), then a straight stroke of three points.
        const std::string text = "0 0 0\n1 0 0\n2 0 0\n2 1 0\n2 2 0\n\n0 0 0\n0.5 0 0\n3 0 0\n";
        TextError error;
        GlyphSet glyphs;
        QVERIFY(!parseGlyphText(text, 0, glyphs, error));
        QCOMPARE(error.line, 7);
        QVERIFY(parseGlyphText(text, 5, glyphs, error));
        QCOMPARE(glyphs.pointsPerGlyph, 5);
        QCOMPARE(glyphs.glyphCount, 2);
        const Point3 expected[] = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {2, 1, 0}, {2, 2, 0}};
        for (int k = 0; k < 5; ++k)
            QVERIFY2(distance(glyphs.points[k], expected[k]) < 1e-6,
                     qPrintable(QString::number(k)));
        const Point3* straight = glyphs.points.data() + 5;
        QCOMPARE(straight[0].x, 0.0f);
        QCOMPARE(straight[4].x, 3.0f);
        for (int k = 1; k < 5; ++k)
            QVERIFY(std::fabs(distance(straight[k - 1], straight[k]) - 0.75) < 1e-6);

        // A resampling that would exceed the point limit is refused, not attempted.
        QVERIFY(!parseGlyphText(text, int(maxTextPoints / 2 + 1), glyphs, error));
        QCOMPARE(error.line, 0);
    }

    void mutatedTextFailsCleanlyOrParsesConsistently() {
        const std::vector<Point3> sample = sampleAlphabet(6);
        const std::string base = formatGlyphText(sample.data(), 6, 4);
        const std::string alphabet = "0123456789.-+eE#\n\t nanif()x";
        std::mt19937 random(7);
        for (int round = 0; round < 3000; ++round) {
            std::string text = base;
            for (int edit = 0, edits = 1 + int(random() % 4); edit < edits; ++edit) {
                const std::size_t at = random() % (text.size() + 1);
                const char c = alphabet[random() % alphabet.size()];
                switch (random() % 3) {
                case 0:
                    text.insert(at, 1, c);
                    break;
                case 1:
                    text.erase(at, 1);
                    break;
                default:
                    text.resize(at);
                }
            }
            GlyphSet glyphs;
            TextError error;
            const int resampleTo = int(random() % 3) * 4;
            if (parseGlyphText(text, resampleTo, glyphs, error)) {
                QVERIFY(glyphs.pointsPerGlyph > 0 && glyphs.glyphCount > 0);
                QCOMPARE(glyphs.points.size(),
                         std::size_t(glyphs.pointsPerGlyph) * std::size_t(glyphs.glyphCount));
            } else {
                const int lines = int(std::count(text.begin(), text.end(), '\n')) + 1;
                QVERIFY2(error.line >= 0 && error.line <= lines, text.c_str());
                QVERIFY(!error.message.empty());
            }
        }
    }
};

QTEST_APPLESS_MAIN(GlyphTextTest)
#include "test_glyph_text.moc"
