// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfReader.h"
#include "support/ExportCorpus.h"
#include "support/TestHelpers.h"

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

QTEST_MAIN(TestQBRtfExport)
#include "tst_QBRtfExport.moc"
