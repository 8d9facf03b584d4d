// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBXml.h"
#include "support/TestHelpers.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun
{
    int ExitCode = -1;
    QString Out;
    QString Err;
};

TRun cli(const QStringList &args)
{
    // Export starts a GUI application, which warns on stderr without a runtime folder.
    static QTemporaryDir runtime;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(QB_CLI_EXECUTABLE), args);
    TRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.ExitCode = process.exitCode();
    run.Out = QString::fromUtf8(process.readAllStandardOutput());
    run.Err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// A file as other programs write it: the body of article 1 in one CDATA section, a rich-text
// body holding a pasted picture of pictureBytes bytes as hex between two lines of text.
QByteArray oneSectionDocument(qsizetype pictureBytes)
{
    QByteArray bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<Snippets Version=\"1.1\" LastIID=\"1\">"
                       "<Article IID=\"_0\" Caption=\"Root\"><Items><Article IID=\"_1\" Caption=\"Screenshot\">"
                       "<Content><![CDATA[{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Calibri;}}\\pard\\f0 Before the "
                       "picture\\par{\\pict\\pngblip\\picw100\\pich100 ";
    bytes.reserve(bytes.size() + 2 * pictureBytes + 200);
    static const char hex[] = "0123456789abcdef";
    for (qsizetype i = 0; i < pictureBytes; ++i) {
        bytes += hex[(i * 7) % 16];
        bytes += hex[(i / 3) % 16];
        if (i % 64 == 63)
            bytes += "\r\n";
    }
    bytes += "}\\par After the picture\\par}]]></Content></Article></Items></Article></Snippets>\r\n";
    return bytes;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void usage_helpListsTheCommands_wrongUsageExitsWith2()
    {
        const TRun help = cli({QStringLiteral("--help")});
        QCOMPARE(help.ExitCode, 0);
        for (const char *command : {"info FILE", "tree FILE", "body FILE IID", "convert IN OUT [--encoding NAME]"})
            QVERIFY2(help.Out.contains(QLatin1String(command)), command);

        const TRun none = cli({});
        QCOMPARE(none.ExitCode, 2);
        QVERIFY(none.Err.startsWith(QStringLiteral("Usage: quillbox-cli")));
        QCOMPARE(cli({QStringLiteral("frobnicate")}).ExitCode, 2);
        const QString file = testData(QStringLiteral("xqb/notebook-1.1.xqb"));
        QCOMPARE(cli({QStringLiteral("info")}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("info"), file, file}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("tree")}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("body"), file}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("body"), file, QStringLiteral("x")}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("convert"), file}).ExitCode, 2);
        QCOMPARE(cli({QStringLiteral("convert"), file, QStringLiteral("out"), QStringLiteral("--encoding")}).ExitCode,
                 2);
    }

    void help_ofOneCommand_explainsItsOptions_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("info") << "info" << QStringList();
        QTest::newRow("convert") << "convert" << QStringList{"--encoding NAME"};
        QTest::newRow("search") << "search" << QStringList{"--match-case", "--whole-words", "--titles", "--from IID"};
        QTest::newRow("export") << "export"
                                << QStringList{"--scope", "--format", "--no-titles", "--numbering", "--keep-empty"};
        QTest::newRow("print") << "print" << QStringList{"--scope", "--paper", "--margins", "--keep-empty"};
    }

    void help_ofOneCommand_explainsItsOptions()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, options);
        const TRun before = cli({QStringLiteral("--help"), command});
        const TRun after = cli({command, QStringLiteral("--help")});
        QCOMPARE(before.ExitCode, 0);
        QCOMPARE(after.ExitCode, 0);
        QCOMPARE(before.Out, after.Out);
        QVERIFY(before.Out.startsWith(QStringLiteral("Usage: quillbox-cli ") + command + QLatin1Char(' ')));
        for (const QString &option : options)
            QVERIFY2(before.Out.contains(QStringLiteral("\n  ") + option), qPrintable(option));
        QCOMPARE(before.Out.contains(QStringLiteral("Options:")), !options.isEmpty());

        const TRun unknown = cli({QStringLiteral("--help"), QStringLiteral("frobnicate")});
        QCOMPARE(unknown.ExitCode, 2);
        QVERIFY(unknown.Err.contains(QStringLiteral("unknown command 'frobnicate'")));
    }

    void info_printsKeyValueLines()
    {
        const TRun run = cli({QStringLiteral("info"), testData(QStringLiteral("xqb/notebook-1.1.xqb"))});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Err, QString());
        QCOMPARE(run.Out,
                 QStringLiteral("version: 1.1\nencoding: UTF-8\nlast-iid: 9\narticles: 4\nauthor: Ada & Grace\n"
                                "copyright: (c) 2004 Brindlewood\nrevision: 12\nauto-revision: no\n"
                                "remarks: Line one\\nLine two\n"));
        const TRun old = cli({QStringLiteral("info"), testData(QStringLiteral("xqb/notebook-1.0.xqb"))});
        QVERIFY(old.Out.startsWith(QStringLiteral("version: 1.0\n")));
        const TRun cyrillic =
            cli({QStringLiteral("info"), testData(QStringLiteral("xqb/single-quotes-windows-1251.xqb"))});
        QVERIFY(cyrillic.Out.contains(QStringLiteral("encoding: windows-1251\n")));
        QVERIFY(cyrillic.Out.contains(QStringLiteral("author: Пётр\n")));
        QVERIFY(cyrillic.Out.contains(QStringLiteral("auto-revision: yes\n")));
    }

    void tree_printsOneLinePerArticleInPreOrder()
    {
        const TRun run = cli({QStringLiteral("tree"), testData(QStringLiteral("xqb/notebook-1.1.xqb"))});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Out, QStringLiteral("0\t0\t0\t2004-02-29 23:59:58\t0\tNotebook\n"
                                         "1\t3\t2\t2004-03-01 00:00:01\t83\tGrüße & \"quotes\"\n"
                                         "2\t7\t11\t2004-03-02 12:30:00\t0\tDeep\n"
                                         "1\t9\t0\t2004-03-03 08:00:00\t34\tSecond\n"));
    }

    void tree_captionWithLineBreaksAndTabs_staysInItsColumn()
    {
        QTemporaryDir dir;
        const QString fileName = dir.filePath(QStringLiteral("breaks.xqb"));
        IQBDocumentPtr document = QBReadDocument(testData(QStringLiteral("xqb/example-1.1.xqb")));
        document->Root()->SetCaption(QStringLiteral("two\nlines\t😀"));
        QBWriteDocument(document, fileName);
        const TRun run = cli({QStringLiteral("tree"), fileName});
        QCOMPARE(run.Out.count(QLatin1Char('\n')), 3);
        QVERIFY(run.Out.startsWith(QStringLiteral("0\t0\t0\t2003-01-15 09:30:00\t0\ttwo\\nlines\\t😀\n")));
    }

    void body_printsTheStoredTextExactly()
    {
        const QString file = testData(QStringLiteral("xqb/notebook-1.1.xqb"));
        const TRun run = cli({QStringLiteral("body"), file, QStringLiteral("3")});
        QCOMPARE(run.ExitCode, 0);
        QCOMPARE(run.Out,
                 QStringLiteral("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Tahoma;}}\\f0\\fs16 Gr\\u252?\\'fc\\u223?e & "
                                "<tags>\\par }"));
        QCOMPARE(cli({QStringLiteral("body"), file, QStringLiteral("_9")}).Out,
                 QStringLiteral("{\\rtf1\\ansi Plain \\b bold\\b0\\par }"));
        QCOMPARE(cli({QStringLiteral("body"), file, QStringLiteral("0")}).Out, QString());
        const TRun missing = cli({QStringLiteral("body"), file, QStringLiteral("99")});
        QCOMPARE(missing.ExitCode, 1);
        QVERIFY(missing.Err.contains(QStringLiteral("no article has the ID 99")));
    }

    void badDocuments_exitWith1AndTheReadersMessage_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("reader") << QStringLiteral("broken/root-element-not-snippets.xqb")
                                << QStringLiteral("Not a valid Quillbox document.");
        QTest::newRow("identifier") << QStringLiteral("broken/iid-not-a-number.xqb")
                                    << QStringLiteral("Invalid article ID: _x.");
        QTest::newRow("parser") << QStringLiteral("broken/mismatched-end-tag.xqb")
                                << QStringLiteral("Opening and ending tag mismatch: Article line 2 and Items (line 2, "
                                                  "column 78)");
        QTest::newRow("missing") << QStringLiteral("broken/no-such-file.xqb") << QStringLiteral("Cannot open");
    }
    void badDocuments_exitWith1AndTheReadersMessage()
    {
        QFETCH(QString, file);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("out"));
        // Every command that reads a document reports a failure the same way.
        const QList<QStringList> commands{{QStringLiteral("info")},
                                          {QStringLiteral("tree")},
                                          {QStringLiteral("convert"), out},
                                          {QStringLiteral("body"), QStringLiteral("1")},
                                          {QStringLiteral("text"), QStringLiteral("1")},
                                          {QStringLiteral("search"), QStringLiteral("fox")},
                                          {QStringLiteral("export"), out + QStringLiteral(".txt")}};
        for (QStringList args : commands) {
            args.insert(1, testData(file));
            const TRun run = cli(args);
            QCOMPARE(run.ExitCode, 1);
            QCOMPARE(run.Out, QString());
            QVERIFY2(run.Err.contains(message), qPrintable(run.Err));
            QVERIFY(run.Err.startsWith(QStringLiteral("quillbox-cli: ")));
        }
    }

    void convert_writesVersion11InTheGivenEncoding()
    {
        QTemporaryDir dir;
        const QString same = dir.filePath(QStringLiteral("same.xqb"));
        QCOMPARE(cli({QStringLiteral("convert"), testData(QStringLiteral("xqb/example-1.1.xqb")), same}).ExitCode, 0);
        QCOMPARE(fileBytes(same), fileBytes(testData(QStringLiteral("xqb/example-1.1.xqb"))));

        const QString upgraded = dir.filePath(QStringLiteral("upgraded.xqb"));
        const TRun run = cli({QStringLiteral("convert"), testData(QStringLiteral("xqb/notebook-1.0.xqb")), upgraded,
                              QStringLiteral("--encoding"), QStringLiteral("KOI8-R")});
        QCOMPARE(run.ExitCode, 0);
        const QByteArray bytes = fileBytes(upgraded);
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"KOI8-R\" standalone=\"yes\"?>\n<Snippets "
                                 "Version=\"1.1\""));
        const IQBDocumentPtr document = QBReadDocument(upgraded);
        QCOMPARE(document->Encoding(), QStringLiteral("KOI8-R"));
        QCOMPARE(document->FindArticle(3)->Caption(), QStringLiteral("Grüße & \"quotes\""));
    }

    void bigOneSectionBody_readsPrintsItsTextAndConvertsWhole()
    {
        // Over the ten million bytes the parser takes in one section.
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.xqb"));
        QVERIFY(writeFile(big, oneSectionDocument(6 * 1000 * 1000)));
        const TRun text = cli({QStringLiteral("text"), big, QStringLiteral("1")});
        QCOMPARE(text.Err, QString());
        QCOMPARE(text.ExitCode, 0);
        QVERIFY2(text.Out.startsWith(QStringLiteral("Before the picture\n")), qPrintable(text.Out.left(100)));
        QVERIFY(text.Out.contains(QStringLiteral("After the picture")));
        QVERIFY(text.Out.size() < 100);

        const QString converted = dir.filePath(QStringLiteral("converted.xqb"));
        QCOMPARE(cli({QStringLiteral("convert"), big, converted}).ExitCode, 0);
        const QByteArray body = QBReadDocument(big)->FindArticle(1)->Content().toUtf8();
        QVERIFY(body.size() > 12 * 1000 * 1000);
        QCOMPARE(QBReadDocument(converted)->FindArticle(1)->Content().toUtf8(), body);
        // Written back in sections the parser takes, each under the limit.
        QVERIFY(fileBytes(converted).count("<![CDATA[") > 1);
    }

    void convert_unwritableTargetOrEncoding_exitsWith1AndKeepsTheOldFile()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("target.xqb"));
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("old contents");
        file.close();
        const TRun run = cli({QStringLiteral("convert"), testData(QStringLiteral("xqb/notebook-1.1.xqb")), target,
                              QStringLiteral("--encoding=x-no-such-charset")});
        QCOMPARE(run.ExitCode, 1);
        QVERIFY2(run.Err.contains(QStringLiteral("The encoding x-no-such-charset is not supported.")),
                 qPrintable(run.Err));
        QCOMPARE(fileBytes(target), QByteArray("old contents"));
        const TRun latin =
            cli({QStringLiteral("convert"), testData(QStringLiteral("xqb/single-quotes-windows-1251.xqb")), target,
                 QStringLiteral("--encoding"), QStringLiteral("ISO-8859-1")});
        QCOMPARE(latin.ExitCode, 0);
        QVERIFY(fileBytes(target).contains("&#1050;"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_Cli.moc"
