// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "controls/VtlRichEdit.h"
#include "support/ListCorpus.h"

#include <QBuffer>
#include <QTest>
#include <QTextBlock>
#include <QTextList>

namespace {

void Load(TVtlRichEdit &editor, QByteArray rtf)
{
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    editor.StreamIn(buffer, sfRichText, {});
}

// The marker before each paragraph: the label the control paints, or the one Qt draws.
QStringList Shown(const TVtlRichEdit &editor)
{
    QStringList labels;
    for (QTextBlock block = editor.document()->begin(); block.isValid(); block = block.next()) {
        const QTextList *list = block.textList();
        const QString painted = editor.PaintedListLabel(block);
        if (!list || !painted.isEmpty())
            labels.append(painted);
        else if (list->format().style() == QTextListFormat::ListDisc)
            labels.append(QStringLiteral("\u2022"));
        else
            labels.append(list->itemText(block));
    }
    return labels;
}

} // namespace

class TestVtlRichEditLists : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void editor_showsEachSamplesLabels_data() { QBListCorpus::AddRows(); }
    void editor_showsEachSamplesLabels()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, labels);
        TVtlRichEdit editor;
        editor.resize(400, 300);
        Load(editor, rtf);
        QCOMPARE(Shown(editor), labels);
        // Painting the labels must work with the real widget.
        QVERIFY(!editor.grab().isNull());
    }

    void changingTheStyle_keepsTheStartAndTheTexts()
    {
        TVtlRichEdit editor;
        Load(editor, QBListCorpus::Read(QStringLiteral("richedit-roman-start.rtf")));
        editor.Paragraph().SetNumbering(TRxParaAttributes::nsNumber);
        QCOMPARE(Shown(editor), QStringList({"4.", "5.", "6.", ""}));
        QCOMPARE(editor.Paragraph().Numbering(), int(TRxParaAttributes::nsNumber));
        editor.Paragraph().SetNumbering(TRxParaAttributes::nsBullet);
        QCOMPARE(Shown(editor), QStringList({"\u2022", "\u2022", "\u2022", ""}));
    }
};

QTEST_MAIN(TestVtlRichEditLists)
#include "tst_VtlRichEditLists.moc"
