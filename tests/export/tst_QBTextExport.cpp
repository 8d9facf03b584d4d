// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "support/DocumentCompare.h"
#include "support/ExportCorpus.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace QBExportCorpus;

namespace {

QByteArray assembled(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options)
{
    QTextDocument document;
    if (!QBBuildExport(document, scope, source, options))
        return "<cancelled>";
    return QBExportBytes(document, efText);
}

QByteArray streamed(TExportScope scope, const TQBExportSource &source, const TQBExportOptions &options)
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    if (!QBStreamTextExport(scope, source, options, fileName))
        return "<cancelled>";
    return fileBytes(fileName);
}

} // namespace

class TestQBTextExport : public QObject
{
    Q_OBJECT

private slots:
    void streamed_isTheAssembledText_data();
    void streamed_isTheAssembledText();
    void cancel_writesNothingAndKeepsTheOldFile();
    void failedWrite_keepsTheOldFileAndRaises_data();
    void failedWrite_keepsTheOldFileAndRaises();
    void selection_isAssembled();
};

void TestQBTextExport::streamed_isTheAssembledText_data()
{
    AddOptionRows();
}

void TestQBTextExport::streamed_isTheAssembledText()
{
    QFETCH(TQBExportOptions, options);
    const TCorpus corpus = Corpus();
    const QList<TRun> runs = Runs(corpus);
    for (const TRun &run : std::as_const(runs)) {
        const QByteArray expected = assembled(run.Scope, run.Source, options);
        const QByteArray actual = streamed(run.Scope, run.Source, options);
        QVERIFY2(actual == expected,
                 qPrintable(run.Name + QLatin1Char(' ') + QString::fromLatin1(FirstDifference(actual, expected))));
    }
}

void TestQBTextExport::cancel_writesNothingAndKeepsTheOldFile()
{
    const TCorpus corpus = Corpus();
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(writeFile(fileName, "old"));
    int seen = 0;
    QVERIFY(!QBStreamTextExport(esDocument, SourceOf(corpus), {}, fileName,
                                [&seen](const QString &) { return ++seen < 3; }));
    QCOMPARE(seen, 3);
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.txt")});
}

void TestQBTextExport::failedWrite_keepsTheOldFileAndRaises_data()
{
    QTest::addColumn<TNVKWriteFault>("fault");
    QTest::addColumn<qint64>("bytes");
    for (const TWriteFaultPoint &point : writeFaultPoints())
        QTest::newRow(point.Name) << point.Fault << point.Bytes;
    // Past the first of several writes, for a text longer than one write.
    QTest::newRow("after the first write") << TNVKWriteFault::AfterBytes << qint64(1 << 17);
}

void TestQBTextExport::failedWrite_keepsTheOldFileAndRaises()
{
    QFETCH(TNVKWriteFault, fault);
    QFETCH(qint64, bytes);
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Long"));
    document->Root()->SetContent(rtf(QString(QStringLiteral("a long line\\par ")).repeated(40000)));
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(writeFile(fileName, "old"));
    TQBExportSource source;
    source.Document = document;
    {
        const TWriteFaultScope faults(fault, bytes, fileName);
        QString message;
        try {
            QBStreamTextExport(esDocument, source, {}, fileName);
        } catch (const EQBExportError &e) {
            message = e.Message();
        }
        QVERIFY2(message.contains(fileName), qPrintable(message));
    }
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QVERIFY(QBStreamTextExport(esDocument, source, {}, fileName));
    QVERIFY(fileBytes(fileName).startsWith("Long"));
}

void TestQBTextExport::selection_isAssembled()
{
    TQBExportSource source;
    source.Selection = "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}chosen\\par}";
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("out.txt"));
    QVERIFY(QBStreamTextExport(esSelection, source, {}, fileName));
    QCOMPARE(fileBytes(fileName), assembled(esSelection, source, {}));
    QVERIFY(fileBytes(fileName).contains("chosen"));
}

QTEST_MAIN(TestQBTextExport)
#include "tst_QBTextExport.moc"
