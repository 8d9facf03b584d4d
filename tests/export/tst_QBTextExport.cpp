// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDom.h"
#include "support/ExportCorpus.h"
#include "support/TestHelpers.h"

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

QTEST_MAIN(TestQBTextExport)
#include "tst_QBTextExport.moc"
