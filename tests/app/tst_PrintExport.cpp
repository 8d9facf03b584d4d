// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/ArticleRichEdit.h"
#include "export/QBExportCore.h"
#include "report/ExportDlg.h"
#include "report/ExportHelper.h"
#include "report/PrintDlg.h"
#include "report/PrxCore.h"
#include "report/PrxRichEditSource.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsSvc.h"
#include "support/DocumentCompare.h"
#include "support/TestHelpers.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTextDocument>
#include <QTimer>

namespace {

struct TReportFixture : TAppFrameFixture
{
    IQBArticlePtr fruit, apple, empty, pear, notes;

    TReportFixture()
    {
        doc()->Root()->SetCaption(QStringLiteral("Notebook"));
        fruit = addArticle(doc(), doc()->Root(), QStringLiteral("Fruit"), rtf(QStringLiteral("About fruit.")));
        apple = addArticle(doc(), fruit, QStringLiteral("Apple"), rtf(QStringLiteral("Red and {\\b round}.")));
        empty = addArticle(doc(), fruit, QStringLiteral("Empty"), QString());
        pear = addArticle(doc(), empty, QStringLiteral("Pear"), rtf(QStringLiteral("Below an empty one.")));
        notes = addArticle(doc(), doc()->Root(), QStringLiteral("Notes"), rtf(QStringLiteral("Last words.")));
    }

    // What the export core writes for these choices, assembled on its own.
    QByteArray expected(TExportScope scope, const TQBExportOptions &options, TQBExportFormat format) const
    {
        TQBExportSource source;
        source.Document = doc();
        source.Current = EditorService()->CurrentArticle();
        for (int i = 0; i < EditorService()->WindowCount(); ++i)
            source.OpenArticles.append(EditorService()->WindowArticle(i));
        source.Selection = EditorService()->SelectionRTF();
        TQBExportOptions withFont = options;
        withFont.TitleFont = SettingsService()->GetTitleFont();
        QTextDocument text;
        QBBuildExport(text, scope, source, withFont);
        return QBExportBytes(text, format);
    }
};

void choose(TFReportDlg &dialog, TExportScope scope, const TQBExportOptions &options)
{
    QRadioButton *buttons[] = {dialog.rbSelection, dialog.rbCurrent, dialog.rbOpen, dialog.rbBranch, dialog.rbDocument};
    buttons[scope]->setChecked(true);
    dialog.cbTitles->setChecked(options.IncludeTitles);
    dialog.cbNumbers->setChecked(options.Numbering);
    dialog.cbEmpty->setChecked(options.SkipEmpty);
}

} // namespace

class TestPrintExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportDialog_writesWhatTheExportCoreAssembles_data()
    {
        QTest::addColumn<int>("scope");
        QTest::addColumn<bool>("titles");
        QTest::addColumn<bool>("numbering");
        QTest::addColumn<bool>("skipEmpty");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("current, rtf") << int(esCurrentArticle) << true << false << true << QStringLiteral("out.rtf");
        QTest::newRow("open articles, text")
            << int(esOpenArticles) << true << false << true << QStringLiteral("out.txt");
        QTest::newRow("branch, numbered, text") << int(esBranch) << true << true << true << QStringLiteral("out.txt");
        QTest::newRow("branch, keep empty, rtf") << int(esBranch) << true << true << false << QStringLiteral("out.rtf");
        QTest::newRow("document, no titles, text")
            << int(esDocument) << false << true << true << QStringLiteral("out.txt");
        QTest::newRow("document, numbered, rtf")
            << int(esDocument) << true << true << true << QStringLiteral("out.rtf");
        QTest::newRow("selection, text") << int(esSelection) << true << false << true << QStringLiteral("out.txt");
        QTest::newRow("no extension is rtf")
            << int(esCurrentArticle) << true << false << true << QStringLiteral("out.doc");
    }

    void exportDialog_writesWhatTheExportCoreAssembles()
    {
        QFETCH(int, scope);
        QFETCH(bool, titles);
        QFETCH(bool, numbering);
        QFETCH(bool, skipEmpty);
        QFETCH(QString, fileName);
        TReportFixture f;
        EditorService()->NavigateTo(f.notes);
        EditorService()->OpenWindow(f.apple);
        EditorService()->NavigateTo(f.fruit);
        f.frame->RichEdit->SetSelStart(0);
        f.frame->RichEdit->SetSelLength(5);
        TQBExportOptions options;
        options.IncludeTitles = titles;
        options.Numbering = numbering;
        options.SkipEmpty = skipEmpty;
        const TQBExportFormat format = QBExportFormatOf(fileName);
        const QByteArray wanted = f.expected(TExportScope(scope), options, format);
        QVERIFY(!wanted.isEmpty());

        TFExportDlg dialog(f.frame.get());
        QTimer::singleShot(0, &dialog, [&] {
            QVERIFY(dialog.rbSelection->isEnabled());
            QCOMPARE(dialog.pcPages->currentWidget(), dialog.tabScope);
            choose(dialog, TExportScope(scope), options);
            QBDialogs::QueueFileName(f.path(fileName));
            QBDialogs::QueueAnswer(QMessageBox::Ok);
            dialog.btnOkClick();
        });
        QCOMPARE(dialog.Execute(), int(QDialog::Accepted));
        QCOMPARE(fileBytes(f.path(fileName)), wanted);
        QCOMPARE(QBDialogs::ShownTexts().last(),
                 QStringLiteral("The document was successfully exported to '%1'.").arg(f.path(fileName)));
    }

    void dialogs_offerTheSelectionOnlyWithOne_andNumbersOnlyWithTitles()
    {
        TReportFixture f;
        EditorService()->NavigateTo(f.apple);
        f.frame->RichEdit->SetSelLength(0);
        TFPrintDlg print(f.frame.get());
        QTimer::singleShot(0, &print, [&] {
            QVERIFY(!print.rbSelection->isEnabled());
            QVERIFY(print.rbCurrent->isChecked());
            QVERIFY(print.cbEmpty->isChecked());
            QVERIFY(print.cbTitles->isChecked());
            QVERIFY(!print.cbNumbers->isChecked());
            print.cbNumbers->setChecked(true);
            print.cbTitles->setChecked(false);
            QVERIFY(!print.cbNumbers->isEnabled());
            print.cbTitles->setChecked(true);
            QVERIFY(print.cbNumbers->isEnabled());
            QVERIFY(print.cbNumbers->isChecked());
            print.reject();
        });
        print.Execute();

        // The commands open them: the print command first keeps what was typed.
        f.frame->RichEdit->insertPlainText(QStringLiteral("typed "));
        QTimer::singleShot(0, f.frame.get(), [] {
            auto *dialog = qobject_cast<TFPrintDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->reject();
        });
        f.run(f.frame->FilePrint);
        QVERIFY(f.apple->Content().contains(QStringLiteral("typed")));
        QTimer::singleShot(0, f.frame.get(), [] {
            auto *dialog = qobject_cast<TFExportDlg *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->reject();
        });
        f.run(f.frame->FileExport);
    }

    void dialogs_speakGerman_sharedTextsFromTheirCommonBase()
    {
        const TShippedLanguages languages;
        TReportFixture f;
        SettingsService()->SetLanguage(QStringLiteral("Deutsch"));
        TFPrintDlg print(f.frame.get());
        TFExportDlg exportDlg(f.frame.get());
        // Shared texts come from the base's container, each dialog's own from its container.
        for (TFReportDlg *dialog : std::initializer_list<TFReportDlg *>{&print, &exportDlg}) {
            QCOMPARE(dialog->rbDocument->text(), QStringLiteral("&Ganzes Dokument"));
            QCOMPARE(dialog->btnPreview->text(), QStringLiteral("&Vorschau..."));
            QCOMPARE(dialog->pcPages->tabText(1), QStringLiteral("Optionen"));
        }
        QCOMPARE(print.windowTitle(), QStringLiteral("Drucken und Vorschau"));
        QCOMPARE(print.cbEmpty->text(), QStringLiteral("&Leere Artikel nicht drucken"));
        QCOMPARE(exportDlg.windowTitle(), QStringLiteral("Exportieren"));
        QCOMPARE(exportDlg.btnOk->text(), QStringLiteral("Exportieren..."));
        TFReportProgress progress(&print);
        QCOMPARE(progress.btnCancel->text(), QStringLiteral("Abbrechen"));
        SettingsService()->SetLanguage(QString());
    }

    void printTwice_assemblesOnce_andPrintsToAPdfFile()
    {
        TReportFixture f;
        EditorService()->NavigateTo(f.fruit);
        TFPrintDlg dialog(f.frame.get());
        QSignalSpy assembled(dialog.Helper(), &TQBExportHelper::assembling);
        choose(dialog, esBranch, TQBExportOptions());
        QPrinter *printer = TPrxController::Application()->Printer();
        QCOMPARE(printer->outputFormat(), QPrinter::PdfFormat);
        // Without a printer, each print asks for the PDF file to write.
        QBDialogs::QueueFileName(f.path(QStringLiteral("first.pdf")));
        dialog.btnPrintClick();
        QBDialogs::QueueFileName(f.path(QStringLiteral("second.pdf")));
        dialog.btnPrintClick();
        QCOMPARE(assembled.count(), 1);
        QVERIFY(fileBytes(f.path(QStringLiteral("first.pdf"))).startsWith("%PDF"));
        QVERIFY(fileBytes(f.path(QStringLiteral("second.pdf"))).startsWith("%PDF"));
        // Another choice assembles again; cancelling the file question prints nothing.
        dialog.cbNumbers->setChecked(true);
        QBDialogs::QueueFileName(QString());
        dialog.btnPrintClick();
        QCOMPARE(assembled.count(), 2);
    }

    void cancel_duringPrinting_keepsTheOldPdf()
    {
        TReportFixture f;
        const QString body = rtf(QString(QStringLiteral("A line of text for the report. ")).repeated(60));
        for (int i = 0; i < 200; ++i)
            addArticle(f.doc(), f.doc()->Root(), QStringLiteral("Article %1").arg(i), body);
        const QString target = f.path(QStringLiteral("report.pdf"));
        QVERIFY(writeFile(target, "old contents"));
        TFPrintDlg dialog(f.frame.get());
        dialog.show();
        choose(dialog, esDocument, TQBExportOptions());
        dialog.ApplyChoices();
        QVERIFY(dialog.Helper()->Build());
        // Cancel in the window that shows the page being printed, as soon as it answers.
        bool clicked = false;
        QTimer::singleShot(0, &dialog, [&] {
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *progress = qobject_cast<TFReportProgress *>(window); progress && progress->isVisible()) {
                    QVERIFY(progress->lblProgress->text().contains(QStringLiteral("Page 1 of")));
                    QTest::mouseClick(progress->btnCancel, Qt::LeftButton);
                    clicked = true;
                }
            }
        });
        QBDialogs::QueueFileName(target);
        dialog.btnPrintClick();
        QVERIFY(clicked);
        QCOMPARE(fileBytes(target), QByteArray("old contents"));
        QCOMPARE(QDir(f.path(QString())).entryList({QStringLiteral("quillbox-print-*")}), QStringList());

        // Not cancelled, the new PDF replaces the old file.
        QBDialogs::QueueFileName(target);
        dialog.btnPrintClick();
        QVERIFY(fileBytes(target).startsWith("%PDF"));
    }

    void cancel_duringALongAssembly_writesNothingAndKeepsTheDialogOpen_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::newRow("rtf, assembled") << QStringLiteral("kept.rtf");
        QTest::newRow("text, streamed") << QStringLiteral("kept.txt");
    }

    void cancel_duringALongAssembly_writesNothingAndKeepsTheDialogOpen()
    {
        QFETCH(QString, fileName);
        TReportFixture f;
        const QString body = rtf(QString(QStringLiteral("A line of text for the report. ")).repeated(40));
        for (int i = 0; i < 1500; ++i)
            addArticle(f.doc(), f.doc()->Root(), QStringLiteral("Article %1").arg(i), body);
        const QString target = f.path(fileName);
        QVERIFY(writeFile(target, "old contents"));

        TFExportDlg dialog(f.frame.get());
        QSignalSpy assembled(dialog.Helper(), &TQBExportHelper::assembling);
        // Clicks Cancel in the progress window as soon as it answers.
        bool clicked = false;
        connect(dialog.Helper(), &TQBExportHelper::assembling, &dialog, [&] {
            QTimer::singleShot(0, &dialog, [&] {
                TFReportProgress *progress = dialog.Helper()->Progress();
                QVERIFY(progress && progress->isVisible());
                QTest::mouseClick(progress->btnCancel, Qt::LeftButton);
                clicked = true;
            });
        });
        dialog.show();
        choose(dialog, esDocument, TQBExportOptions());
        QBDialogs::QueueFileName(target);
        dialog.btnOkClick();
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.result() != QDialog::Accepted);
        QVERIFY(clicked);
        QCOMPARE(fileBytes(target), QByteArray("old contents"));
        QVERIFY(!dialog.Helper()->Built());
        QVERIFY(!dialog.Helper()->Progress());

        // The next attempt assembles again from the start, to the end.
        disconnect(dialog.Helper(), &TQBExportHelper::assembling, &dialog, nullptr);
        dialog.Helper()->SetScope(esDocument);
        QVERIFY(dialog.Helper()->Build());
        QCOMPARE(assembled.count(), 2);
        QVERIFY(dialog.Helper()->Document()->toPlainText().contains(QStringLiteral("Article 1499")));
    }
};

QTEST_MAIN(TestPrintExport)
#include "tst_PrintExport.moc"
