// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "cli/CliTool.h"
#include "document/QBDom.h"
#include "document/QBXml.h"
#include "support/DocumentCompare.h"
#include "support/PdfText.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct TRun
{
    int Code = -1;
    QString Err;
};

TRun print(const QStringList &args)
{
    TRun result;
    QString out;
    QTextStream outStream(&out);
    QTextStream err(&result.Err);
    result.Code = CliRun(QStringList{QStringLiteral("print")} + args, outStream, err);
    err.flush();
    return result;
}

} // namespace

class TestCliPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void print_writesTheArticlesInOrder_data();
    void print_writesTheArticlesInOrder();
    void print_paperAndMargins_setThePages();
    void print_nothingToPrint_failsAndWritesNothing();
    void print_badArguments_areRefused_data();
    void print_badArguments_areRefused();

private:
    QTemporaryDir FDir;
    QString FFile;
    QString FEmptyFile;
    qint32 FA = 0;
};

void TestCliPrint::initTestCase()
{
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Garden"));
    const IQBArticlePtr a = document->AddChild(document->Root());
    a->SetCaption(QStringLiteral("Fox notes"));
    a->SetContent(rtf(QStringLiteral("A fox in the garden\\par The fox left.")));
    const IQBArticlePtr a1 = document->AddChild(a);
    a1->SetCaption(QStringLiteral("Empty one"));
    const IQBArticlePtr a2 = document->AddChild(a);
    a2->SetCaption(QStringLiteral("Tracks"));
    a2->SetContent(rtf(QStringLiteral("Paw prints by the shed")));
    const IQBArticlePtr b = document->AddChild(document->Root());
    b->SetCaption(QStringLiteral("Foxglove"));
    b->SetContent(rtf(QStringLiteral("Foxglove grows tall")));
    FA = a->IID();
    FFile = FDir.filePath(QStringLiteral("garden.xqb"));
    QBWriteDocument(document, FFile);
    const IQBDocumentPtr empty = NewQBDocument();
    FEmptyFile = FDir.filePath(QStringLiteral("empty.xqb"));
    QBWriteDocument(empty, FEmptyFile);
}

void TestCliPrint::print_writesTheArticlesInOrder_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("titles by default")
        << QStringList{}
        << QStringList{"Fox notes", "A fox in the garden", "The fox left.", "Tracks", "Paw prints by the shed",
                       "Foxglove",  "Foxglove grows tall"};
    QTest::newRow("numbered titles") << QStringList{"--numbering"}
                                     << QStringList{"1. Fox notes",       "A fox in the garden",    "The fox left.",
                                                    "1.2. Tracks",        "Paw prints by the shed", "2. Foxglove",
                                                    "Foxglove grows tall"};
    QTest::newRow("without titles") << QStringList{"--no-titles"}
                                    << QStringList{"A fox in the garden", "The fox left.", "Paw prints by the shed",
                                                   "Foxglove grows tall"};
    QTest::newRow("empty articles kept") << QStringList{"--keep-empty", "--scope", "branch:" + QString::number(0)}
                                         << QStringList{"Garden",
                                                        "Fox notes",
                                                        "A fox in the garden",
                                                        "The fox left.",
                                                        "Empty one",
                                                        "Tracks",
                                                        "Paw prints by the shed",
                                                        "Foxglove",
                                                        "Foxglove grows tall"};
    QTest::newRow("one article") << QStringList{"--scope", "article:_1"}
                                 << QStringList{"Fox notes", "A fox in the garden", "The fox left."};
}

void TestCliPrint::print_writesTheArticlesInOrder()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, lines);
    const QString pdf = FDir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".pdf"));
    const TRun result = print(QStringList{FFile, pdf} + options);
    QCOMPARE(result.Err, QString());
    QCOMPARE(result.Code, 0);
    const QStringList pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 1);
    QCOMPARE(pdfLines(pages.first()), lines);
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("garden.xqb"));
    // Nothing but the PDF is left in the folder.
    QCOMPARE(QDir(FDir.path()).entryList({QStringLiteral("quillbox-print-*")}, QDir::Files), QStringList());
}

void TestCliPrint::print_paperAndMargins_setThePages()
{
    const QString a4 = FDir.filePath(QStringLiteral("a4.pdf"));
    QCOMPARE(print({FFile, a4, QStringLiteral("--paper"), QStringLiteral("A4")}).Code, 0);
    QVERIFY(pdfInfo(a4, QStringLiteral("Page size")).endsWith(QLatin1String("(A4)")));
    const QString letter = FDir.filePath(QStringLiteral("letter.pdf"));
    // Margins of 95 mm leave a column 26 mm wide, where the paragraphs wrap.
    QCOMPARE(print({FFile, letter, QStringLiteral("--paper"), QStringLiteral("letter"), QStringLiteral("--margins"),
                    QStringLiteral("95")})
                 .Code,
             0);
    QVERIFY(pdfInfo(letter, QStringLiteral("Page size")).startsWith(QLatin1String("612 x 792 pts")));
    QStringList lines;
    for (const QString &page : pdfPages(letter))
        lines += pdfLines(page);
    QVERIFY2(lines.size() > 7, qPrintable(lines.join(QLatin1Char('|'))));
    // However the lines wrap and fall on the pages, the words come out whole and in order.
    const QStringList words = lines.join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(words, QStringLiteral("Fox notes A fox in the garden The fox left. Tracks Paw prints by the shed Foxglove "
                                   "Foxglove grows tall")
                        .split(QLatin1Char(' ')));
}

void TestCliPrint::print_nothingToPrint_failsAndWritesNothing()
{
    const QString pdf = FDir.filePath(QStringLiteral("nothing.pdf"));
    const TRun result = print({FEmptyFile, pdf});
    QCOMPARE(result.Code, int(ceBadFile));
    QVERIFY2(result.Err.contains(QLatin1String("nothing to print")), qPrintable(result.Err));
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestCliPrint::print_badArguments_areRefused_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("code");
    QTest::newRow("no output") << QStringList{"a.xqb"} << int(ceUsage);
    QTest::newRow("unknown paper") << QStringList{"a.xqb", "a.pdf", "--paper", "Folio"} << int(ceUsage);
    QTest::newRow("margins not a number") << QStringList{"a.xqb", "a.pdf", "--margins", "wide"} << int(ceUsage);
    QTest::newRow("margins meet") << QStringList{"a.xqb", "a.pdf", "--margins", "120"} << int(ceUsage);
    QTest::newRow("unknown scope") << QStringList{"a.xqb", "a.pdf", "--scope", "all"} << int(ceUsage);
    QTest::newRow("unknown option") << QStringList{"a.xqb", "a.pdf", "--colour"} << int(ceUsage);
    QTest::newRow("missing document") << QStringList{"missing.xqb", "a.pdf"} << int(ceBadFile);
}

void TestCliPrint::print_badArguments_areRefused()
{
    QFETCH(QStringList, args);
    QFETCH(int, code);
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(FDir.path());
    const TRun result = print(args);
    QDir::setCurrent(cwd);
    QCOMPARE(result.Code, code);
    QVERIFY(!result.Err.isEmpty());
    QVERIFY(!QFileInfo::exists(FDir.filePath(QStringLiteral("a.pdf"))));
}

QTEST_MAIN(TestCliPrint)
#include "tst_CliPrint.moc"
