// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "PrintFixtures.h"
#include "platform/QBDialogs.h"
#include "report/PrxPreview.h"
#include "report/PrxRichEditSource.h"
#include "support/PdfText.h"

#include <QFileInfo>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QTest>

class TestPrxCore : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void conversions_followTheRoundingRules_data();
    void conversions_followTheRoundingRules();
    void controller_takesPaperAndDefaultMarginsFromThePrinter();
    void print_pagesBreakBetweenLines_data();
    void print_pagesBreakBetweenLines();
    void print_pagesCoverTheTextWithoutGaps();
    void print_paragraphAcrossPages_splitsBetweenItsLines();
    void print_afterTheTextChanged_printsTheNewText();
    void print_emptyText_hasNoPagesAndWritesNothing();
    void print_lineTallerThanAPage_getsAPageOfItsOwn();
    void print_marginsLeavingNoRoom_printNothing();
    void print_pdfWithoutAFile_asksForOne();
    void source_withoutController_refusesPreviewAndPrint();
    void attach_secondPreview_isRefused();

private:
    QTemporaryDir FDir;
};

void TestPrxCore::init()
{
    QBDialogs::ClearTestState();
}

void TestPrxCore::conversions_followTheRoundingRules_data()
{
    QTest::addColumn<QString>("conversion");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("an inch in twips") << "twips" << 1000 << 1440;
    QTest::newRow("a quarter inch in twips") << "twips" << 250 << 360;
    QTest::newRow("twips round down") << "twips" << 1 << 1;
    QTest::newRow("twips round up") << "twips" << 3 << 4;
    QTest::newRow("an inch in mm100") << "mm100" << 1000 << 2540;
    QTest::newRow("a quarter inch in mm100") << "mm100" << 250 << 635;
    QTest::newRow("a half away from zero") << "mm100" << 25 << 64;
    QTest::newRow("a negative half away from zero") << "mm100" << -25 << -64;
    QTest::newRow("mm100 back to a quarter inch") << "thou" << 635 << 250;
    QTest::newRow("mm100 round down") << "thou" << 3 << 1;
    QTest::newRow("mm100 round up") << "thou" << 5 << 2;
    QTest::newRow("ten millimetres") << "thou" << 1000 << 394;
}

void TestPrxCore::conversions_followTheRoundingRules()
{
    QFETCH(QString, conversion);
    QFETCH(int, value);
    QFETCH(int, expected);
    if (conversion == QLatin1String("twips")) {
        QCOMPARE(PrxThouToTwips(value), expected);
        return;
    }
    // Every edge converts alike.
    const QRect r = PrxRect(value, value, value, value);
    const QRect converted = conversion == QLatin1String("mm100") ? PrxThouToMM100(r) : PrxMM100ToThou(r);
    QCOMPARE(converted, PrxRect(expected, expected, expected, expected));
}

void TestPrxCore::controller_takesPaperAndDefaultMarginsFromThePrinter()
{
    TPrxController c;
    c.SetPrinter(letterPrinter());
    QCOMPARE(c.PixelsPerInchX(), 600);
    QCOMPARE(c.PhysicalWidth(), 5100);
    QCOMPARE(c.PhysicalHeight(), 6600);
    QCOMPARE(c.PaperRect(), PrxRect(0, 0, 8500, 11000));
    QCOMPARE(c.Margins(), PrxRect(250, 250, 250, 250));
    QCOMPARE(c.PrintableRect(), PrxRect(250, 250, 8250, 10750));
    QCOMPARE(c.Printer()->outputFormat(), QPrinter::PdfFormat);

    // Without a printer installed, the PDF file printer starts with 20 mm margins, not none.
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        const TPrxController fresh;
        // 20 mm is 787 thousandths of an inch; the printer keeps margins in whole points.
        const QRect m = fresh.Margins();
        for (const int edge : {m.left(), m.top(), m.right(), m.bottom()})
            QVERIFY2(qAbs(edge - 787) <= 8, qPrintable(QString::number(edge)));
    }
}

void TestPrxCore::print_pagesBreakBetweenLines_data()
{
    QTest::addColumn<QRect>("margins");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("linesPerPage");
    // Letter is 11 inches high; each line takes half an inch.
    QTest::newRow("one inch all round") << PrxRect(1000, 1000, 1000, 1000) << 40 << QList<int>{18, 18, 4};
    QTest::newRow("pages exactly full") << PrxRect(1000, 1000, 1000, 1000) << 36 << QList<int>{18, 18};
    QTest::newRow("top and bottom differ") << PrxRect(750, 500, 750, 2500) << 40 << QList<int>{16, 16, 8};
    QTest::newRow("one line") << PrxRect(1000, 1000, 1000, 1000) << 1 << QList<int>{1};
}

void TestPrxCore::print_pagesBreakBetweenLines()
{
    QFETCH(QRect, margins);
    QFETCH(int, lines);
    QFETCH(QList<int>, linesPerPage);
    const auto document = linesDocument(lines);
    TPrintJob job(margins, document.get());
    TPrxRichEditSource &source = job.Source;
    const QString pdf = FDir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".pdf"));
    job.Controller.SetOutputFileName(pdf);
    source.Print();

    // A page break between every two pages and none after the last: as many PDF pages as pages.
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QString::number(linesPerPage.size()));
    QVERIFY(pdfInfo(pdf, QStringLiteral("Page size")).startsWith(QLatin1String("612 x 792 pts")));
    const QStringList pages = pdfPages(pdf);
    QCOMPARE(pages.size(), linesPerPage.size());
    int next = 1;
    for (qsizetype p = 0; p < pages.size(); ++p) {
        QStringList expected;
        for (int i = 0; i < linesPerPage.at(p); ++i)
            expected.append(lineName(next++));
        QCOMPARE(pdfLines(pages.at(p)), expected);
    }
    // Pagination lives only while printing.
    QVERIFY(!source.Prepared());
    QCOMPARE(source.PageCount(), 0);
    QCOMPARE(job.Controller.Source(), nullptr);
}

void TestPrxCore::print_pagesCoverTheTextWithoutGaps()
{
    const auto document = linesDocument(40);
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), document.get());
    TPrxRichEditSource &source = job.Source;
    QVERIFY(source.Prepare());
    QCOMPARE(source.PageCount(), 3);
    QCOMPARE(source.PrintRect(), PrxRect(1440, 1440, 10800, 14400));
    QCOMPARE(source.PageRect(), PrxRect(0, 0, 12240, 15840));
    const QList<TPrxRichEditSource::TPage> &pages = source.Pages();
    QCOMPARE(pages.first().StartPos, 0);
    for (qsizetype i = 1; i < pages.size(); ++i)
        QCOMPARE(pages.at(i).StartPos, pages.at(i - 1).EndPos + 1);
    QCOMPARE(pages.last().EndPos, document->characterCount() - 2);
    // The second page starts with the 19th line.
    QCOMPARE(document->findBlock(pages.at(1).StartPos).text(), lineName(19));
    source.Unprepare();
    QCOMPARE(source.PageCount(), 0);
}

void TestPrxCore::print_paragraphAcrossPages_splitsBetweenItsLines()
{
    QStringList words;
    for (int i = 1; i <= 1500; ++i)
        words.append(QStringLiteral("w%1").arg(i));
    QTextDocument document;
    document.setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 10));
    document.setPlainText(words.join(QLatin1Char(' ')));
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), &document);
    TPrxRichEditSource &source = job.Source;
    const QString pdf = FDir.filePath(QStringLiteral("paragraph.pdf"));
    job.Controller.SetOutputFileName(pdf);
    source.Print();
    const QStringList pages = pdfPages(pdf);
    QVERIFY(pages.size() >= 2);
    // Every word once, in order: no line shows on two pages, none is lost between them.
    QStringList printed;
    for (const QString &page : pages)
        printed += pdfLines(page).join(QLatin1Char(' ')).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QCOMPARE(printed, words);
}

void TestPrxCore::print_afterTheTextChanged_printsTheNewText()
{
    const auto document = linesDocument(18);
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), document.get());
    QVERIFY(job.Source.Prepare());
    QCOMPARE(job.Source.PageCount(), 1);
    job.Source.Unprepare();
    QTextCursor cursor(document.get());
    cursor.movePosition(QTextCursor::End);
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Line 019"));
    const QString pdf = FDir.filePath(QStringLiteral("changed.pdf"));
    job.Controller.SetOutputFileName(pdf);
    job.Source.Print();
    const QStringList pages = pdfPages(pdf);
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pdfLines(pages.at(1)), QStringList{lineName(19)});
}

void TestPrxCore::print_emptyText_hasNoPagesAndWritesNothing()
{
    QTextDocument empty;
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), &empty);
    TPrxRichEditSource &source = job.Source;
    QVERIFY(source.Prepare());
    QCOMPARE(source.PageCount(), 0);
    source.Unprepare();
    const QString pdf = FDir.filePath(QStringLiteral("empty.pdf"));
    job.Controller.SetOutputFileName(pdf);
    source.Print();
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestPrxCore::print_lineTallerThanAPage_getsAPageOfItsOwn()
{
    // Margins leave half an inch of height; every line slot is half an inch plus one pixel.
    auto document = linesDocument(5);
    QTextCursor cursor(document.get());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat tall;
    tall.setLineHeight(layoutDpi() / 2 + 1, QTextBlockFormat::FixedHeight);
    cursor.mergeBlockFormat(tall);
    QTextCharFormat big;
    big.setFontPointSize(60);
    cursor.mergeCharFormat(big);
    TPrintJob job(PrxRect(1000, 5000, 1000, 5500), document.get());
    TPrxRichEditSource &source = job.Source;
    QVERIFY(source.Prepare());
    QCOMPARE(source.PageCount(), 5);
}

void TestPrxCore::print_marginsLeavingNoRoom_printNothing()
{
    const auto document = linesDocument(3);
    TPrintJob job(PrxRect(5000, 1000, 4000, 1000), document.get());
    TPrxRichEditSource &source = job.Source;
    QVERIFY(!source.Prepare());
    const QString pdf = FDir.filePath(QStringLiteral("no-room.pdf"));
    job.Controller.SetOutputFileName(pdf);
    source.Print();
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestPrxCore::print_pdfWithoutAFile_asksForOne()
{
    const auto document = linesDocument(3);
    TPrintJob job(PrxRect(1000, 1000, 1000, 1000), document.get());
    TPrxRichEditSource &source = job.Source;
    source.SetTitle(QStringLiteral("notes.xqb"));
    const QString pdf = FDir.filePath(QStringLiteral("asked.pdf"));
    QBDialogs::QueueFileName(pdf);
    source.Print();
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Pages")), QStringLiteral("1"));
    QCOMPARE(pdfInfo(pdf, QStringLiteral("Title")), QStringLiteral("notes.xqb"));
    // The next job asks again instead of overwriting this file; cancelling it prints nothing.
    QBDialogs::QueueFileName(QString());
    QFile::remove(pdf);
    source.Print();
    QVERIFY(!QFileInfo::exists(pdf));
}

void TestPrxCore::source_withoutController_refusesPreviewAndPrint()
{
    TPrxRichEditSource source;
    QVERIFY(!source.Prepare());
    for (const bool preview : {true, false}) {
        try {
            preview ? source.Preview() : source.Print();
            QFAIL("no error raised");
        } catch (const EPrxError &e) {
            QCOMPARE(e.Message(), QStringLiteral("No controller"));
        }
    }
}

void TestPrxCore::attach_secondPreview_isRefused()
{
    TPrxController c;
    TPrxPreview first;
    TPrxPreview second;
    first.SetController(&c);
    try {
        second.SetController(&c);
        QFAIL("no error raised");
    } catch (const EPrxError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Only one preview allowed."));
    }
    QCOMPARE(second.Controller(), nullptr);
    QCOMPARE(first.Controller(), &c);
    // Once the first lets go, the second may attach.
    first.SetController(nullptr);
    second.SetController(&c);
    QCOMPARE(c.PreviewLink() != nullptr, true);
}

QTEST_MAIN(TestPrxCore)
#include "tst_PrxCore.moc"
