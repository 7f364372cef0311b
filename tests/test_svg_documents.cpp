// SVG drawings as editors write them: nested viewports, lengths with units,
// hidden shapes in every form and the basic shapes, against points worked out
// by hand.

#include "import/pen/svg/SvgStrokes.h"

#include <QtTest>
#include <cmath>

namespace {

bool read(const QByteArray& text, PenFont& font, PenError& error) {
    SvgKind kind;
    return readSvg(std::string_view(text.constData(), std::size_t(text.size())), kind, font, error);
}

QByteArray document(const QByteArray& viewBox, const QByteArray& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' viewBox='" + viewBox + "'>" + body + "</svg>";
}

} // namespace

class SvgDocumentsTest : public QObject {
    Q_OBJECT

private slots:
    void viewportsAndUnitsPlaceALine_data() {
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QPointF>("from"); // y up: the viewBox's bottom left at the origin
        QTest::addColumn<QPointF>("to");
        const QByteArray line = "<line x1='0' y1='0' x2='10' y2='10'/>";
        const double mm = 96 / 25.4;
        QTest::newRow("nested x and y")
            << document("0 0 100 100", "<svg x='10' y='20'>" + line + "</svg>") << QPointF(10, 80)
            << QPointF(20, 70);
        QTest::newRow("nested viewBox, xMidYMid meet")
            << document("0 0 100 100",
                        "<svg width='50' height='20' viewBox='0 0 10 10'>" + line + "</svg>")
            << QPointF(15, 100) << QPointF(35, 80);
        QTest::newRow("preserveAspectRatio none")
            << document("0 0 100 100", "<svg width='50' height='20' viewBox='0 0 10 10' "
                                       "preserveAspectRatio='none'>" +
                                           line + "</svg>")
            << QPointF(0, 100) << QPointF(50, 80);
        QTest::newRow("xMinYMax slice")
            << document("0 0 100 100", "<svg width='50' height='20' viewBox='0 0 10 10' "
                                       "preserveAspectRatio='xMinYMax slice'>" +
                                           line + "</svg>")
            << QPointF(0, 130) << QPointF(50, 80);
        QTest::newRow("nested in a group's transform")
            << document("0 0 100 100", "<g transform='translate(5 5)'><svg x='10' y='10' "
                                       "width='20' height='20' viewBox='5 5 10 10'>"
                                       "<line x1='5' y1='5' x2='15' y2='15'/></svg></g>")
            << QPointF(15, 85) << QPointF(35, 65);
        QTest::newRow("absolute units")
            << document("0 0 200 200", "<line x1='1in' y1='10mm' x2='12pt' y2='1pc'/>")
            << QPointF(96, 200 - 10 * mm) << QPointF(16, 184);
        QTest::newRow("centimetres, capitals")
            << document("0 0 200 200", "<line x1='2.54CM' y1='0' x2='0' y2='1.5px'/>")
            << QPointF(96, 200) << QPointF(0, 198.5);
        QTest::newRow("percentages of the viewBox")
            << document("0 0 200 100", "<line x1='50%' y1='25%' x2='100%' y2='0'/>")
            << QPointF(100, 75) << QPointF(200, 100);
        QTest::newRow("percentages of a nested viewport")
            << document("0 0 200 100",
                        "<svg width='50%' height='50%' viewBox='0 0 10 10'>" + line + "</svg>")
            << QPointF(25, 100) << QPointF(75, 50);
        QTest::newRow("units inside a nested viewBox")
            << document("0 0 100 100", "<svg width='20' height='20' viewBox='0 0 10 10'>"
                                       "<line x1='0' y1='0' x2='0.25in' y2='0'/></svg>")
            << QPointF(0, 100) << QPointF(48, 100);
    }

    void viewportsAndUnitsPlaceALine() {
        QFETCH(QByteArray, svg);
        QFETCH(QPointF, from);
        QFETCH(QPointF, to);
        PenFont font;
        PenError error;
        QVERIFY2(read(svg, font, error), error.message.c_str());
        QCOMPARE(font.glyphs.size(), std::size_t(1));
        QCOMPARE(font.glyphs[0].strokes.size(), std::size_t(1));
        const PenStroke& stroke = font.glyphs[0].strokes[0];
        QCOMPARE(stroke.size(), std::size_t(2));
        QVERIFY2(std::hypot(stroke[0].x - from.x(), stroke[0].y - from.y()) < 1e-9 &&
                     std::hypot(stroke[1].x - to.x(), stroke[1].y - to.y()) < 1e-9,
                 qPrintable(QString("%1 %2 to %3 %4")
                                .arg(stroke[0].x)
                                .arg(stroke[0].y)
                                .arg(stroke[1].x)
                                .arg(stroke[1].y)));
    }

    void lengthsThatCannotBeReadAreRefused_data() {
        QTest::addColumn<QByteArray>("svg");
        QTest::addColumn<QString>("message");
        QTest::newRow("em") << document("0 0 10 10", "<line x1='1em' x2='5'/>")
                            << "x1 '1em' is not a length";
        QTest::newRow("percentage without a viewport")
            << QByteArray("<svg xmlns='http://www.w3.org/2000/svg'><line x2='50%'/></svg>")
            << "a percentage needs a viewport";
        QTest::newRow("negative radius")
            << document("0 0 10 10", "<circle r='-1'/>") << "<circle>: a radius is negative";
        QTest::newRow("bad preserveAspectRatio")
            << document("0 0 10 10", "<svg width='5' height='5' viewBox='0 0 1 1' "
                                     "preserveAspectRatio='middle'><line x2='1'/></svg>")
            << "preserveAspectRatio should be";
    }

    void lengthsThatCannotBeReadAreRefused() {
        QFETCH(QByteArray, svg);
        QFETCH(QString, message);
        PenFont font;
        PenError error;
        QVERIFY(!read(svg, font, error));
        QVERIFY2(QString::fromStdString(error.message).contains(message), error.message.c_str());
    }

    void hiddenShapesStayOut_data() {
        QTest::addColumn<QByteArray>("body"); // around a shape drawn from (0, 50) to (10, 50)
        QTest::addColumn<int>("strokes");     // with the line from (0, 0) that is always shown
        const auto row = [](const char* name, const QByteArray& body, int strokes) {
            QTest::newRow(name) << body << strokes;
        };
        const QByteArray shape = "<line x1='0' y1='50' x2='10' y2='50' ";
        row("shown", shape + "/>", 2);
        row("display attribute", shape + "display='none'/>", 1);
        row("display attribute in capitals", shape + "display='NONE'/>", 1);
        row("display in style, any case", shape + "style='stroke:red; DISPLAY : None'/>", 1);
        row("display !important", shape + "style='display:none !important'/>", 1);
        row("display ! important", shape + "style='display: none ! IMPORTANT;'/>", 1);
        row("visibility attribute", shape + "visibility='hidden'/>", 1);
        row("visibility collapse in style", shape + "style='visibility:collapse'/>", 1);
        row("hidden group", "<g visibility='hidden'>" + shape + "/></g>", 1);
        row("visible inside a hidden group",
            "<g visibility='hidden'>" + shape + "visibility='visible'/></g>", 2);
        row("display none is not undone inside",
            "<g style='display:none'>" + shape + "style='display:inline'/></g>", 1);
        row("class rule",
            "<style>.a { fill: none } .off { display: none }</style>" + shape + "class='a off'/>",
            1);
        row("id rule", "<style>#gone{visibility:hidden}</style>" + shape + "id='gone'/>", 1);
        row("rule after the shape", shape + "class='off'/><style>.off{display:none}</style>", 1);
        row("rule in CDATA with a comment",
            "<style><![CDATA[/* .x{} */ .off , .other { display : none }]]></style>" + shape +
                "class='off'/>",
            1);
        row("style attribute over the rule",
            "<style>.v{visibility:hidden}</style>" + shape +
                "class='v' style='visibility:visible'/>",
            2);
        row("important rule over the style attribute",
            "<style>.v{visibility:hidden!important}</style>" + shape +
                "class='v' style='visibility:visible'/>",
            2 - 1);
        row("rule over the attribute",
            "<style>.v{visibility:visible}</style>" + shape + "class='v' visibility='hidden'/>", 2);
        row("id over class",
            "<style>#i{display:inline} .c{display:none}</style>" + shape + "id='i' class='c'/>", 2);
        row("rule inside @media is not taken",
            "<style>@media print { .p { display: none } }</style>" + shape + "class='p'/>", 2);
        row("hidden circle", "<circle cx='5' cy='50' r='2' display='none'/>", 1);
    }

    void hiddenShapesStayOut() {
        QFETCH(QByteArray, body);
        QFETCH(int, strokes);
        PenFont font;
        PenError error;
        QVERIFY2(read(document("0 0 100 100", "<line x2='10'/>" + body), font, error),
                 error.message.c_str());
        QCOMPARE(int(font.glyphs[0].strokes.size()), strokes);
    }

    void basicShapesAreTheirPaths_data() {
        QTest::addColumn<QByteArray>("shape");
        QTest::addColumn<QPointF>("start");  // y up in a viewBox 100 high
        QTest::addColumn<QPointF>("centre"); // of the ellipse every point lies on, or of the rect
        QTest::addColumn<QPointF>("radii");  // the ellipse's; for a rect, its half sides
        QTest::newRow("circle") << QByteArray("<circle cx='30' cy='40' r='10'/>") << QPointF(40, 60)
                                << QPointF(30, 60) << QPointF(10, 10);
        QTest::newRow("ellipse") << QByteArray("<ellipse cx='50' cy='50' rx='20' ry='5'/>")
                                 << QPointF(70, 50) << QPointF(50, 50) << QPointF(20, 5);
        QTest::newRow("circle in millimetres")
            << QByteArray("<circle cx='10mm' cy='10mm' r='5mm'/>")
            << QPointF(15 * 96 / 25.4, 100 - 10 * 96 / 25.4)
            << QPointF(10 * 96 / 25.4, 100 - 10 * 96 / 25.4)
            << QPointF(5 * 96 / 25.4, 5 * 96 / 25.4);
        QTest::newRow("rect") << QByteArray("<rect x='10' y='20' width='40' height='30'/>")
                              << QPointF(10, 80) << QPointF(30, 65) << QPointF(-20, -15);
        // rx alone sets ry too, and each is cut to half its side: 20 by 10, so
        // no straight edge is left and the rounded rect is an ellipse.
        QTest::newRow("rect rounded past its sides")
            << QByteArray("<rect width='40' height='20' rx='30'/>") << QPointF(20, 100)
            << QPointF(20, 90) << QPointF(20, 10);
    }

    void basicShapesAreTheirPaths() {
        QFETCH(QByteArray, shape);
        QFETCH(QPointF, start);
        QFETCH(QPointF, centre);
        QFETCH(QPointF, radii);
        PenFont font;
        PenError error;
        QVERIFY2(read(document("0 0 100 100", shape), font, error), error.message.c_str());
        QCOMPARE(font.glyphs[0].strokes.size(), std::size_t(1));
        const PenStroke& stroke = font.glyphs[0].strokes[0];
        QVERIFY(std::hypot(stroke.front().x - start.x(), stroke.front().y - start.y()) < 1e-9);
        QVERIFY(stroke.back().x == stroke.front().x && stroke.back().y == stroke.front().y);
        for (const PenPoint& p : stroke) {
            const double dx = p.x - centre.x(), dy = p.y - centre.y();
            if (radii.x() < 0) { // a rect: every point on its outline, the corners among them
                QVERIFY(std::fabs(std::fabs(dx) + radii.x()) < 1e-9 ||
                        std::fabs(std::fabs(dy) + radii.y()) < 1e-9);
                continue;
            }
            const double r = std::hypot(dx / radii.x(), dy / radii.y());
            QVERIFY2(std::fabs(r - 1) < 3e-4, qPrintable(QString::number(r)));
        }
        if (radii.x() < 0)
            QCOMPARE(stroke.size(), std::size_t(5));
    }
};

QTEST_GUILESS_MAIN(SvgDocumentsTest)
#include "test_svg_documents.moc"
