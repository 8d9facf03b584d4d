// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "export/QBExportCore.h"
#include "rtf/QBRtfReader.h"
#include "support/ListCorpus.h"

#include <QTest>
#include <QTextDocument>

class TestQBExportLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void plainText_startsEachListItemWithItsLabel_data() { QBListCorpus::AddRows(); }
    void plainText_startsEachListItemWithItsLabel()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, labels);
        QTextDocument document;
        TQBRtfReader::Load(document, rtf);
        const QStringList lines =
            QBExportPlainText(document, QStringLiteral("\n")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), labels.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            // Items of deeper levels are indented by a tab a level, then label and tab.
            const QString line = lines.at(i).trimmed();
            if (labels.at(i).isEmpty())
                QVERIFY2(!line.contains(QLatin1Char('\t')), qPrintable(line));
            else
                QVERIFY2(line.startsWith(labels.at(i) + QLatin1Char('\t')), qPrintable(line));
        }
    }

    void plainText_ofABodyWithLists_showsTheLabelsAsWritten()
    {
        QTextDocument document;
        TQBRtfReader::Load(document, QBListCorpus::Read(QStringLiteral("richedit-nested.rtf")));
        QCOMPARE(QBExportPlainText(document, QStringLiteral("\n")),
                 QStringLiteral("1.\tTop one\n\ta.\tInner a\n\tb.\tInner b\n2.\tTop two\n\ta.\tInner again\n"));
    }
};

QTEST_MAIN(TestQBExportLists)
#include "tst_QBExportLists.moc"
