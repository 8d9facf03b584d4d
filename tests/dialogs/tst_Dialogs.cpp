// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "dialogs/AboutDlg.h"
#include "dialogs/ErrorDlg.h"
#include "dialogs/MarkerDlg.h"
#include "dialogs/TipsDlg.h"
#include "document/QBDataIntf.h"
#include "document/QBDom.h"
#include "document/QBMarkers.h"
#include "framework/NVKInit.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"
#include "support/TestHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

template <class T> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QString::fromLatin1(name));
}

// Answers the next modal dialog once it is up: runs action on it, then closes it.
template <class Dialog> void whenShown(std::function<void(Dialog *)> action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        action(dialog);
        dialog->reject();
    });
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void errorDialog_showsFrameworkErrorsAndOthersDifferently()
    {
        TFErrorDlg dialog;
        auto *message = child<QLabel>(&dialog, "lblMessage");
        auto *details = child<QPushButton>(&dialog, "btnDetails");
        auto *memo = child<QPlainTextEdit>(&dialog, "memDetails");
        QVERIFY(!dialog.DetailsShown());
        QCOMPARE(details->text(), QStringLiteral("More >>"));

        dialog.SetException(std::make_exception_ptr(std::runtime_error("disk on fire")));
        QCOMPARE(message->text(), QStringLiteral("Sorry, requested operation could not be completed."));
        QCOMPARE(memo->toPlainText(), QStringLiteral("disk on fire"));
        QVERIFY(details->isEnabled());
        QTest::mouseClick(details, Qt::LeftButton);
        QVERIFY(dialog.DetailsShown());
        QCOMPARE(details->text(), QStringLiteral("<< Less"));

        dialog.SetException(std::make_exception_ptr(EQBDocumentError(QStringLiteral("Article not found."))));
        QCOMPARE(message->text(), QStringLiteral("Article not found."));
        QVERIFY(!details->isEnabled());
        QVERIFY(!dialog.DetailsShown());
    }

    void markerDialog_marksTheArticle_orItsWholeSubtree()
    {
        TQBMarkerDictionary markers;
        markers.LoadDefaultMarkers();
        const IQBDocumentPtr doc = NewQBDocument();
        const IQBArticlePtr parent = doc->AddChild(doc->Root());
        const IQBArticlePtr son = doc->AddChild(parent);
        const IQBArticlePtr grandchild = doc->AddChild(son);
        parent->SetMark(3);

        TFMarkerDlg dialog(markers);
        auto *list = child<QListWidget>(&dialog, "lvMarkers");
        auto *ok = child<QPushButton>(&dialog, "btnOK");
        QVERIFY(!dialog.Execute(nullptr));
        dialog.Prepare(parent);
        QCOMPARE(list->count(), 17);
        QCOMPARE(list->currentRow(), 3);
        QVERIFY(ok->isEnabled());
        list->clearSelection();
        QVERIFY(!ok->isEnabled());
        dialog.btnOKClick(); // nothing selected: nothing happens
        QCOMPARE(parent->Mark(), 3);

        list->setCurrentRow(5);
        dialog.btnOKClick();
        QCOMPARE(parent->Mark(), 5);
        QCOMPARE(son->Mark(), 0);

        dialog.Prepare(parent);
        list->setCurrentRow(11);
        child<QCheckBox>(&dialog, "cbChildren")->setChecked(true);
        dialog.btnOKClick();
        QCOMPARE(parent->Mark(), 11);
        QCOMPARE(son->Mark(), 11);
        QCOMPARE(grandchild->Mark(), 11);
        QCOMPARE(doc->Root()->Mark(), 0);

        // A marker index past the list (from a newer file) selects nothing.
        grandchild->SetMark(200);
        dialog.Prepare(grandchild);
        QVERIFY(list->selectedItems().isEmpty());
    }

    void tipsDialog_reportsAMissingFile_andWrapsAround()
    {
        QTemporaryDir dir;
        TFTipsDlg::SetTipsFolder(dir.path());
        {
            TFTipsDlg dialog;
            QCOMPARE(dialog.TipText(), QStringLiteral("There's no tips at this time. "));
            dialog.ShowTip(5);
            QVERIFY(dialog.TipText().startsWith(QStringLiteral("Quillbox failed to load the file '")));
            QVERIFY(dialog.TipText().contains(QStringLiteral("tips.txt'.\r\nError message: ")));
            QVERIFY(!child<QPushButton>(&dialog, "btnNext")->isEnabled());
        }
        QVERIFY(writeFile(dir.filePath(QStringLiteral("tips.txt")), "First tip\nSecond tip\r\nThird tip\n\n"));
        TFTipsDlg dialog;
        dialog.ShowTip(2);
        QCOMPARE(dialog.TipText(), QStringLiteral("Third tip"));
        QTest::mouseClick(child<QPushButton>(&dialog, "btnNext"), Qt::LeftButton);
        QCOMPARE(dialog.TipText(), QStringLiteral("First tip"));
        dialog.ShowTip(3); // beyond the last line
        QCOMPARE(dialog.TipIndex(), 0);
    }

    void showTips_followsAndUpdatesTheSettings()
    {
        QTemporaryDir dir;
        TRegistry::SetStoreFolder(dir.path());
        TFTipsDlg::SetTipsFolder(dir.path());
        QVERIFY(writeFile(dir.filePath(QStringLiteral("tips.txt")), "one\ntwo\nthree\n"));
        NVKFinalizeCore();
        NVKInitializeCore();
        TQBSettingsService provider;
        provider.SetActive(true);
        const auto settings = SettingsService();
        settings->SetTipIndex(2);

        QString shown;
        whenShown<TFTipsDlg>([&](TFTipsDlg *d) {
            shown = d->TipText();
            d->btnNextClick();
            d->SetShowAtStartup(false);
        });
        TFTipsDlg::ShowTips(false);
        QCOMPARE(shown, QStringLiteral("one")); // after the last comes the first
        QCOMPARE(settings->GetTipIndex(), 1);
        QVERIFY(!settings->GetShowTips());

        shown.clear();
        whenShown<TFTipsDlg>([&](TFTipsDlg *d) { shown = d->TipText(); });
        TFTipsDlg::ShowTips(false);
        QVERIFY(shown.isEmpty()); // switched off: no dialog at start-up
        TFTipsDlg::ShowTips(true);
        QCOMPARE(shown, QStringLiteral("three"));
        provider.SetActive(false);
    }

    void aboutDialog_readsMemoryFacts()
    {
        QCOMPARE(QBFormatKB(1234567), QStringLiteral("1 234 567 KB"));
        QCOMPARE(QBFormatKB(999), QStringLiteral("999 KB"));
        QTemporaryDir dir;
        QVERIFY(writeFile(dir.filePath(QStringLiteral("meminfo")), "MemTotal:       16000000 kB\nMemFree:  1 kB\n"
                                                                   "MemAvailable:    4000000 kB\nSwapTotal: 0 kB\n"
                                                                   "SwapFree: 0 kB\ngarbage\n"));
        const TQBSystemFacts facts = QBReadSystemFacts(dir.filePath(QStringLiteral("meminfo")));
        QCOMPARE(facts.PhysicalTotalKB, 16000000);
        QCOMPARE(facts.PhysicalAvailableKB, 4000000);
        QCOMPARE(facts.SwapTotalKB, 0);
        QVERIFY(!facts.Environment.isEmpty());

        TFAboutDlg dialog;
        dialog.Fill(facts);
        QCOMPARE(child<QLabel>(&dialog, "lblPhysValue")->text(), QStringLiteral("16 000 000 KB"));
        QCOMPARE(child<QProgressBar>(&dialog, "pbPhysMemory")->value(), 75);
        QCOMPARE(child<QProgressBar>(&dialog, "pbPageFile")->value(), 0);
        QCOMPARE(TFAboutDlg::LinkTarget(1).left(7), QStringLiteral("mailto:"));
        QVERIFY(TFAboutDlg::LinkTarget(3).isEmpty());
        QVERIFY(QBReadSystemFacts(dir.filePath(QStringLiteral("missing"))).PhysicalTotalKB < 0);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
