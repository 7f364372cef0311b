// What a file is, told from its bytes for every command and the viewer, and the
// picture format a file name asks for.
#include "import/InputKind.h"
#include "pictures/PictureFormat.h"

#include <QtTest>
#include <cstring>

Q_DECLARE_METATYPE(InputKind)
Q_DECLARE_METATYPE(PictureFormat)

namespace {

// A glyph file's bytes: the header, then `floats` values of 1.5.
QByteArray glyphFile(std::int32_t points, std::int32_t glyphs, int floats) {
    QByteArray bytes(8 + 4 * floats, '\0');
    std::memcpy(bytes.data(), &points, 4);
    std::memcpy(bytes.data() + 4, &glyphs, 4);
    const float value = 1.5f;
    for (int k = 0; k < floats; ++k)
        std::memcpy(bytes.data() + 8 + 4 * k, &value, 4);
    return bytes;
}

} // namespace

class FileKindsTest : public QObject {
    Q_OBJECT

private slots:
    void sniffTellsWhatAFileIs_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("text");
        QTest::addColumn<InputKind>("kind");
        QTest::addColumn<bool>("glyphFile");
        QTest::newRow("points") << QByteArray("0 0 0\n1 1 1\n") << true << InputKind::Text << false;
        QTest::newRow("CSV with a mark")
            << QByteArray("\xef\xbb\xbfx,y,z\n1,2,3\n") << true << InputKind::Text << false;
        QTest::newRow("SVG after blanks")
            << QByteArray("\n  <?xml version=\"1.0\"?><svg/>") << true << InputKind::Svg << false;
        QTest::newRow("Hershey record")
            << QByteArray("   12  9MWRMNV RRMVV RPSTS\n") << true << InputKind::Hershey << false;
        QTest::newRow("Hershey, a record of no pairs first")
            << QByteArray("    1  0\n    2  2JZ\n") << true << InputKind::Hershey << false;
        QTest::newRow("count 0 with pairs after is no record")
            << QByteArray("    1  0JZ\n") << true << InputKind::Text << false;
        QTest::newRow("shorter than a header")
            << QByteArray("hi") << true << InputKind::Text << false;
        QTest::newRow("glyph file") << glyphFile(2, 3, 18) << false << InputKind::Text << true;
        QTest::newRow("glyph file of no points")
            << glyphFile(0, 4, 0) << false << InputKind::Text << true;
        QTest::newRow("short glyph file")
            << glyphFile(2, 3, 12) << false << InputKind::Text << false;
        QTest::newRow("nothing") << QByteArray() << false << InputKind::Text << false;
    }

    void sniffTellsWhatAFileIs() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, text);
        QFETCH(InputKind, kind);
        QFETCH(bool, glyphFile);
        const FileSniff sniff =
            sniffFile(std::string_view(bytes.constData(), std::size_t(bytes.size())), bytes.size());
        QCOMPARE(sniff.looksLikeText, text);
        if (text)
            QCOMPARE(sniff.kind, kind);
        QCOMPARE(sniff.glyphFile, glyphFile);
    }

    void adviceNamesTheImport() {
        QCOMPARE(
            importAdvice("fonts/a.jhf", InputKind::Hershey),
            std::string("fonts/a.jhf looks like a Hershey font, not a glyph file; make a glyph "
                        "file from it with: alphabet-tool import fonts/a.jhf -o OUT.alphabet"));
        QCOMPARE(importAdvice("it's.svg", InputKind::Svg),
                 std::string("it's.svg looks like SVG, not a glyph file; make a glyph file from it "
                             "with: alphabet-tool import 'it'\\''s.svg' -o OUT.alphabet"));
    }

    void formatByName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("known");
        QTest::addColumn<PictureFormat>("format");
        QTest::newRow("png") << "a.png" << true << PictureFormat::Png;
        QTest::newRow("SVG in capitals") << "a.SVG" << true << PictureFormat::Svg;
        QTest::newRow("pdf") << "dir/a.pdf" << true << PictureFormat::Pdf;
        QTest::newRow("none") << "sheet" << true << PictureFormat::Png;
        QTest::newRow("dot in the folder") << "v1.2/sheet" << true << PictureFormat::Png;
        QTest::newRow("hidden file") << "dir/.png" << true << PictureFormat::Png;
        QTest::newRow("ends in a dot") << "sheet." << true << PictureFormat::Png;
        QTest::newRow("standard output") << "-" << true << PictureFormat::Png;
        QTest::newRow("jpg") << "dir/a.jpg" << false << PictureFormat::Png;
        QTest::newRow("png then more") << "a.png.gz" << false << PictureFormat::Png;
    }

    void formatByName() {
        QFETCH(QString, name);
        QFETCH(bool, known);
        QFETCH(PictureFormat, format);
        PictureFormat found = PictureFormat::Svg;
        std::string error;
        QCOMPARE(pictureFormatOf(name.toStdString(), found, error), known);
        if (known)
            QCOMPARE(found, format);
        else
            QVERIFY2(error.find(QFileInfo(name).fileName().toStdString() + ": .") == 0 &&
                         error.find("no picture format written here") != std::string::npos,
                     error.c_str());
    }
};

QTEST_APPLESS_MAIN(FileKindsTest)
#include "test_file_kinds.moc"
