// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "app/AppData.h"
#include "app/AppFrame.h"
#include "base/NVKDateTime.h"
#include "controls/ArticleRichEdit.h"
#include "controls/VtlFontComboBox.h"
#include "document/QBClipbrd.h"
#include "framework/NVKFormat.h"
#include "framework/NVKInit.h"
#include "platform/QBColors.h"
#include "platform/QBDialogs.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/Registry.h"

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFontDatabase>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

// The main window with helpers of these tests.
struct TFrameFixture : TAppFrameFixture
{
    TArticleRichEdit *edit() const { return frame->RichEdit; }
    // Types text into an empty editor.
    void type(const QString &text) const
    {
        edit()->setFocus();
        QTest::keyClicks(edit(), text);
    }

    void select(int start, int length) const
    {
        edit()->SetSelStart(start);
        edit()->SetSelLength(length);
    }

    // Replaces the size box's text by one typed key.
    void typeSize(Qt::Key key) const
    {
        QLineEdit *line = frame->cbSize->lineEdit();
        QTest::keyClick(line, key);
    }

    void writeFile(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
};

QAction *entryNamed(QMenu *menu, const QString &text)
{
    for (QAction *entry : menu->actions())
        if (entry->text() == text)
            return entry;
    return nullptr;
}

// Runs action on the next modal dialog of type Dialog once it shows.
template <class Dialog, class Action> void whenModal(Action action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}

// Restores the search path a test replaced.
struct TPathGuard
{
    QByteArray saved = qgetenv("PATH");
    ~TPathGuard() { qputenv("PATH", saved); }
};

} // namespace

class TestAppFrameFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { NVKSetClock(nullptr); }

    void formatParts_areNamedAndFilled()
    {
        TFrameFixture f;
        TFAppFrame *frame = f.frame.get();
        for (const char *name : {"tbFormat", "cbFont", "cbSize", "pmForeColors", "pmBackColors", "miDateTime",
                                 "FormatBold", "FormatClear", "ViewTFormat", "InsertText"})
            QVERIFY2(frame->findChild<QObject *>(QString::fromLatin1(name)), name);
        QCOMPARE(frame->cbFont->width(), 150);
        QVERIFY(frame->cbSize->isEditable());
        QStringList sizes;
        for (int i = 0; i < frame->cbSize->count(); ++i)
            sizes << frame->cbSize->itemText(i);
        QCOMPARE(sizes.join(QLatin1Char(' ')), QStringLiteral("8 9 10 11 12 14 16 18 20 22 24 26 28 36 48 72"));
        QCOMPARE(frame->FormatBold->shortcut(), QKeySequence(QStringLiteral("Ctrl+B")));
        QCOMPARE(frame->FormatBold->toolTip(), QStringLiteral("Bold"));
        QCOMPARE(frame->FormatBullets->text(), QStringLiteral("Bull&ets"));
        QVERIFY(frame->alFormat.contains(frame->FormatBold));
        QVERIFY(!frame->alStandard.contains(frame->FormatBold));
        QVERIFY(frame->alFormat.contains(frame->FormatParagraph));
        auto *foreButton = qobject_cast<QToolButton *>(frame->tbFormat->widgetForAction(frame->FormatForeColor));
        QVERIFY(foreButton);
        QCOMPARE(foreButton->menu(), frame->pmForeColors);
        const QList<QAction *> menus = frame->menuBar()->actions();
        QVERIFY(menus.at(4)->isEnabled());
        QVERIFY(menus.at(5)->isEnabled());
        QVERIFY(menus.at(5)->menu()->actions().contains(frame->FormatFont));
        QVERIFY(menus.at(4)->menu()->actions().contains(frame->InsertText));
    }

    void bold_togglesTheSelection_andCheckedFollowsTheCaret()
    {
        TFrameFixture f;
        f.type(QStringLiteral("one two"));
        f.select(4, 3);
        QVERIFY(!f.frame->FormatBold->isChecked());
        f.run(f.frame->FormatBold);
        QVERIFY(f.edit()->SelAttributes().Style() & TRxTextAttributes::fsBold);
        QVERIFY(f.frame->FormatBold->isChecked());

        f.edit()->SetSelStart(1);
        QVERIFY(!f.frame->FormatBold->isChecked());
        f.edit()->SetSelStart(5);
        QVERIFY(f.frame->FormatBold->isChecked());

        f.select(4, 3);
        f.run(f.frame->FormatBold);
        QVERIFY(!(f.edit()->SelAttributes().Style() & TRxTextAttributes::fsBold));
        QVERIFY(!f.frame->FormatBold->isChecked());

        // Without a selection the command takes the word at the caret.
        f.edit()->SetSelStart(1);
        f.run(f.frame->FormatItalic);
        f.select(0, 3);
        QVERIFY(f.edit()->SelAttributes().Style() & TRxTextAttributes::fsItalic);
        f.select(4, 3);
        QVERIFY(!(f.edit()->SelAttributes().Style() & TRxTextAttributes::fsItalic));
    }

    void styleAndParagraphCommands_toggleAndShowTheirState()
    {
        TFrameFixture f;
        f.type(QStringLiteral("words here"));
        f.select(0, 5);
        f.run(f.frame->FormatUnderline);
        f.run(f.frame->FormatStrikeout);
        QCOMPARE(f.edit()->SelAttributes().Style(), TRxTextAttributes::fsUnderline | TRxTextAttributes::fsStrikeOut);
        QVERIFY(f.frame->FormatUnderline->isChecked());
        QVERIFY(f.frame->FormatStrikeout->isChecked());

        f.run(f.frame->FormatSuperscript);
        QCOMPARE(f.edit()->SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssSuperscript));
        QVERIFY(f.frame->FormatSuperscript->isChecked());
        f.run(f.frame->FormatSubscript);
        QCOMPARE(f.edit()->SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssSubscript));
        QVERIFY(!f.frame->FormatSuperscript->isChecked());
        f.run(f.frame->FormatSubscript);
        QCOMPARE(f.edit()->SelAttributes().SubscriptStyle(), int(TRxTextAttributes::ssNone));

        QVERIFY(f.frame->FormatAlignLeft->isChecked());
        f.run(f.frame->FormatAlignCenter);
        QCOMPARE(f.edit()->Paragraph().Alignment(), int(TRxParaAttributes::paCenter));
        QVERIFY(f.frame->FormatAlignCenter->isChecked());
        QVERIFY(!f.frame->FormatAlignLeft->isChecked());
        f.run(f.frame->FormatAlignRight);
        QCOMPARE(f.edit()->Paragraph().Alignment(), int(TRxParaAttributes::paRight));
        f.run(f.frame->FormatAlignLeft);
        QCOMPARE(f.edit()->Paragraph().Alignment(), int(TRxParaAttributes::paLeft));

        f.run(f.frame->FormatBullets);
        QCOMPARE(f.edit()->Paragraph().Numbering(), int(TRxParaAttributes::nsBullet));
        QVERIFY(f.frame->FormatBullets->isChecked());
        f.run(f.frame->FormatNumbering);
        QCOMPARE(f.edit()->Paragraph().Numbering(), int(TRxParaAttributes::nsNumber));
        QVERIFY(f.frame->FormatNumbering->isChecked());
        QVERIFY(!f.frame->FormatBullets->isChecked());
        f.run(f.frame->FormatNumbering);
        QCOMPARE(f.edit()->Paragraph().Numbering(), int(TRxParaAttributes::nsNone));
        QVERIFY(!f.frame->FormatNumbering->isChecked());
    }

    void clear_removesTheSelectionsFormatting_keepingItsText()
    {
        TFrameFixture f;
        f.type(QStringLiteral("keep plain"));
        f.select(0, 4);
        f.run(f.frame->FormatBold);
        f.edit()->SelAttributes().SetColor(Qt::red);
        f.run(f.frame->FormatClear);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("keep plain"));
        QCOMPARE(f.edit()->SelText(), QStringLiteral("keep"));
        QCOMPARE(f.edit()->SelAttributes().Style(), 0);
        QVERIFY(f.edit()->SelAttributes().Color() != QColor(Qt::red));
        QVERIFY(!f.frame->FormatBold->isChecked());
    }

    void sizeBox_appliesEveryKeystroke_oneThenTwelve()
    {
        TFrameFixture f;
        f.type(QStringLiteral("sized text"));
        f.select(0, 5);
        f.frame->cbSize->lineEdit()->selectAll();
        f.typeSize(Qt::Key_1);
        QCOMPARE(f.edit()->SelAttributes().Size(), 1);
        f.typeSize(Qt::Key_2);
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("12"));
        QCOMPARE(f.edit()->SelAttributes().Size(), 12);
        QVERIFY(QBDialogs::ShownTexts().isEmpty());
        f.select(6, 4);
        QVERIFY(f.edit()->SelAttributes().Size() != 12);
    }

    void sizeBox_letterWarnsAndRestoresTheSize_emptyShowsTheSize()
    {
        TFrameFixture f;
        f.type(QStringLiteral("sized text"));
        f.select(0, 5);
        f.edit()->SelAttributes().SetSize(14);
        f.frame->UpdateFormatStatus();
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("14"));

        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->cbSize->lineEdit()->selectAll();
        f.typeSize(Qt::Key_X);
        QCOMPARE(QBDialogs::ShownTexts(), QStringList(QStringLiteral("'x' is not a valid font size.")));
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("14"));
        QCOMPARE(f.edit()->SelAttributes().Size(), 14);

        // Sizes the editor cannot show are refused the same way.
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->cbSize->setEditText(QStringLiteral("0"));
        QCOMPARE(QBDialogs::ShownTexts().size(), 2);
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("14"));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.frame->cbSize->setEditText(QStringLiteral("99999"));
        QCOMPARE(QBDialogs::ShownTexts().size(), 3);
        QCOMPARE(f.edit()->SelAttributes().Size(), 14);

        f.frame->cbSize->setEditText(QString());
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("14"));
        QCOMPARE(QBDialogs::ShownTexts().size(), 3);
    }

    void fontBox_followsTheCaret_andAChoiceSetsTheName()
    {
        TFrameFixture f;
        TVtlFontComboBox *box = f.frame->cbFont;
        QVERIFY(box->count() >= 2);
        const QString first = box->itemText(0);
        const QString second = box->itemText(1);
        f.type(QStringLiteral("one two"));
        f.select(0, 3);
        f.edit()->SelAttributes().SetName(first);
        f.select(4, 3);
        f.edit()->SelAttributes().SetName(second);

        f.edit()->SetSelStart(1);
        QCOMPARE(box->currentText(), first);
        f.edit()->SetSelStart(5);
        QCOMPARE(box->currentText(), second);
        f.select(4, 3);
        f.edit()->SelAttributes().SetSize(20);
        f.edit()->SetSelStart(6);
        QCOMPARE(f.frame->cbSize->currentText(), QStringLiteral("20"));
        // Showing the caret's font applied nothing back.
        f.select(0, 3);
        QCOMPARE(f.edit()->SelAttributes().Name(), first);

        box->setCurrentIndex(1);
        Q_EMIT box->activated(1);
        QCOMPARE(f.edit()->SelAttributes().Name(), second);
        f.select(4, 3);
        QCOMPARE(f.edit()->SelAttributes().Name(), second);
    }

    void fontBox_namesTheFontOfTheText_evenWhenItIsNotInstalled()
    {
        TFrameFixture f;
        const IQBArticlePtr article = f.add(QStringLiteral("From elsewhere"));
        article->SetContent(QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 No Such Family 77;}}"
                                           "\\f1 odd \\f0 text\\par}"));
        EditorService()->NavigateTo(article);
        TVtlFontComboBox *box = f.frame->cbFont;
        f.edit()->SetSelStart(1);
        QCOMPARE(box->currentText(), QStringLiteral("No Such Family 77"));
        f.edit()->SetSelStart(6);
        QCOMPARE(box->currentText(), QStringLiteral("Arial"));
        // Only the family at the caret stands in the list beside the installed ones.
        QCOMPARE(box->findText(QStringLiteral("No Such Family 77")), -1);
    }

    void fontCommand_presetsTheDialog_andWritesTheChoiceBack()
    {
        TFrameFixture f;
        // A family with bold and slanted faces, so the dialog can show every style.
        QString family;
        for (int i = 0; i < f.frame->cbFont->count() && family.isEmpty(); ++i) {
            const QStringList styles = QFontDatabase::styles(f.frame->cbFont->itemText(i));
            if (styles.contains(QStringLiteral("Bold")) &&
                (styles.contains(QStringLiteral("Italic")) || styles.contains(QStringLiteral("Oblique"))))
                family = f.frame->cbFont->itemText(i);
        }
        if (family.isEmpty())
            QSKIP("No installed font family has bold and italic faces.");
        f.type(QStringLiteral("styled"));
        f.select(0, 6);
        f.edit()->SelAttributes().SetName(family);
        f.edit()->SelAttributes().SetStyle(TRxTextAttributes::fsItalic);
        f.edit()->SelAttributes().SetSize(15);
        f.edit()->SelAttributes().SetColor(Qt::blue);
        QFont seen;
        QString seenColor;
        whenModal<QFontDialog>([&seen, &seenColor, family](QFontDialog *dialog) {
            seen = dialog->currentFont();
            // The colour row shows the text's colour and sets another.
            auto *colors = dialog->findChild<QComboBox *>(QStringLiteral("cbColor"));
            QVERIFY(colors);
            seenColor = colors->currentText();
            colors->setCurrentIndex(colors->findText(QStringLiteral("Maroon")));
            QFont chosen(family);
            chosen.setPointSize(18);
            chosen.setBold(true);
            chosen.setUnderline(true);
            dialog->setCurrentFont(chosen);
            dialog->accept();
        });
        f.run(f.frame->FormatFont);
        QVERIFY(seen.italic());
        QVERIFY(!seen.bold());
        QCOMPARE(seen.pointSize(), 15);
        TRxTextAttributes &attributes = f.edit()->SelAttributes();
        QCOMPARE(attributes.Name(), family);
        QCOMPARE(attributes.Size(), 18);
        QCOMPARE(attributes.Style(), TRxTextAttributes::fsBold | TRxTextAttributes::fsUnderline);
        QCOMPARE(seenColor, QStringLiteral("Blue"));
        QCOMPARE(attributes.Color(), QColor(0x80, 0, 0));

        // A colour of none of the sixteen stays as it is when OK is pressed.
        f.edit()->SelAttributes().SetColor(QColor(0x12, 0x34, 0x56));
        whenModal<QFontDialog>([](QFontDialog *dialog) { dialog->accept(); });
        f.run(f.frame->FormatFont);
        QCOMPARE(attributes.Color(), QColor(0x12, 0x34, 0x56));

        whenModal<QFontDialog>([](QFontDialog *dialog) { dialog->reject(); });
        f.run(f.frame->FormatFont);
        QCOMPARE(attributes.Size(), 18);
    }

    void colorMenus_listSixteenColoursWhiteFirst_thenAutomaticAndMore()
    {
        TFrameFixture f;
        for (QMenu *menu : {f.frame->pmForeColors, f.frame->pmBackColors}) {
            const QStringList texts = entryTexts(menu);
            QCOMPARE(texts.size(), 19);
            QCOMPARE(texts.first(), QStringLiteral("White"));
            QCOMPARE(texts.at(2), QStringLiteral("Fuchsia"));
            QCOMPARE(texts.at(15), QStringLiteral("Black"));
            QCOMPARE(texts.mid(16),
                     QStringList({QStringLiteral("-"), QStringLiteral("Automatic"), QStringLiteral("More...")}));
            QCOMPARE(menu->actions().first()->data().toInt(), 0xFFFFFF);
            QVERIFY(!menu->actions().first()->icon().isNull());
        }
        // Rebuilding replaces the colours instead of adding more.
        f.frame->BuildColorMenus();
        QCOMPARE(entryTexts(f.frame->pmForeColors).size(), 19);
        QCOMPARE(TFAppFrame::ColorCaption(QStringLiteral("clWindowText")), QStringLiteral("Window Text"));
        QCOMPARE(TFAppFrame::ColorCaption(QStringLiteral("clBtnHighlight")), QStringLiteral("Btn Highlight"));
        QCOMPARE(TFAppFrame::ColorCaption(QStringLiteral("clRed")), QStringLiteral("Red"));
    }

    void colorEntries_applyToTheSelection_andTheButtonRepeatsTheColour()
    {
        TFrameFixture f;
        f.type(QStringLiteral("red then more"));
        f.select(0, 3);
        QCOMPARE(f.frame->ForeColor(), clWindowTextColor);
        QCOMPARE(f.frame->BackColor(), clWindowColor);
        const QIcon before = f.frame->FormatForeColor->icon();
        entryNamed(f.frame->pmForeColors, QStringLiteral("Red"))->trigger();
        QCOMPARE(f.edit()->SelAttributes().Color(), QColor(255, 0, 0));
        QCOMPARE(f.frame->ForeColor(), TColor(0x0000FF));
        QVERIFY(f.frame->FormatForeColor->icon().cacheKey() != before.cacheKey());

        f.select(4, 4);
        f.run(f.frame->FormatForeColor);
        QCOMPARE(f.edit()->SelAttributes().Color(), QColor(255, 0, 0));

        entryNamed(f.frame->pmBackColors, QStringLiteral("Yellow"))->trigger();
        QCOMPARE(f.edit()->SelAttributes().BackColor(), QColor(255, 255, 0));
        entryNamed(f.frame->pmBackColors, QStringLiteral("Automatic"))->trigger();
        QCOMPARE(f.frame->BackColor(), clWindowColor);
        QVERIFY(!f.edit()->SelAttributes().BackColor().isValid());
        entryNamed(f.frame->pmForeColors, QStringLiteral("Automatic"))->trigger();
        QCOMPARE(f.frame->ForeColor(), clWindowTextColor);
        QCOMPARE(f.edit()->SelAttributes().Color(), TColorToQColor(clWindowTextColor));

        f.select(9, 4);
        whenModal<QColorDialog>([](QColorDialog *dialog) {
            dialog->setCurrentColor(QColor(0x12, 0x34, 0x56));
            dialog->accept();
        });
        entryNamed(f.frame->pmForeColors, QStringLiteral("More..."))->trigger();
        QCOMPARE(f.edit()->SelAttributes().Color(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(f.frame->ForeColor(), TColor(0x563412));
        whenModal<QColorDialog>([](QColorDialog *dialog) { dialog->reject(); });
        entryNamed(f.frame->pmBackColors, QStringLiteral("More..."))->trigger();
        QCOMPARE(f.frame->BackColor(), clWindowColor);
    }

    void dateTimeEntries_showFourFormats_andInsertTheClickedCaption()
    {
        TFrameFixture f;
        const QDateTime fixed(QDate(2024, 3, 5), QTime(14, 7, 9));
        NVKSetClock([fixed] { return fixed; });
        QMenu *insert = f.frame->menuBar()->actions().at(4)->menu();
        Q_EMIT insert->aboutToShow();
        const TDateTime now = DateTimeFromQDateTime(fixed);
        QStringList expected;
        for (const char *pattern : {"ddddd", "dddddd", "c", "dddddd tt"})
            expected << FormatDateTime(QString::fromLatin1(pattern), now);
        QCOMPARE(entryTexts(f.frame->miDateTime).mid(0, 4), expected);
        QVERIFY(expected.at(1) != expected.at(0));
        QVERIFY(expected.at(3).startsWith(expected.at(1)));

        f.type(QStringLiteral("Date: "));
        f.frame->miDateTime->actions().at(1)->trigger();
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("Date: ") + expected.at(1));
        // The command alone names no entry and inserts nothing.
        f.frame->InsertDateTime->trigger();
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("Date: ") + expected.at(1));
    }

    void textFromFile_insertsItsLinesAtTheCaret_unreadableFileWarns()
    {
        TFrameFixture f;
        f.writeFile(QStringLiteral("lines.txt"), "first line\r\nzweite Zeile \xc3\xa4\nlast");
        f.type(QStringLiteral("before after"));
        f.edit()->SetSelStart(7);
        QBDialogs::QueueFileName(f.path(QStringLiteral("lines.txt")));
        f.run(f.frame->InsertText);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("before first line\nzweite Zeile \u00e4\nlast\nafter"));
        QVERIFY(QBDialogs::ShownTexts().isEmpty());

        const QString before = f.edit()->toPlainText();
        QBDialogs::QueueFileName(f.path(QStringLiteral("missing.txt")));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(f.frame->InsertText);
        QCOMPARE(QBDialogs::ShownTexts().size(), 1);
        QVERIFY(QBDialogs::ShownTexts().first().startsWith(
            QStringLiteral("Cannot read the file '%1'.").arg(f.path(QStringLiteral("missing.txt")))));
        QCOMPARE(f.edit()->toPlainText(), before);

        // Cancelling the dialog inserts nothing.
        QBDialogs::QueueFileName(QString());
        f.run(f.frame->InsertText);
        QCOMPARE(f.edit()->toPlainText(), before);
    }

    void picture_isInsertedFromTheChosenFile()
    {
        TFrameFixture f;
        QImage image(6, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        QVERIFY(image.save(f.path(QStringLiteral("dot.png")), "PNG"));
        f.type(QStringLiteral("ab"));
        f.edit()->SetSelStart(1);
        QBDialogs::QueueFileName(f.path(QStringLiteral("dot.png")));
        f.run(f.frame->InsertPicture);
        const QString raw = f.edit()->document()->toRawText();
        QCOMPARE(raw.size(), 3);
        QCOMPARE(raw.at(1), QChar(QChar::ObjectReplacementCharacter));
    }

    void charMapAndCalculator_startADesktopProgram_orWarnThatNoneIsThere()
    {
        TFrameFixture f;
        TPathGuard guard;
        QTemporaryDir bin;
        qputenv("PATH", QFile::encodeName(bin.path()));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        f.run(f.frame->InsertCharMap);
        f.run(f.frame->InsertCalculator);
        const QStringList shown = QBDialogs::ShownTexts();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown.at(0).startsWith(QStringLiteral("No character map program was found.")));
        QVERIFY(shown.at(1).startsWith(QStringLiteral("No calculator program was found.")));

        const QString marker = bin.filePath(QStringLiteral("started"));
        for (const char *name : {"kcharselect", "galculator"}) {
            QFile script(bin.filePath(QString::fromLatin1(name)));
            QVERIFY(script.open(QIODevice::WriteOnly));
            script.write("#!/bin/sh\necho " + QByteArray(name) + " >> '" + QFile::encodeName(marker) + "'\n");
            script.close();
            QVERIFY(script.setPermissions(script.permissions() | QFileDevice::ExeOwner));
        }
        f.run(f.frame->InsertCharMap);
        f.run(f.frame->InsertCalculator);
        QCOMPARE(QBDialogs::ShownTexts().size(), 2);
        QFile started(marker);
        QTRY_VERIFY(started.exists() && started.size() >= qint64(strlen("kcharselect\ngalculator\n")));
        QVERIFY(started.open(QIODevice::ReadOnly));
        const QByteArray runs = started.readAll();
        QVERIFY(runs.contains("kcharselect"));
        QVERIFY(runs.contains("galculator"));
    }

    void formatToolbar_visibilitySurvivesSavingTheLayout()
    {
        TFrameFixture f;
        QVERIFY(!f.frame->tbFormat->isHidden());
        f.frame->alStandardUpdate();
        QVERIFY(f.frame->ViewTFormat->isChecked());
        f.run(f.frame->ViewTFormat);
        QVERIFY(f.frame->tbFormat->isHidden());
        QVERIFY(!f.frame->ViewTFormat->isChecked());
        QVERIFY(f.frame->close());
        f.frame.reset();

        f.frame = std::make_unique<TFAppFrame>();
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QVERIFY(f.frame->tbFormat->isHidden());
        QVERIFY(!f.frame->ViewTFormat->isChecked());
        QVERIFY(!f.frame->tbStandard->isHidden());
        f.run(f.frame->ViewTFormat);
        QVERIFY(!f.frame->tbFormat->isHidden());
        QVERIFY(f.frame->close());
        f.frame.reset();

        f.frame = std::make_unique<TFAppFrame>();
        f.frame->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.frame.get()));
        QVERIFY(!f.frame->tbFormat->isHidden());
        QVERIFY(f.frame->ViewTFormat->isChecked());
    }
};

QTEST_MAIN(TestAppFrameFormat)
#include "tst_AppFrameFormat.moc"
