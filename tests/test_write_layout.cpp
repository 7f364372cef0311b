// The layout rules of write against positions worked out by hand for our own
// small fonts, and the travel height and heights of each kind of source.

#include "WriteTestSupport.h"
#include "writing/TextLayout.h"
#include "writing/WriteJob.h"
#include "writing/WriteSource.h"
#include "writing/WriteText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

// Where each placed glyph's points begin: their lowest x and lowest y, in output units.
struct Corner {
    double x;
    double y;
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

SourceKind kindOfName(const QString& path) {
    return path.endsWith(".jhf")   ? SourceKind::Hershey
           : path.endsWith(".svg") ? SourceKind::SvgFont
                                   : SourceKind::GlyphFile;
}

// Sets `text` with the source at `path` and returns each placed glyph's corner.
bool placedCorners(const QString& path, const QString& text, const WriteOptions& given,
                   std::vector<Corner>& corners, std::u32string& missing) {
    WriteSource source;
    std::string error;
    if (source.load(path.toStdString(), fileBytes(path).toStdString(), kindOfName(path), error) !=
        SourceStatus::Ready) {
        qWarning("%s", error.c_str());
        return false;
    }
    std::vector<std::u32string> lines;
    if (!readTextLines(text.toStdString(), false, lines, error))
        return false;
    WriteJob job;
    WriteOptions options = given;
    options.sourceName = path.toStdString();
    if (job.prepare(source, lines, options, error) != WriteStatus::Ready) {
        qWarning("%s", error.c_str());
        return false;
    }
    // The job's defaults (spacing, line height) as prepare settled them.
    LayoutOptions layoutOptions = options.layout;
    if (!options.spacingGiven)
        layoutOptions.spacing = source.isFont() ? 0 : 0.2 * options.layout.size;
    if (!options.lineHeightGiven)
        layoutOptions.lineHeight = 1.6 * options.layout.size;
    TextLayout layout(lines, source, layoutOptions);
    missing = layout.missing();
    layout.forEach([&](const PlacedGlyph& placed) {
        double x = INFINITY, y = INFINITY;
        for (const Point3& p : placed.glyph->points) {
            x = std::min(x, placed.x0 + p.x * layout.scale());
            y = std::min(y, placed.y0 + p.y * layout.scale());
        }
        corners.push_back({x, y});
    });
    return true;
}

} // namespace

class WriteLayoutTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString svgCap, svgAscent, glyphs;

private slots:
    void initTestCase() {
        svgCap = dir.filePath("cap.svg");
        svgAscent = dir.filePath("ascent.svg");
        glyphs = dir.filePath("flat.alphabet");
        QFile cap(svgCap), ascent(svgAscent);
        QVERIFY(cap.open(QIODevice::WriteOnly) &&
                cap.write(writeFontSvg("cap-height=\"800\" ascent=\"900\"")) > 0);
        QVERIFY(ascent.open(QIODevice::WriteOnly) &&
                ascent.write(writeFontSvg("ascent=\"900\"")) > 0);
        cap.close();
        ascent.close();
        QVERIFY(writeFlatGlyphFile(glyphs.toStdString()));
    }

    void layoutRules_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("missing");
        QTest::addColumn<QList<double>>("corners"); // x, y of each placed glyph

        const QString jhf = writeFontJhf();
        // Hershey: s = 10 / 10; H's stems at -3, its left -5: corner 2; baseline y = -5.
        QTest::newRow("jhf H at the origin on the baseline")
            << jhf << "H" << QStringList{} << "" << QList<double>{2, 0};
        QTest::newRow("jhf advance from the margins")
            << jhf << "HI" << QStringList{} << "" << QList<double>{2, 0, 12, 0};
        QTest::newRow("jhf size scales")
            << jhf << "HI" << QStringList{"--size", "20"} << "" << QList<double>{4, 0, 24, 0};
        QTest::newRow("jhf spacing after every character")
            << jhf << "HI" << QStringList{"--spacing", "1"} << "" << QList<double>{2, 0, 13, 0};
        QTest::newRow("jhf the font's space")
            << jhf << "H I" << QStringList{} << "" << QList<double>{2, 0, 28, 0};
        QTest::newRow("jhf a lacking character is skipped without advance")
            << jhf << "HAI" << QStringList{} << "A" << QList<double>{2, 0, 12, 0};
        QTest::newRow("jhf lines 1.6 x size apart")
            << jhf << "H\nI" << QStringList{} << "" << QList<double>{2, 0, 2, -16};
        QTest::newRow("jhf line height") << jhf << "H\n\nI" << QStringList{"--line-height", "12"}
                                         << "" << QList<double>{2, 0, 2, -24};
        QTest::newRow("jhf centred")
            << jhf << "HI" << QStringList{"--align", "center"} << "" << QList<double>{-5, 0, 5, 0};
        QTest::newRow("jhf right-aligned, spacing not after the last")
            << jhf << "HI" << QStringList{"--align", "right", "--spacing", "1"} << ""
            << QList<double>{-13, 0, -2, 0};
        // "H H" is 10 + 16 + 10 = 36 wide.
        QTest::newRow("jhf width breaks at spaces")
            << jhf << "H H H" << QStringList{"--width", "35"} << ""
            << QList<double>{2, 0, 2, -16, 2, -32};
        QTest::newRow("jhf width fits two") << jhf << "H H H" << QStringList{"--width", "36"} << ""
                                            << QList<double>{2, 0, 28, 0, 2, -16};
        QTest::newRow("jhf a word wider than the width stands alone")
            << jhf << "I HHH I" << QStringList{"--width", "15"} << ""
            << QList<double>{2, 0, 2, -16, 12, -16, 22, -16, 2, -32};
        QTest::newRow("jhf a break drops its spaces, centred")
            << jhf << "H  I" << QStringList{"--width", "12", "--align", "center"} << ""
            << QList<double>{-3, 0, 0, -16};

        // SVG: cap-height 800 without H, so s = 8 / 800; baseline 0; L from x = 100.
        QTest::newRow("svg cap-height, baseline 0, glyph advance")
            << svgCap << "LT" << QStringList{"--size", "8"} << "" << QList<double>{1, 0, 4, 0};
        QTest::newRow("svg font advance and a space it lacks")
            << svgCap << "TL T" << QStringList{"--size", "8"} << ""
            << QList<double>{0, 0, 6, 0, 13, 0};
        QTest::newRow("svg ascent where no cap-height")
            << svgAscent << "L" << QStringList{"--size", "9"} << "" << QList<double>{1, 0};

        // Glyph file: H 10 high, baseline -1; A's left is 1, its advance 4;
        // spacing 0.2 x size; a space 0.5 x size whatever glyph its label falls on.
        QTest::newRow("glyph file label, left, advance and spacing")
            << glyphs << "AH" << QStringList{} << "" << QList<double>{0, 1, 6, 0};
        QTest::newRow("glyph file space")
            << glyphs << "A A" << QStringList{} << "" << QList<double>{0, 1, 13, 1};
        QTest::newRow("glyph file glyphs without finite points lack")
            << glyphs << "ABHa" << QStringList{"--spacing", "0"} << "Ba"
            << QList<double>{0, 1, 4, 0};
    }

    void layoutRules() {
        QFETCH(QString, source);
        QFETCH(QString, text);
        QFETCH(QStringList, options);
        QFETCH(QString, missing);
        QFETCH(QList<double>, corners);
        WriteOptions given;
        for (int i = 0; i + 1 < options.size(); i += 2) {
            const QString& name = options[i];
            const double value = options[i + 1].toDouble();
            if (name == "--size")
                given.layout.size = value;
            else if (name == "--spacing")
                given.spacingGiven = true, given.layout.spacing = value;
            else if (name == "--line-height")
                given.lineHeightGiven = true, given.layout.lineHeight = value;
            else if (name == "--width")
                given.layout.width = value;
            else if (name == "--align")
                given.layout.align = options[i + 1] == "center" ? Align::Center : Align::Right;
        }
        std::vector<Corner> placed;
        std::u32string lacking;
        QVERIFY(placedCorners(source, text, given, placed, lacking));
        QCOMPARE(QString::fromStdU32String(lacking), missing);
        QCOMPARE(int(placed.size()) * 2, corners.size());
        for (std::size_t k = 0; k < placed.size(); ++k) {
            QVERIFY2(std::abs(placed[k].x - corners[int(2 * k)]) < 1e-5 &&
                         std::abs(placed[k].y - corners[int(2 * k + 1)]) < 1e-5,
                     qPrintable(QString("glyph %1 at %2, %3; expected %4, %5")
                                    .arg(k)
                                    .arg(placed[k].x)
                                    .arg(placed[k].y)
                                    .arg(corners[int(2 * k)])
                                    .arg(corners[int(2 * k + 1)])));
        }
    }

    void travelHeight_data() {
        QTest::addColumn<QString>("source");
        QTest::addColumn<float>("middleZ"); // of the flat glyph file's A
        QTest::addColumn<double>("lift");   // 0: none given
        QTest::addColumn<bool>("penData");
        QTest::addColumn<double>("travel");

        QTest::newRow("font: a quarter of the size")
            << writeFontJhf() << 0.0f << 0.0 << true << 2.5;
        QTest::newRow("font with --lift") << writeFontJhf() << 0.0f << 4.0 << true << 4.0;
        QTest::newRow("flat glyph file") << QString() << 0.0f << 0.0 << true << 2.5;
        QTest::newRow("3-D letters clear their highest point")
            << QString() << 3.0f << 0.0 << false << 3.0 + 2.5;
        QTest::newRow("3-D letters with --lift") << QString() << 3.0f << 7.0 << false << 7.0;
    }

    void travelHeight() {
        QFETCH(QString, source);
        QFETCH(float, middleZ);
        QFETCH(double, lift);
        QFETCH(bool, penData);
        QFETCH(double, travel);
        QString path = source;
        if (path.isEmpty()) {
            path = dir.filePath("z.alphabet");
            QVERIFY(writeFlatGlyphFile(path.toStdString(), middleZ));
        }
        WriteSource loaded;
        std::string error;
        QCOMPARE(
            loaded.load(path.toStdString(), fileBytes(path).toStdString(), kindOfName(path), error),
            SourceStatus::Ready);
        QCOMPARE(loaded.isPenData(), penData);
        std::vector<std::u32string> lines{U"AH"};
        if (source.endsWith(".jhf"))
            lines = {U"HI"};
        WriteOptions options;
        options.liftGiven = lift > 0;
        options.lift = lift;
        WriteJob job;
        QCOMPARE(job.prepare(loaded, lines, options, error), WriteStatus::Ready);
        QCOMPARE(job.travelHeight(), travel);
    }

    void textLines_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("fromFile");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("error");

        QTest::newRow("a newline starts a line")
            << QByteArray("ab\ncd") << false << QStringList{"ab", "cd"} << "";
        QTest::newRow("an argument's last newline starts an empty line")
            << QByteArray("ab\n") << false << QStringList{"ab", ""} << "";
        QTest::newRow("a file's last line break ends its line")
            << QByteArray("ab\r\ncd\r\n") << true << QStringList{"ab", "cd"} << "";
        QTest::newRow("byte-order mark")
            << QByteArray("\xEF\xBB\xBFH\xC3\xA9") << true << QStringList{"H\u00e9"} << "";
        QTest::newRow("invalid UTF-8 with its offset")
            << QByteArray("ab\xC3(") << false << QStringList{} << "invalid UTF-8 at byte 2";
        QTest::newRow("a control character")
            << QByteArray("a\tb") << false << QStringList{} << "control character U+0009 at byte 1";
        QTest::newRow("UTF-16 with the command that converts it")
            << QByteArray("\xFF\xFEH\0i\0", 6) << true << QStringList{}
            << "iconv -f UTF-16LE -t UTF-8";
    }

    void textLines() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, fromFile);
        QFETCH(QStringList, lines);
        QFETCH(QString, error);
        std::vector<std::u32string> read;
        std::string problem;
        const bool ok = readTextLines(bytes.toStdString(), fromFile, read, problem);
        QVERIFY2(ok == error.isEmpty(), problem.c_str());
        QVERIFY2(QString::fromStdString(problem).contains(error), problem.c_str());
        QStringList got;
        for (const std::u32string& line : read)
            got << QString::fromStdU32String(line);
        QCOMPARE(got, lines);
    }
};

QTEST_GUILESS_MAIN(WriteLayoutTest)
#include "test_write_layout.moc"
