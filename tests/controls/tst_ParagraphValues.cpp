// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/VtlRichEdit.h"

#include <QBuffer>
#include <QTest>
#include <QTextBlock>

namespace {

void load(TVtlRichEdit &editor, const QByteArray &data)
{
    QByteArray bytes = data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    editor.LoadFromStream(buffer);
}

QByteArray save(TVtlRichEdit &editor)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    editor.SaveToStream(buffer);
    return bytes;
}

// Selects paragraphs first to last (0-based).
void selectParagraphs(TVtlRichEdit &editor, int first, int last)
{
    QTextCursor cursor(editor.document()->findBlockByNumber(first));
    cursor.setPosition(editor.document()->findBlockByNumber(last).position(), QTextCursor::KeepAnchor);
    editor.setTextCursor(cursor);
}

TRxParaValues allSet(int alignment, int rule, int spacing, QList<TRxTab> tabs)
{
    TRxParaValues values;
    values.Alignment = alignment;
    values.Numbering = TRxParaAttributes::nsNone;
    values.FirstIndent = -283;
    values.LeftIndent = 1134;
    values.RightIndent = 567;
    values.SpaceBefore = 170;
    values.SpaceAfter = 85;
    values.LineSpacingRule = rule;
    values.LineSpacing = spacing;
    values.Tabs = tabs;
    return values;
}

const QByteArray ThreeParagraphs = "{\\rtf1\\ansi one\\par two\\par three\\par}";

} // namespace

Q_DECLARE_METATYPE(TRxParaValues)

class TestParagraphValues : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void saveAndLoad_keepsEveryParagraphValue_data()
    {
        QTest::addColumn<TRxParaValues>("values");
        const QList<TRxTab> kinds{{720, 0}, {1440, 1}, {2160, 2}, {2880, 3}};
        QTest::newRow("justified, exact spacing, every tab kind")
            << allSet(TRxParaAttributes::paJustify, TRxParaAttributes::lsExactly, 300, kinds);
        QTest::newRow("right, minimum spacing")
            << allSet(TRxParaAttributes::paRight, TRxParaAttributes::lsAtLeast, 480, {{567, 0}});
        QTest::newRow("centred, 1.15 lines")
            << allSet(TRxParaAttributes::paCenter, TRxParaAttributes::lsMultiple, 115, {{100, 1}, {5000, 0}});
        QTest::newRow("left, one and a half lines, no tabs")
            << allSet(TRxParaAttributes::paLeft, TRxParaAttributes::lsOneAndHalf, 0, {});
        QTest::newRow("double spacing") << allSet(TRxParaAttributes::paLeft, TRxParaAttributes::lsDouble, 0, kinds);
    }

    void saveAndLoad_keepsEveryParagraphValue()
    {
        QFETCH(TRxParaValues, values);
        TVtlRichEdit editor;
        load(editor, ThreeParagraphs);
        selectParagraphs(editor, 0, 1);
        editor.Paragraph().Apply(values);

        TVtlRichEdit reopened;
        load(reopened, save(editor));
        selectParagraphs(reopened, 0, 1);
        const TRxParaValues read = reopened.Paragraph().Values();
        QCOMPARE(read.Alignment, values.Alignment);
        QCOMPARE(read.FirstIndent, values.FirstIndent);
        QCOMPARE(read.LeftIndent, values.LeftIndent);
        QCOMPARE(read.RightIndent, values.RightIndent);
        QCOMPARE(read.SpaceBefore, values.SpaceBefore);
        QCOMPARE(read.SpaceAfter, values.SpaceAfter);
        QCOMPARE(read.LineSpacingRule, values.LineSpacingRule);
        QCOMPARE(read.LineSpacing, values.LineSpacing);
        QCOMPARE(read.Tabs, values.Tabs);
        // The third paragraph was not selected and keeps its defaults.
        selectParagraphs(reopened, 2, 2);
        QCOMPARE(reopened.Paragraph().Values().LeftIndent, std::optional<int>(0));
    }

    void values_areEmptyWhereTheSelectedParagraphsDiffer()
    {
        TVtlRichEdit editor;
        load(editor, "{\\rtf1\\ansi\\pard\\li720\\sb120\\tx1440 one\\par\\pard\\li360\\sb120\\qc two\\par}");
        selectParagraphs(editor, 0, 1);
        const TRxParaValues shared = editor.Paragraph().Values();
        QCOMPARE(shared.SpaceBefore, std::optional<int>(120));
        QCOMPARE(shared.LineSpacingRule, std::optional<int>(TRxParaAttributes::lsSingle));
        QVERIFY(!shared.LeftIndent);
        QVERIFY(!shared.Alignment);
        QVERIFY(!shared.Tabs);
        selectParagraphs(editor, 1, 1);
        QCOMPARE(editor.Paragraph().Values().LeftIndent, std::optional<int>(360));
    }

    void apply_changesOnlyTheGivenValues_asOneUndoStep()
    {
        TVtlRichEdit editor;
        load(editor, "{\\rtf1\\ansi\\pard\\li720\\qc one\\par\\pard\\li360 two\\par three\\par}");
        selectParagraphs(editor, 0, 1);
        TRxParaValues change;
        change.SpaceAfter = 240;
        change.Tabs = QList<TRxTab>{{2000, 1}, {1000, 0}};
        editor.Paragraph().Apply(change);

        for (int i = 0; i < 2; ++i) {
            selectParagraphs(editor, i, i);
            const TRxParaValues values = editor.Paragraph().Values();
            QCOMPARE(values.SpaceAfter, std::optional<int>(240));
            // Stops are kept in order of position.
            QCOMPARE(values.Tabs, (std::optional<QList<TRxTab>>(QList<TRxTab>{{1000, 0}, {2000, 1}})));
            QCOMPARE(values.LeftIndent, std::optional<int>(i == 0 ? 720 : 360));
        }
        QVERIFY(editor.CanUndo());
        editor.Undo();
        for (int i = 0; i < 2; ++i) {
            selectParagraphs(editor, i, i);
            QCOMPARE(editor.Paragraph().Values().SpaceAfter, std::optional<int>(0));
        }
        QVERIFY(!editor.CanUndo());
    }
};

QTEST_MAIN(TestParagraphValues)
#include "tst_ParagraphValues.moc"
