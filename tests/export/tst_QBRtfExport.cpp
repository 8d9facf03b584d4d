// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfReader.h"
#include "support/DocumentCompare.h"
#include "support/ExportCorpus.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace QBExportCorpus;

namespace {

QString colorOf(const QTextCharFormat &format, QTextFormat::Property property)
{
    return format.hasProperty(property) && format.brushProperty(property).style() != Qt::NoBrush
               ? format.brushProperty(property).color().name(QColor::HexArgb)
               : QStringLiteral("auto");
}

// What a reader makes of an RTF file, one line per paragraph: its alignment, indents and list label,
// then its text with the font, size, styles and colours before each run that changes them.
QByteArray readBack(const QByteArray &rtf)
{
    QTextDocument document;
    TQBRtfReader::Load(document, rtf);
    QString out;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        out += QStringLiteral("{align %1 li %2 ri %3 fi %4")
                   .arg(int(format.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(format.leftMargin())
                   .arg(format.rightMargin())
                   .arg(format.textIndent());
        if (const QTextList *list = block.textList())
            out += QStringLiteral(" list %1 level %2 label %3")
                       .arg(int(list->format().style()))
                       .arg(list->format().indent())
                       .arg(QBListLabel(block));
        out += QLatin1Char('}');
        QString last;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat run = it.fragment().charFormat();
            const QString key = QStringLiteral("[%1 %2%3%4%5 %6 on %7]")
                                    .arg(run.fontFamilies().toStringList().value(0))
                                    .arg(run.fontPointSize())
                                    .arg(run.fontWeight() >= QFont::DemiBold ? QStringLiteral(" bold") : QString())
                                    .arg(run.fontItalic() ? QStringLiteral(" italic") : QString())
                                    .arg(run.fontUnderline() ? QStringLiteral(" underline") : QString())
                                    .arg(colorOf(run, QTextFormat::ForegroundBrush))
                                    .arg(colorOf(run, QTextFormat::BackgroundBrush));
            if (key != last)
                out += key;
            last = key;
            out += it.fragment().text();
        }
        out += QLatin1Char('\n');
    }
    return out.toUtf8();
}

QByteArray assembled(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options)
{
    QTextDocument document;
    if (!QBBuildExport(document, scope, source, options))
        return "<cancelled>";
    return QBExportBytes(document, efRtf);
}

QByteArray streamed(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options,
                    int partCharacters)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.rtf"));
    if (!QBStreamRtfExport(scope, source, options, fileName, {}, partCharacters))
        return "<cancelled>";
    return fileBytes(fileName);
}

} // namespace

class TestQBRtfExport : public QObject
{
    Q_OBJECT

private slots:
    void streamed_readsAsTheAssembled_data();
    void streamed_readsAsTheAssembled();
    void cancel_writesNothingAndKeepsTheOldFile();
    void failedWrite_keepsTheOldFileAndRaises_data();
    void failedWrite_keepsTheOldFileAndRaises();
    void selection_isAssembled();
};

void TestQBRtfExport::streamed_readsAsTheAssembled_data()
{
    AddOptionRows();
}

void TestQBRtfExport::streamed_readsAsTheAssembled()
{
    QFETCH(TQBExportOptions, options);
    const TCorpus corpus = Corpus();
    const QList<TRun> runs = Runs(corpus);
    for (const TRun &run : std::as_const(runs)) {
        const QByteArray expected = readBack(assembled(run.Scope, run.Source, options));
        // In parts of one article each, and in parts of many.
        for (const int part : {1, 1 << 16}) {
            const QByteArray actual = readBack(streamed(run.Scope, run.Source, options, part));
            QVERIFY2(actual == expected, qPrintable(run.Name + QStringLiteral(", parts of %1 ").arg(part) +
                                                    QString::fromUtf8(FirstDifference(actual, expected))));
        }
    }
}

void TestQBRtfExport::cancel_writesNothingAndKeepsTheOldFile()
{
    const TCorpus corpus = Corpus();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(writeFile(fileName, "old"));
    int seen = 0;
    QVERIFY(!QBStreamRtfExport(
        esDocument, SourceOf(corpus), {}, fileName, [&seen](const QString &) { return ++seen < 3; }, 1));
    QCOMPARE(seen, 3);
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.rtf")});
}

void TestQBRtfExport::failedWrite_keepsTheOldFileAndRaises_data()
{
    QTest::addColumn<TNVKWriteFault>("fault");
    QTest::addColumn<qint64>("bytes");
    for (const TWriteFaultPoint &point : writeFaultPoints())
        QTest::newRow(point.Name) << point.Fault << point.Bytes;
    // In the body, past the header.
    QTest::newRow("in the body") << TNVKWriteFault::AfterBytes << qint64(1 << 17);
}

void TestQBRtfExport::failedWrite_keepsTheOldFileAndRaises()
{
    QFETCH(TNVKWriteFault, fault);
    QFETCH(qint64, bytes);
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Long"));
    document->Root()->SetContent(rtf(QString(QStringLiteral("a long line\\par ")).repeated(40000)));
    addArticle(document, document->Root(), QStringLiteral("Child"), rtf(QStringLiteral("child text")));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(writeFile(fileName, "old"));
    TQBExportSource source;
    source.Document = document;
    {
        const TWriteFaultScope faults(fault, bytes, fileName);
        QString message;
        try {
            QBStreamRtfExport(esDocument, source, {}, fileName, {}, 1);
        } catch (const EQBExportError &e) {
            message = e.Message();
        }
        QVERIFY2(message.contains(fileName), qPrintable(message));
    }
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QVERIFY(QBStreamRtfExport(esDocument, source, {}, fileName, {}, 1));
    QVERIFY(readBack(fileBytes(fileName)).contains("child text"));
}

void TestQBRtfExport::selection_isAssembled()
{
    TQBExportSource source;
    source.Selection = "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}chosen\\par}";
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.rtf"));
    QVERIFY(QBStreamRtfExport(esSelection, source, {}, fileName));
    QCOMPARE(fileBytes(fileName), assembled(esSelection, source, {}));
    QVERIFY(readBack(fileBytes(fileName)).contains("chosen"));
}

QTEST_MAIN(TestQBRtfExport)
#include "tst_QBRtfExport.moc"
