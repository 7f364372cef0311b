#include "ToolRunner.h"

#include <QtTest>

// Each command's option table refuses the same ways: the refusal's line, the
// hint to the command's --help after it or not (never the whole help), and
// status 2, with nothing on standard output.
class ToolOptionsTest : public QObject {
    Q_OBJECT

private slots:
    void refusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("says");
        QTest::addColumn<bool>("withHint");

        QTest::newRow("sample, out of range")
            << QStringList{"sample", "--points", "0"}
            << QByteArray("sample: --points takes a whole number from 1 to 1000000, not '0'")
            << false;
        QTest::newRow("sample, past int")
            << QStringList{"sample", "--points", "99999999999"}
            << QByteArray("sample: --points takes a whole number from 1 to 1000000, "
                          "not '99999999999'")
            << false;
        QTest::newRow("sample, unknown option")
            << QStringList{"sample", "--frobnicate"}
            << QByteArray("sample: unexpected argument '--frobnicate'") << true;
        QTest::newRow("sample, repeated option checked again")
            << QStringList{"sample", "--points", "3", "--points", "x"}
            << QByteArray("sample: --points takes a whole number from 1 to 1000000, not 'x'")
            << false;
        QTest::newRow("info, second file")
            << QStringList{"info", "a", "b"} << QByteArray("info: unexpected argument 'b'") << true;
        QTest::newRow("export, option as output")
            << QStringList{"export", "a", "-o", "-x"}
            << QByteArray("export: -o needs a file name, not the option '-x' (write ./-x for a "
                          "file of that name)")
            << false;
        QTest::newRow("import, missing value")
            << QStringList{"import", "a", "--from"}
            << QByteArray("import: --from needs jhf, svg or text") << false;
        QTest::newRow("import, bad value")
            << QStringList{"import", "a", "--from", "gif"}
            << QByteArray("import: --from takes jhf, svg or text, not 'gif'") << true;
        QTest::newRow("import, bad height")
            << QStringList{"import", "a", "--lift", "-1"}
            << QByteArray("import: --lift takes a height of 0 or more, not '-1'") << true;
        QTest::newRow("import, no input") << QStringList{"import", "--force"}
                                          << QByteArray("import: no input file given") << true;
        QTest::newRow("render, out of range")
            << QStringList{"render", "a", "--columns", "1001"}
            << QByteArray("render: --columns takes a whole number from 1 to 1000, not '1001'")
            << false;
        QTest::newRow("render, repeated option checked again")
            << QStringList{"render", "a", "--columns", "4", "--columns", "0"}
            << QByteArray("render: --columns takes a whole number from 1 to 1000, not '0'")
            << false;
        QTest::newRow("render, bad value")
            << QStringList{"render", "a", "--format", "gif"}
            << QByteArray("render: --format takes png, svg or pdf, not 'gif'") << false;
        QTest::newRow("render, missing value")
            << QStringList{"render", "a", "--turn"}
            << QByteArray("render: --turn needs AXIS_X,AXIS_Y,AXIS_Z,DEGREES") << false;
        QTest::newRow("unknown command")
            << QStringList{"draw", "a"} << QByteArray(": unknown command 'draw'") << true;
        QTest::newRow("render, no output")
            << QStringList{"render", "a"} << QByteArray("render: no output given (-o OUT.png)")
            << true;
    }

    void refusals() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, says);
        QFETCH(bool, withHint);
        const ToolRun run = runTool(arguments);
        QCOMPARE(run.status, 2);
        QVERIFY(run.out.isEmpty());
        // "render: ..." for a command's refusal, ": ..." for the tool's own.
        const QByteArray command = says.left(says.indexOf(':'));
        const QByteArray program =
            command.isEmpty() ? QByteArray("alphabet-tool") : "alphabet-tool " + command;
        const QByteArray hint = "Try '" + program + " --help' for more information.\n";
        QCOMPARE(run.err,
                 program + says.mid(command.size()) + "\n" + (withHint ? hint : QByteArray()));
    }

    // The usage lines come from the option tables: every option a command takes is shown.
    void usageNamesEveryOption_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("sample") << "sample" << QStringList{"--points", "-o", "--force"};
        QTest::newRow("export") << "export" << QStringList{"-o"};
        QTest::newRow("import") << "import"
                                << QStringList{"-o",      "--points", "--force", "--from",
                                               "--chars", "--lift",   "--strict"};
        QTest::newRow("render") << "render" << QStringList{"-o",       "--format", "--columns",
                                                           "--glyphs", "--turn",   "--direction"};
    }

    void usageNamesEveryOption() {
        QFETCH(QString, command);
        QFETCH(QStringList, options);
        const QByteArray help = runTool({command, "--help"}).out;
        QByteArray usage;
        for (const QByteArray& line : help.split('\n'))
            if (line.startsWith("usage:") || line.startsWith("    "))
                usage += line + "\n";
        for (const QString& option : options)
            QVERIFY2(usage.contains(" " + option.toUtf8() + " ") ||
                         usage.contains("[" + option.toUtf8() + "]") ||
                         usage.contains("[" + option.toUtf8() + " "),
                     qPrintable(option + " missing from " + usage));
    }
};

QTEST_GUILESS_MAIN(ToolOptionsTest)
#include "test_tool_options.moc"
