// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "base/NVKDateTime.h"
#include "controls/ArticleRichEdit.h"
#include "dialogs/DateTimeDlg.h"
#include "dialogs/GoToDlg.h"
#include "dialogs/ParagraphDlg.h"
#include "platform/QBHelp.h"
#include "services/QBSettingsSvc.h"

#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>

namespace {

struct TEditFixture : TAppFrameFixture
{
    TArticleRichEdit *edit() const { return frame->RichEdit; }

    // Selects paragraphs first to last (0-based).
    void selectParagraphs(int first, int last) const
    {
        QTextCursor cursor(edit()->document()->findBlockByNumber(first));
        cursor.setPosition(edit()->document()->findBlockByNumber(last).position(), QTextCursor::KeepAnchor);
        edit()->setTextCursor(cursor);
    }

    TRxParaValues values(int paragraph) const
    {
        selectParagraphs(paragraph, paragraph);
        return edit()->Paragraph().Values();
    }
};

// Runs action on the next modal dialog of type Dialog once it shows.
template <class Dialog, class Action> void whenModal(Action action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
    });
}

void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

const QByteArray FiveLines = "{\\rtf1\\ansi l1\\par l2\\par l3\\par l4\\par l5}";
const QByteArray TwoIndented = "{\\rtf1\\ansi\\pard\\li720\\sb120 one\\par\\pard\\li360\\sb120 two\\par\\pard three}";

} // namespace

class TestEditDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void cleanup()
    {
        NVKSetClock(nullptr);
        QLocale::setDefault(QLocale::c());
        QBCloseHelpViewer();
    }

    void commands_sitInTheirMenusAndThePopup_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("action");
        QTest::newRow("View") << "mView"
                              << "ViewGoToLine";
        QTest::newRow("Format") << "mFormat"
                                << "FormatParagraph";
        QTest::newRow("editor popup") << "pmEdit"
                                      << "FormatParagraph";
        QTest::newRow("Insert > Date/Time") << "miDateTime"
                                            << "InsertDateFormat";
    }

    void commands_sitInTheirMenusAndThePopup()
    {
        QFETCH(QString, menu);
        QFETCH(QString, action);
        TEditFixture f;
        auto *owner = f.frame->findChild<QMenu *>(menu);
        QVERIFY(owner);
        auto *command = f.frame->findChild<QAction *>(action);
        QVERIFY(command);
        QVERIFY(owner->actions().contains(command));
    }

    void goToLine_movesToTheLineStart_orExplainsTheRange_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("line");
        QTest::newRow("a line in range") << "3"
                                         << "3" << 3;
        QTest::newRow("the last line") << "5"
                                       << "5" << 5;
        QTest::newRow("letters are dropped") << "a2b"
                                             << "2" << 2;
        QTest::newRow("beyond the last line") << "9"
                                              << "9" << -1;
        QTest::newRow("line zero") << "0"
                                   << "0" << -1;
    }

    void goToLine_movesToTheLineStart_orExplainsTheRange()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, line);
        TEditFixture f;
        f.setBody(FiveLines);
        f.edit()->SetSelStart(f.edit()->CharFromLine(3) + 1);
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        bool stayedOpen = false;
        whenModal<TFGoToDlg>([&](TFGoToDlg *dialog) {
            QCOMPARE(dialog->edLine->text(), QStringLiteral("4"));
            retype(dialog->edLine, typed);
            QCOMPARE(dialog->edLine->text(), shown);
            dialog->btnOKClick();
            stayedOpen = dialog->isVisible();
            if (stayedOpen)
                dialog->reject();
        });
        f.run(f.frame->ViewGoToLine);
        const QString message =
            QStringLiteral("The current article contains only 5 lines. Please enter a number between 1 and 5.");
        if (line < 0) {
            QVERIFY(stayedOpen);
            QCOMPARE(QBDialogs::ShownTexts(), QStringList(message));
            QCOMPARE(f.edit()->SelStart(), f.edit()->CharFromLine(3) + 1);
        } else {
            QVERIFY(!stayedOpen);
            QVERIFY(QBDialogs::ShownTexts().isEmpty());
            QCOMPARE(f.edit()->SelStart(), f.edit()->CharFromLine(line - 1));
            QCOMPARE(f.edit()->CaretColumn(), 0);
        }
    }

    void goToLine_emptyFieldDisablesOK()
    {
        TEditFixture f;
        TFGoToDlg dialog(f.frame.get());
        dialog.edLine->clear();
        QVERIFY(!dialog.btnOK->isEnabled());
        QTest::keyClicks(dialog.edLine, QStringLiteral("1234567"));
        QCOMPARE(dialog.edLine->text(), QStringLiteral("12345"));
        QVERIFY(dialog.btnOK->isEnabled());
    }

    void paragraph_showsSharedValues_appliesTypedOnes_asOneUndoStep_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("twips");
        QTest::newRow("inches in the US") << "en_US"
                                          << "0.08"
                                          << "inches"
                                          << "0.5" << 720;
        QTest::newRow("centimetres in Germany") << "de_DE"
                                                << "0,21"
                                                << "centimetres"
                                                << "1,27" << 720;
        QTest::newRow("a whole centimetre") << "de_DE"
                                            << "0,21"
                                            << "centimetres"
                                            << "1" << 567;
        QTest::newRow("beyond 22 inches is refused") << "en_US"
                                                     << "0.08"
                                                     << "inches"
                                                     << "30" << -1;
    }

    void paragraph_showsSharedValues_appliesTypedOnes_asOneUndoStep()
    {
        QFETCH(QString, locale);
        QFETCH(QString, before);
        QFETCH(QString, unit);
        QFETCH(QString, typed);
        QFETCH(int, twips);
        QLocale::setDefault(QLocale(locale));
        TEditFixture f;
        f.setBody(TwoIndented);
        f.selectParagraphs(0, 1);
        whenModal<TFParagraphDlg>([&](TFParagraphDlg *dialog) {
            // The paragraphs share space before and alignment; their left indents differ.
            QCOMPARE(dialog->sePLeftIndent->text(), QString());
            QCOMPARE(dialog->sePBefore->text(), before);
            QCOMPARE(dialog->sePRightIndent->text(), QStringLiteral("0"));
            QCOMPARE(dialog->cbPAlignment->currentIndex(), 0);
            QCOMPARE(dialog->cbPRule->currentIndex(), 0);
            QVERIFY(!dialog->sePValue->isEnabled());
            QCOMPARE(dialog->gbNumbering->checkedId(), 0);
            QCOMPARE(dialog->lblPValueUnit->text(), unit);
            QVERIFY(!dialog->btnApply->isEnabled());

            retype(dialog->sePLeftIndent, typed);
            dialog->cbPRule->setCurrentIndex(TRxParaAttributes::lsDouble);
            QCOMPARE(dialog->btnOK->isEnabled(), twips >= 0);
            QCOMPARE(dialog->btnApply->isEnabled(), twips >= 0);
            if (twips >= 0)
                dialog->btnOKClick();
            else
                dialog->reject();
        });
        f.run(f.frame->FormatParagraph);

        for (int i = 0; i < 2; ++i) {
            const TRxParaValues values = f.values(i);
            QCOMPARE(values.LeftIndent, std::optional<int>(twips >= 0 ? twips : (i == 0 ? 720 : 360)));
            QCOMPARE(values.SpaceBefore, std::optional<int>(120));
            QCOMPARE(values.LineSpacingRule,
                     std::optional<int>(twips >= 0 ? TRxParaAttributes::lsDouble : TRxParaAttributes::lsSingle));
        }
        QCOMPARE(f.values(2).LeftIndent, std::optional<int>(0));
        QCOMPARE(f.values(2).LineSpacingRule, std::optional<int>(TRxParaAttributes::lsSingle));
        if (twips < 0)
            return;
        f.frame->alStandardUpdate();
        f.run(f.frame->EditUndo);
        QCOMPARE(f.values(0).LeftIndent, std::optional<int>(720));
        QCOMPARE(f.values(1).LeftIndent, std::optional<int>(360));
        QCOMPARE(f.values(0).LineSpacingRule, std::optional<int>(TRxParaAttributes::lsSingle));
    }

    void paragraph_tabStops_areAddedReplacedRemovedAndCleared()
    {
        TEditFixture f;
        f.setBody("{\\rtf1\\ansi\\pard\\tx720 one}");
        TFParagraphDlg dialog(f.frame.get());
        dialog.Load(f.edit()->Paragraph());
        QCOMPARE(dialog.lbTTabList->count(), 1);
        QCOMPARE(dialog.lbTTabList->item(0)->text(), QStringLiteral("0.5 inches"));
        QCOMPARE(dialog.seTTabPos->text(), QStringLiteral("0.5"));

        retype(dialog.seTTabPos, QStringLiteral("2"));
        dialog.cbTKind->setCurrentIndex(1);
        dialog.btnTAddClick();
        retype(dialog.seTTabPos, QStringLiteral("0.25"));
        dialog.cbTKind->setCurrentIndex(3);
        dialog.btnTAddClick();
        // A stop at a place that has one replaces it.
        retype(dialog.seTTabPos, QStringLiteral("0.5"));
        dialog.cbTKind->setCurrentIndex(2);
        dialog.btnTAddClick();
        QStringList entries;
        for (int i = 0; i < dialog.lbTTabList->count(); ++i)
            entries << dialog.lbTTabList->item(i)->text();
        QCOMPARE(entries, QStringList({QStringLiteral("0.25 inches (Decimal)"), QStringLiteral("0.5 inches (Center)"),
                                       QStringLiteral("2 inches (Right)")}));
        QCOMPARE(dialog.lbTTabList->currentRow(), 1);
        retype(dialog.seTTabPos, QStringLiteral("1"));
        dialog.btnTUpdateClick();
        dialog.lbTTabList->setCurrentRow(0);
        dialog.btnTDeleteClick();
        QVERIFY(!dialog.btnTDelete->isEnabled());
        QVERIFY(dialog.btnApply->isEnabled());
        dialog.btnApplyClick();
        QVERIFY(!dialog.btnApply->isEnabled());
        QCOMPARE(f.values(0).Tabs, (std::optional<QList<TRxTab>>(QList<TRxTab>{{1440, 2}, {2880, 1}})));

        dialog.btnTClearClick();
        QCOMPARE(dialog.lbTTabList->count(), 0);
        QVERIFY(!dialog.btnTClear->isEnabled());
        dialog.btnOKClick();
        QCOMPARE(f.values(0).Tabs, std::optional<QList<TRxTab>>(QList<TRxTab>()));
    }

    void paragraph_differentTabStops_showNone_andCanBeClearedTogether()
    {
        TEditFixture f;
        f.setBody("{\\rtf1\\ansi\\pard\\tx720 one\\par\\pard\\tx1440 two}");
        f.selectParagraphs(0, 1);
        TFParagraphDlg dialog(f.frame.get());
        dialog.Load(f.edit()->Paragraph());
        QCOMPARE(dialog.lbTTabList->count(), 0);
        QVERIFY(dialog.btnTClear->isEnabled());
        dialog.btnTClearClick();
        QVERIFY(!dialog.btnTClear->isEnabled());
        dialog.btnOKClick();
        QCOMPARE(f.values(0).Tabs, std::optional<QList<TRxTab>>(QList<TRxTab>()));
        QCOMPARE(f.values(1).Tabs, std::optional<QList<TRxTab>>(QList<TRxTab>()));
    }

    void paragraph_everyValue_survivesSaveAndReopen()
    {
        TEditFixture f;
        f.setBody("{\\rtf1\\ansi first\\par second}");
        f.selectParagraphs(0, 0);
        TFParagraphDlg dialog(f.frame.get());
        dialog.Load(f.edit()->Paragraph());
        dialog.cbPAlignment->setCurrentIndex(TRxParaAttributes::paRight);
        Q_EMIT dialog.cbPAlignment->activated(TRxParaAttributes::paRight);
        retype(dialog.sePLeftIndent, QStringLiteral("1"));
        retype(dialog.sePRightIndent, QStringLiteral("0.5"));
        retype(dialog.sePFirstLine, QStringLiteral("-0.25"));
        retype(dialog.sePBefore, QStringLiteral("0.1"));
        retype(dialog.sePAfter, QStringLiteral("0.2"));
        dialog.cbPRule->setCurrentIndex(TRxParaAttributes::lsExactly);
        retype(dialog.sePValue, QStringLiteral("0.25"));
        retype(dialog.seTTabPos, QStringLiteral("1"));
        dialog.cbTKind->setCurrentIndex(2);
        dialog.btnTAddClick();
        dialog.btnOKClick();

        QBDialogs::QueueFileName(f.path(QStringLiteral("paragraphs.xqb")));
        f.run(f.frame->FileSave);
        f.run(f.frame->FileNew);
        QBDialogs::QueueFileName(f.path(QStringLiteral("paragraphs.xqb")));
        f.run(f.frame->FileOpen);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("first\nsecond"));
        const TRxParaValues values = f.values(0);
        QCOMPARE(values.Alignment, std::optional<int>(TRxParaAttributes::paRight));
        QCOMPARE(values.LeftIndent, std::optional<int>(1440));
        QCOMPARE(values.RightIndent, std::optional<int>(720));
        QCOMPARE(values.FirstIndent, std::optional<int>(-360));
        QCOMPARE(values.SpaceBefore, std::optional<int>(144));
        QCOMPARE(values.SpaceAfter, std::optional<int>(288));
        QCOMPARE(values.LineSpacingRule, std::optional<int>(TRxParaAttributes::lsExactly));
        QCOMPARE(values.LineSpacing, std::optional<int>(360));
        QCOMPARE(values.Tabs, (std::optional<QList<TRxTab>>(QList<TRxTab>{{1440, 2}})));
        QCOMPARE(f.values(1).LeftIndent, std::optional<int>(0));
    }

    void dateTime_listsThePatternsInTheLocale_andRemembersTheChoice_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("time");
        QTest::newRow("en_US") << "en_US"
                               << "05 March 2024"
                               << "14:07";
        QTest::newRow("de_DE") << "de_DE"
                               << "05 März 2024"
                               << "14:07";
    }

    void dateTime_listsThePatternsInTheLocale_andRemembersTheChoice()
    {
        QFETCH(QString, locale);
        QFETCH(QString, date);
        QFETCH(QString, time);
        QLocale::setDefault(QLocale(locale));
        const QDateTime fixed(QDate(2024, 3, 5), QTime(14, 7, 9));
        NVKSetClock([fixed] { return fixed; });
        TEditFixture f;
        f.edit()->setFocus();
        QTest::keyClicks(f.edit(), QStringLiteral("On "));

        whenModal<TFDateTimeDlg>([&](TFDateTimeDlg *dialog) {
            QCOMPARE(dialog->lbDate->count(), 11);
            QCOMPARE(dialog->lbTime->count(), 6);
            QCOMPARE(dialog->lbDate->currentRow(), 0);
            QCOMPARE(dialog->lbDate->item(4)->text(), QStringLiteral("2024-03-05"));
            QCOMPARE(dialog->lbDate->item(5)->text(), date);
            QCOMPARE(dialog->lbTime->item(5)->text(), QStringLiteral("14:07:09"));
            dialog->lbDate->setCurrentRow(5);
            dialog->lbTime->setCurrentRow(4);
            dialog->btnOKClick();
        });
        f.run(f.frame->InsertDateFormat);
        QCOMPARE(f.edit()->toPlainText(), QStringLiteral("On ") + date + QLatin1Char(' ') + time);

        whenModal<TFDateTimeDlg>([](TFDateTimeDlg *dialog) {
            QCOMPARE(dialog->lbDate->currentRow(), 5);
            QCOMPARE(dialog->lbTime->currentRow(), 4);
            dialog->cbDate->setChecked(false);
            QVERIFY(!dialog->lbDate->isEnabled());
            dialog->btnOKClick();
        });
        f.run(f.frame->InsertDateFormat);
        QVERIFY(f.edit()->toPlainText().endsWith(time + time));

        whenModal<TFDateTimeDlg>([](TFDateTimeDlg *dialog) {
            QVERIFY(!dialog->cbDate->isChecked());
            QVERIFY(dialog->cbTime->isChecked());
            dialog->cbTime->setChecked(false);
            QCOMPARE(dialog->ResultText(), QString());
            dialog->reject();
        });
        f.run(f.frame->InsertDateFormat);
        QVERIFY(f.edit()->toPlainText().endsWith(time + time));
    }

    void helpButtons_showTheDialogsSections_data()
    {
        QTest::addColumn<int>("dialog");
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("section");
        QTest::newRow("go to line") << 0 << 0 << "gotoline";
        QTest::newRow("paragraph page") << 1 << 0 << "paragraph-page";
        QTest::newRow("tabs page") << 1 << 1 << "tabs";
        QTest::newRow("numbering page") << 1 << 2 << "numbering";
        QTest::newRow("date and time") << 2 << 0 << "datetime";
    }

    void helpButtons_showTheDialogsSections()
    {
        QFETCH(int, dialog);
        QFETCH(int, page);
        QFETCH(QString, section);
        QBSetHelpFolder(QStringLiteral(QB_RESOURCES_DIR "/help"));
        TEditFixture f;
        // The help window belongs to the dialog while the dialog is open.
        TFGoToDlg goTo(f.frame.get());
        TFParagraphDlg paragraph(f.frame.get());
        TFDateTimeDlg dateTime(f.frame.get());
        if (dialog == 0) {
            goTo.btnHelpClick();
        } else if (dialog == 1) {
            paragraph.nbPages->setCurrentIndex(page);
            paragraph.btnHelpClick();
        } else {
            dateTime.btnHelpClick();
        }
        QVERIFY(QBHelpViewer());
        QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("dialogs.html"));
        QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), section);
        QFile help(QStringLiteral(QB_RESOURCES_DIR "/help/dialogs.html"));
        QVERIFY(help.open(QIODevice::ReadOnly));
        QVERIFY(help.readAll().contains(QByteArray("id=\"" + section.toLatin1() + "\"")));
        QBSetHelpFolder(QString());
    }

    void dialogs_speakGerman()
    {
        TShippedLanguages shipped;
        TEditFixture f;
        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        QCOMPARE(f.frame->FormatParagraph->text(), QStringLiteral("&Absatz..."));
        QCOMPARE(f.frame->ViewGoToLine->text(), QStringLiteral("Gehe zu Zeile&nnummer..."));
        QCOMPARE(f.frame->InsertDateFormat->text(), QStringLiteral("&Weitere Formate..."));

        TFGoToDlg goTo(f.frame.get());
        QCOMPARE(goTo.windowTitle(), QStringLiteral("Gehe zu Zeile"));
        QCOMPARE(goTo.btnCancel->text(), QStringLiteral("Abbrechen"));
        goTo.SetLineCount(2);
        goTo.edLine->setText(QStringLiteral("7"));
        QBDialogs::QueueAnswer(QMessageBox::Ok);
        goTo.btnOKClick();
        QCOMPARE(QBDialogs::ShownTexts(),
                 QStringList(QStringLiteral(
                     "Der aktuelle Artikel enthält nur 2 Zeilen. Bitte geben Sie eine Zahl zwischen 1 und 2 ein.")));

        QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
        TFParagraphDlg paragraph(f.frame.get());
        QCOMPARE(paragraph.windowTitle(), QStringLiteral("Absatz"));
        QCOMPARE(paragraph.nbPages->tabText(1), QStringLiteral("Tabstopps"));
        QCOMPARE(paragraph.cbPRule->itemText(1), QStringLiteral("1,5 Zeilen"));
        QCOMPARE(paragraph.cbTKind->itemText(3), QStringLiteral("Dezimal"));
        QCOMPARE(paragraph.btnApply->text(), QStringLiteral("Übernehmen"));
        paragraph.cbPRule->setCurrentIndex(TRxParaAttributes::lsMultiple);
        QCOMPARE(paragraph.lblPValueUnit->text(), QStringLiteral("Zeilen"));

        TFDateTimeDlg dateTime(f.frame.get());
        QCOMPARE(dateTime.windowTitle(), QStringLiteral("Datum und Uhrzeit"));
        QCOMPARE(dateTime.cbDate->text(), QStringLiteral("&Datum einfügen"));
        SettingsService()->SetLanguage(QString());
    }
};

QTEST_MAIN(TestEditDialogs)
#include "tst_EditDialogs.moc"
