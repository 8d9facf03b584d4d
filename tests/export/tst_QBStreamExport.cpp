// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/DocumentCompare.h"
#include "support/ExportCorpus.h"
#include "support/WriteFaults.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

using namespace QBExportCorpus;

namespace {

const struct
{
    const char *Name;
    TQBExportFormat Format;
} Formats[] = {
    {"text", efText},
    {"RTF", efRtf},
};

// Streamed RTF in parts of one article, so that every article is written on its own.
bool streamExport(TQBExportFormat format, TExportScope scope, const TQBExportSource &source, const QString &fileName,
                  const TQBExportBuilder::TProgress &progress = {})
{
    if (format == efText)
        return QBStreamTextExport(scope, source, {}, fileName, progress);
    return QBStreamRtfExport(scope, source, {}, fileName, progress, 1);
}

QString outName(const QTemporaryDir &dir, TQBExportFormat format)
{
    return dir.filePath(QStringLiteral("out.") + QLatin1String(format == efText ? "txt" : "rtf"));
}

void addFormatColumn()
{
    QTest::addColumn<TQBExportFormat>("format");
}

} // namespace

Q_DECLARE_METATYPE(TQBExportFormat)

// What the streamed exports of both formats share: they write a whole file or none.
class TestQBStreamExport : public QObject
{
    Q_OBJECT

private slots:
    void cancel_writesNothingAndKeepsTheOldFile_data();
    void cancel_writesNothingAndKeepsTheOldFile();
    void failedWrite_keepsTheOldFileAndRaises_data();
    void failedWrite_keepsTheOldFileAndRaises();
    void selection_isAssembled_data();
    void selection_isAssembled();
};

void TestQBStreamExport::cancel_writesNothingAndKeepsTheOldFile_data()
{
    addFormatColumn();
    for (const auto &format : Formats)
        QTest::newRow(format.Name) << format.Format;
}

void TestQBStreamExport::cancel_writesNothingAndKeepsTheOldFile()
{
    QFETCH(TQBExportFormat, format);
    const TCorpus corpus = Corpus();
    QTemporaryDir dir;
    const QString fileName = outName(dir, format);
    QVERIFY(writeFile(fileName, "old"));
    int seen = 0;
    QVERIFY(
        !streamExport(format, esDocument, SourceOf(corpus), fileName, [&seen](const QString &) { return ++seen < 3; }));
    QCOMPARE(seen, 3);
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QFileInfo(fileName).fileName()});
}

void TestQBStreamExport::failedWrite_keepsTheOldFileAndRaises_data()
{
    addFormatColumn();
    QTest::addColumn<TNVKWriteFault>("fault");
    QTest::addColumn<qint64>("bytes");
    for (const auto &format : Formats) {
        for (const TWriteFaultPoint &point : writeFaultPoints())
            QTest::addRow("%s, %s", format.Name, point.Name) << format.Format << point.Fault << point.Bytes;
        // Past the first of several writes, for an export longer than one write.
        QTest::addRow("%s, after the first write", format.Name)
            << format.Format << TNVKWriteFault::AfterBytes << qint64(1 << 17);
    }
}

void TestQBStreamExport::failedWrite_keepsTheOldFileAndRaises()
{
    QFETCH(TQBExportFormat, format);
    QFETCH(TNVKWriteFault, fault);
    QFETCH(qint64, bytes);
    const IQBDocumentPtr document = NewQBDocument();
    document->Root()->SetCaption(QStringLiteral("Long"));
    document->Root()->SetContent(rtf(QString(QStringLiteral("a long line\\par ")).repeated(40000)));
    addArticle(document, document->Root(), QStringLiteral("Child"), rtf(QStringLiteral("child text")));
    QTemporaryDir dir;
    const QString fileName = outName(dir, format);
    QVERIFY(writeFile(fileName, "old"));
    TQBExportSource source;
    source.Document = document;
    {
        const TWriteFaultScope faults(fault, bytes, fileName);
        QString message;
        try {
            streamExport(format, esDocument, source, fileName);
        } catch (const EQBExportError &e) {
            message = e.Message();
        }
        QVERIFY2(message.contains(fileName), qPrintable(message));
    }
    QCOMPARE(fileBytes(fileName), QByteArray("old"));
    QVERIFY(streamExport(format, esDocument, source, fileName));
    QVERIFY(fileBytes(fileName).contains("child text"));
}

void TestQBStreamExport::selection_isAssembled_data()
{
    cancel_writesNothingAndKeepsTheOldFile_data();
}

void TestQBStreamExport::selection_isAssembled()
{
    QFETCH(TQBExportFormat, format);
    TQBExportSource source;
    source.Selection = "{\\rtf1 \\pard{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta.}}chosen\\par}";
    QTemporaryDir dir;
    const QString fileName = outName(dir, format);
    QVERIFY(streamExport(format, esSelection, source, fileName));
    QTextDocument document;
    QBBuildExport(document, esSelection, source, {});
    QCOMPARE(fileBytes(fileName), QBExportBytes(document, format));
    QVERIFY(fileBytes(fileName).contains("chosen"));
}

QTEST_MAIN(TestQBStreamExport)
#include "tst_QBStreamExport.moc"
