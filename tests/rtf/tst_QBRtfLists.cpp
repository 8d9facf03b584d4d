// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "RtfTestHelpers.h"
#include "rtf/QBRtfLists.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfText.h"
#include "rtf/QBRtfWriter.h"
#include "support/ListCorpus.h"

#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace QBRtfTest;

namespace {

QStringList Labels(const QTextDocument &doc)
{
    QStringList labels;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        labels.append(QBListLabel(block));
    return labels;
}

// What the editor shows before each paragraph: its own painted label, or the marker Qt draws.
QStringList ShownLabels(const QTextDocument &doc)
{
    QStringList labels;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        if (!list)
            labels.append(QString());
        else if (QBListOwnMarker(list->format()))
            labels.append(QBListLabel(block));
        else if (list->format().style() == QTextListFormat::ListDisc)
            labels.append(QStringLiteral("\u2022"));
        else
            labels.append(list->itemText(block));
    }
    return labels;
}

} // namespace

class TestQBRtfLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachSample_showsTheLabelsItsWriterMeant_data() { QBListCorpus::AddRows(); }
    void eachSample_showsTheLabelsItsWriterMeant()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, labels);
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QCOMPARE(Labels(doc), labels);
        QCOMPARE(ShownLabels(doc), labels);
        // The labels are not text: search positions stay those of the editor.
        QCOMPARE(RtfToPlainText(rtf), DocumentText(doc));
    }

    void eachSample_givesTheSameParagraphsAndLabelsWithoutADocument_data() { QBListCorpus::AddRows(); }
    void eachSample_givesTheSameParagraphsAndLabelsWithoutADocument()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, labels);
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        QStringList texts, found;
        QList<int> levels;
        RtfForEachParagraph(rtf, true, [&](const TQBRtfTextParagraph &paragraph) {
            texts.append(paragraph.Text);
            found.append(paragraph.Label);
            levels.append(paragraph.Level);
        });
        QCOMPARE(found, labels);
        QCOMPARE(texts.join(QLatin1Char('\n')), RtfToPlainText(rtf));
        QTextBlock block = doc.begin();
        for (qsizetype i = 0; i < levels.size() && block.isValid(); ++i, block = block.next())
            QCOMPARE(levels.at(i), block.textList() ? block.textList()->format().indent() - 1 : 0);
    }

    void eachSample_keepsItsLabelsWrittenAndReadAgain_data() { QBListCorpus::AddRows(); }
    void eachSample_keepsItsLabelsWrittenAndReadAgain()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, labels);
        QTextDocument doc;
        TQBRtfReader::Load(doc, rtf);
        const QByteArray written = TQBRtfWriter::Write(doc);
        QTextDocument again;
        TQBRtfReader::Load(again, written);
        QCOMPARE(Labels(again), labels);
        QCOMPARE(DocumentText(again), DocumentText(doc));
        // Readers that know no numbering see the label as text before each item.
        for (QTextBlock block = again.begin(); block.isValid(); block = block.next())
            if (block.textList() && QBListStyleOf(block.textList()->format()).Numbering != TQBListStyle::Bulleted)
                QVERIFY2(written.contains(QByteArray("{\\pntext " + QBListLabel(block).toLatin1() + "\\tab}")),
                         qPrintable(QBListLabel(block)));
        QCOMPARE(TQBRtfWriter::Write(again), written);
    }

    void writtenLists_sayTheirStartStyleAndTexts()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("richedit-roman-start.rtf")));
        QVERIFY(TQBRtfWriter::Write(doc).contains("\\pnstart4\\pnucrm{\\pntxta .}}"));
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("richedit-parens.rtf")));
        QVERIFY(TQBRtfWriter::Write(doc).contains("\\pnstart1\\pndec{\\pntxtb (}{\\pntxta )}}"));
        // The second item of a run says the run's start, as the rich edit control writes it.
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("richedit-nested.rtf")));
        const QByteArray rtf = TQBRtfWriter::Write(doc);
        QVERIFY(rtf.contains("{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart2\\pndec"));
        QVERIFY(rtf.contains("{\\pntext b.\\tab}{\\*\\pn\\pnlvl2\\pnindent0\\pnstart1\\pnlcltr"));
    }

    void bullets_keepTheirGlyphAndFont()
    {
        QTextDocument doc;
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("richedit-bullets.rtf")));
        const QByteArray rtf = TQBRtfWriter::Write(doc);
        QVERIFY(rtf.contains("\\fcharset2 Symbol;"));
        QVERIFY(rtf.contains("\\fcharset2 Wingdings;"));
        QVERIFY(rtf.contains("\\pnlvlblt\\pnf2\\pnindent0{\\pntxtb\\'a7}}") ||
                rtf.contains("\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'a7}}"));
        // Word's bullet, U+F0B7 of Symbol, goes out as the Symbol byte.
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("listtable-bullets.rtf")));
        QVERIFY(TQBRtfWriter::Write(doc).contains("{\\pntxtb\\'b7}"));
        TQBRtfReader::Load(doc, QBListCorpus::Read(QStringLiteral("richedit-bullets.rtf")));
        const TQBListStyle style = QBListStyleOf(doc.lastBlock().textList()->format());
        QCOMPARE(style.BulletFont, QStringLiteral("Wingdings"));
        QCOMPARE(style.Bullet, QStringLiteral("\u00a7"));
    }

    void listsMadeInTheEditor_areWrittenAsBefore()
    {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        cursor.insertText(QStringLiteral("one"));
        QTextListFormat format;
        format.setStyle(QTextListFormat::ListLowerRoman);
        cursor.createList(format);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        QCOMPARE(QBListLabel(doc.lastBlock()), QStringLiteral("ii."));
        QVERIFY(TQBRtfWriter::Write(doc).contains("{\\pntext ii.\\tab}"));
    }

    void numbers_readAndWriteInEveryStyle()
    {
        for (int numbering = TQBListStyle::Decimal; numbering <= TQBListStyle::UpperRoman; ++numbering) {
            TQBListStyle style;
            style.Numbering = numbering;
            style.Prefix = QStringLiteral("(");
            style.Suffix = QStringLiteral(")");
            for (const int n : {1, 4, 9, 26, 27, 40, 1999, 3999}) {
                const QString label = style.Prefix + QBListNumberText(numbering, n) + style.Suffix;
                QCOMPARE(QBListLabelNumber(label, style), n);
            }
        }
        QCOMPARE(QBListNumberText(TQBListStyle::UpperRoman, 1994), QStringLiteral("MCMXCIV"));
        QCOMPARE(QBListNumberText(TQBListStyle::LowerAlpha, 28), QStringLiteral("ab"));
        QCOMPARE(QBListNumberText(TQBListStyle::LowerRoman, 5000), QStringLiteral("5000"));
    }
};

QTEST_MAIN(TestQBRtfLists)
#include "tst_QBRtfLists.moc"
