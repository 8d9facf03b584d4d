// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "cli/CliTool.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "support/DocumentCompare.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun
{
    int Code = -1;
    QString Out;
    QString Err;
};

TRun run(const char *command, const QStringList &args)
{
    TRun result;
    QTextStream out(&result.Out);
    QTextStream err(&result.Err);
    result.Code = CliRun(QStringList{QLatin1String(command)} + args, out, err);
    out.flush();
    err.flush();
    return result;
}

} // namespace

class TestCliSearchExport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void search_printsIidPositionAndCaptionInOrder();
    void search_withoutMatches_printsNothingAndSucceeds();
    void search_fromAnArticle_searchesItsSubtree();
    void search_badArguments_areUsageErrors();
    void search_missingFile_failsWithItsName();
    void text_printsTheBodyAsTheEditorHoldsIt();
    void export_defaultsToTitlesAndTheFormatOfTheExtension();
    void export_optionsAndScopes();
    void export_badArguments_areRefused();

private:
    QTemporaryDir FDir;
    QString FFile;
    qint32 FA = 0, FA1 = 0, FB = 0;
};

void TestCliSearchExport::initTestCase()
{
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Garden"));
    const IQBArticlePtr a = document->AddChild(document->Root());
    a->SetCaption(QStringLiteral("Fox notes"));
    a->SetContent(rtf(QStringLiteral("A fox\\tab and a fox\\par The fox.")));
    const IQBArticlePtr a1 = document->AddChild(a);
    a1->SetCaption(QStringLiteral("Empty\tone"));
    const IQBArticlePtr b = document->AddChild(document->Root());
    b->SetCaption(QStringLiteral("Foxglove"));
    b->SetContent(rtf(QStringLiteral("Foxglove and fox")));
    FA = a->IID();
    FA1 = a1->IID();
    FB = b->IID();
    FFile = FDir.filePath(QStringLiteral("garden.xqb"));
    QBWriteDocument(document, FFile);
}

void TestCliSearchExport::search_printsIidPositionAndCaptionInOrder()
{
    const TRun result = run("search", {FFile, QStringLiteral("fox"), QStringLiteral("--titles")});
    QCOMPARE(result.Code, 0);
    QCOMPARE(result.Out, QStringLiteral("%1\t-1\tFox notes\n%1\t2\tFox notes\n%1\t12\tFox notes\n%1\t20\tFox notes\n"
                                        "%2\t-1\tFoxglove\n%2\t0\tFoxglove\n%2\t13\tFoxglove\n")
                             .arg(FA)
                             .arg(FB));
    QCOMPARE(result.Err, QString());

    const TRun whole = run("search", {FFile, QStringLiteral("Fox"), QStringLiteral("--whole-words"),
                                      QStringLiteral("--match-case"), QStringLiteral("--titles")});
    QCOMPARE(whole.Code, 0);
    QCOMPARE(whole.Out, QStringLiteral("%1\t-1\tFox notes\n").arg(FA));
}

void TestCliSearchExport::search_withoutMatches_printsNothingAndSucceeds()
{
    const TRun result = run("search", {FFile, QStringLiteral("badger")});
    QCOMPARE(result.Code, 0);
    QCOMPARE(result.Out, QString());
}

void TestCliSearchExport::search_fromAnArticle_searchesItsSubtree()
{
    const TRun result =
        run("search", {FFile, QStringLiteral("fox"), QStringLiteral("--from"), QStringLiteral("_%1").arg(FB)});
    QCOMPARE(result.Code, 0);
    QCOMPARE(result.Out, QStringLiteral("%1\t0\tFoxglove\n%1\t13\tFoxglove\n").arg(FB));
    const TRun missing = run("search", {FFile, QStringLiteral("fox"), QStringLiteral("--from"), QStringLiteral("999")});
    QCOMPARE(missing.Code, 1);
    QVERIFY(missing.Err.contains(QStringLiteral("999")));
}

void TestCliSearchExport::search_badArguments_areUsageErrors()
{
    QCOMPARE(run("search", {FFile}).Code, 2);
    QCOMPARE(run("search", {FFile, QString()}).Code, 2);
    QCOMPARE(run("search", {FFile, QStringLiteral("fox"), QStringLiteral("--from"), QStringLiteral("x1")}).Code, 2);
    QCOMPARE(run("search", {FFile, QStringLiteral("fox"), QStringLiteral("--sideways")}).Code, 2);
}

void TestCliSearchExport::search_missingFile_failsWithItsName()
{
    const QString missing = FDir.filePath(QStringLiteral("none.xqb"));
    const TRun result = run("search", {missing, QStringLiteral("fox")});
    QCOMPARE(result.Code, 1);
    QVERIFY(result.Err.contains(missing));
    QCOMPARE(result.Out, QString());
}

void TestCliSearchExport::text_printsTheBodyAsTheEditorHoldsIt()
{
    TRun result = run("text", {FFile, QString::number(FA)});
    QCOMPARE(result.Code, 0);
    QCOMPARE(result.Out, QStringLiteral("A fox\tand a fox\nThe fox.\n"));
    result = run("text", {FFile, QString::number(FA1)});
    QCOMPARE(result.Code, 0);
    QCOMPARE(result.Out, QString());
    QCOMPARE(run("text", {FFile, QStringLiteral("12345")}).Code, 1);
    QCOMPARE(run("text", {FFile}).Code, 2);
}

void TestCliSearchExport::export_defaultsToTitlesAndTheFormatOfTheExtension()
{
    const QString txt = FDir.filePath(QStringLiteral("garden.txt"));
    const TRun result = run("export", {FFile, txt});
    QCOMPARE(result.Code, 0);
    QCOMPARE(fileBytes(txt), QByteArray("Fox notes\nA fox\tand a fox\nThe fox.\nFoxglove\nFoxglove and fox\n"));

    const QString rtfFile = FDir.filePath(QStringLiteral("garden.rtf"));
    QCOMPARE(run("export", {FFile, rtfFile}).Code, 0);
    QVERIFY(fileBytes(rtfFile).startsWith("{\\rtf1"));

    const QString forced = FDir.filePath(QStringLiteral("forced.txt"));
    QCOMPARE(run("export", {FFile, forced, QStringLiteral("--format"), QStringLiteral("rtf")}).Code, 0);
    QVERIFY(fileBytes(forced).startsWith("{\\rtf1"));
}

void TestCliSearchExport::export_optionsAndScopes()
{
    const QString txt = FDir.filePath(QStringLiteral("options.txt"));
    QCOMPARE(run("export", {FFile, txt, QStringLiteral("--numbering"), QStringLiteral("--keep-empty"),
                            QStringLiteral("--scope"), QStringLiteral("branch:%1").arg(FA)})
                 .Code,
             0);
    QCOMPARE(fileBytes(txt), QByteArray("1. Fox notes\nA fox\tand a fox\nThe fox.\n1.1. Empty\tone\n"));

    QCOMPARE(run("export", {FFile, txt, QStringLiteral("--no-titles"), QStringLiteral("--scope"),
                            QStringLiteral("article:_%1").arg(FB)})
                 .Code,
             0);
    QCOMPARE(fileBytes(txt), QByteArray("Foxglove and fox\n"));
}

void TestCliSearchExport::export_badArguments_areRefused()
{
    const QString txt = FDir.filePath(QStringLiteral("refused.txt"));
    QCOMPARE(run("export", {FFile}).Code, 2);
    QCOMPARE(run("export", {FFile, txt, QStringLiteral("--scope"), QStringLiteral("everything")}).Code, 2);
    QCOMPARE(run("export", {FFile, txt, QStringLiteral("--format"), QStringLiteral("pdf")}).Code, 2);
    QCOMPARE(run("export", {FFile, txt, QStringLiteral("--scope"), QStringLiteral("branch:999")}).Code, 1);
    QVERIFY(!QFile::exists(txt));
    const TRun unwritable = run("export", {FFile, FDir.filePath(QStringLiteral("no/such/folder.txt"))});
    QCOMPARE(unwritable.Code, 1);
    QVERIFY(unwritable.Err.contains(QStringLiteral("folder.txt")));
}

QTEST_MAIN(TestCliSearchExport)
#include "tst_CliSearchExport.moc"
