// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrameFixture.h"
#include "controls/ArticleRichEdit.h"
#include "dialogs/AboutDlg.h"
#include "dialogs/DateTimeDlg.h"
#include "dialogs/DocPropsDlg.h"
#include "dialogs/ErrorDlg.h"
#include "dialogs/GoToDlg.h"
#include "dialogs/LinkDlg.h"
#include "dialogs/MarkerDlg.h"
#include "dialogs/ParagraphDlg.h"
#include "dialogs/SettingsDlg.h"
#include "dialogs/TipsDlg.h"
#include "document/QBMarkers.h"
#include "panes/IndexPane.h"
#include "panes/SearchPane.h"
#include "platform/QBHelp.h"
#include "report/ExportDlg.h"
#include "report/PageSetupDlg.h"
#include "report/PreviewDlg.h"
#include "report/PrintDlg.h"

#include <QPrinter>
#include <QTabWidget>
#include <QTextBrowser>

#include <memory>

namespace {

const QString HelpFolder = QStringLiteral(QB_RESOURCES_DIR "/help");

// The window under test and the widget inside it that has the keyboard focus.
struct TShown
{
    std::unique_ptr<QWidget> owned;
    QWidget *focus = nullptr;
};

QWidget *firstFocusable(QWidget *window)
{
    for (QWidget *child : window->findChildren<QWidget *>())
        if (child->focusPolicy() != Qt::NoFocus && child->isVisibleTo(window))
            return child;
    return window;
}

TShown showDialog(QDialog *dialog, int page = -1)
{
    TShown shown;
    shown.owned.reset(dialog);
    if (page >= 0)
        if (auto *tabs = dialog->findChild<QTabWidget *>())
            tabs->setCurrentIndex(page);
    dialog->show();
    shown.focus = firstFocusable(dialog);
    return shown;
}

TShown showWindow(const QString &name, TAppFrameFixture &f, TQBMarkerDictionary &markers, QPrinter &printer)
{
    QWidget *owner = f.frame.get();
    if (name == QLatin1String("main window"))
        return {nullptr, f.frame->RichEdit};
    if (name == QLatin1String("outline pane"))
        return {nullptr, f.frame->OutlinePane->atvOutline};
    if (name == QLatin1String("index pane"))
        return {nullptr, firstFocusable(f.frame->IndexPane)};
    if (name == QLatin1String("search pane"))
        return {nullptr, firstFocusable(f.frame->SearchPane)};
    if (name == QLatin1String("hyperlink"))
        return showDialog(new TFLinkDlg(owner));
    if (name == QLatin1String("go to line"))
        return showDialog(new TFGoToDlg(owner));
    if (name.startsWith(QLatin1String("paragraph ")))
        return showDialog(new TFParagraphDlg(owner), name.back().digitValue());
    if (name == QLatin1String("date and time"))
        return showDialog(new TFDateTimeDlg(owner));
    if (name.startsWith(QLatin1String("print ")))
        return showDialog(new TFPrintDlg(owner), name.back().digitValue());
    if (name.startsWith(QLatin1String("export ")))
        return showDialog(new TFExportDlg(owner), name.back().digitValue());
    if (name == QLatin1String("preview"))
        return showDialog(new TFPreviewDlg(owner));
    if (name == QLatin1String("page setup"))
        return showDialog(new TPageSetupDialog(&printer, owner));
    if (name == QLatin1String("marker"))
        return showDialog(new TFMarkerDlg(markers, owner));
    if (name == QLatin1String("tips"))
        return showDialog(new TFTipsDlg(owner));
    if (name == QLatin1String("about"))
        return showDialog(new TFAboutDlg(owner));
    if (name == QLatin1String("error"))
        return showDialog(new TFErrorDlg(owner));
    if (name.startsWith(QLatin1String("settings ")))
        return showDialog(new TFSettingsDlg(owner), name.back().digitValue());
    if (name.startsWith(QLatin1String("properties ")))
        return showDialog(new TFDocPropsDlg(owner), name.back().digitValue());
    return {};
}

} // namespace

class TestHelpKeys : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QBSetHelpFolder(HelpFolder); }
    void cleanup()
    {
        QBCloseHelpViewer();
        QBSetHelpFolder(QString());
    }

    void f1_opensThePageOfTheWindowInFront_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("context");
        QTest::newRow("main window") << "main window" << int(TFAppFrame::HelpContext);
        QTest::newRow("outline pane") << "outline pane" << 201;
        QTest::newRow("index pane") << "index pane" << 202;
        QTest::newRow("search pane") << "search pane" << 203;
        QTest::newRow("hyperlink") << "hyperlink" << int(TFLinkDlg::HelpContext);
        QTest::newRow("paragraph page") << "paragraph 0" << 341;
        QTest::newRow("tabs page") << "paragraph 1" << 342;
        QTest::newRow("numbering page") << "paragraph 2" << 343;
        QTest::newRow("go to line") << "go to line" << int(TFGoToDlg::HelpContext);
        QTest::newRow("date and time") << "date and time" << int(TFDateTimeDlg::HelpContext);
        QTest::newRow("print text") << "print 0" << 381;
        QTest::newRow("print options") << "print 1" << 382;
        QTest::newRow("preview") << "preview" << int(TFPreviewDlg::HelpContext);
        QTest::newRow("page setup") << "page setup" << int(TPageSetupDialog::HelpContext);
        QTest::newRow("export text") << "export 0" << 391;
        QTest::newRow("export options") << "export 1" << 392;
        QTest::newRow("marker") << "marker" << int(TFMarkerDlg::HelpContext);
        QTest::newRow("tips") << "tips" << int(TFTipsDlg::HelpContext);
        QTest::newRow("about") << "about" << int(TFAboutDlg::HelpContext);
        QTest::newRow("error") << "error" << int(TFErrorDlg::HelpContext);
        for (int page = 0; page < 6; ++page)
            QTest::newRow(qPrintable(QStringLiteral("settings page %1").arg(page)))
                << QStringLiteral("settings %1").arg(page) << 302 + page;
        QTest::newRow("properties general") << "properties 0" << 311;
        QTest::newRow("properties summary") << "properties 1" << 312;
    }

    void f1_opensThePageOfTheWindowInFront()
    {
        QFETCH(QString, window);
        QFETCH(int, context);
        // A context of its own with a page of its own (the page table is checked in tst_QBHelp).
        QVERIFY(QBHelpContexts().contains(context));
        TAppFrameFixture f;
        TQBMarkerDictionary markers;
        QPrinter printer;
        const TShown shown = showWindow(window, f, markers, printer);
        QVERIFY(shown.focus);
        QCOMPARE(QBHelpContextOf(shown.focus), context);
        QTest::keyClick(shown.focus, Qt::Key_F1);
        QVERIFY(QBHelpViewer());
        QVERIFY(!QBHelpViewer()->ShowingMessage());
        const QString page = QBHelpPageForContext(context);
        QCOMPARE(QBHelpViewer()->CurrentPage(), page.section(QLatin1Char('#'), 0, 0));
        QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), page.section(QLatin1Char('#'), 1));
    }

    void f1_inTheHelpWindow_showsTheContents()
    {
        TAppFrameFixture f;
        QTest::keyClick(f.frame->OutlinePane->atvOutline, Qt::Key_F1);
        QVERIFY(QBHelpViewer());
        QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("outline.html"));
        QTest::keyClick(QBHelpViewer()->Browser(), Qt::Key_F1);
        QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("index.html"));
    }

    void f1_afterTheMainWindowHides_doesNothing()
    {
        TAppFrameFixture f;
        f.frame->hide();
        QTest::keyClick(f.frame->RichEdit, Qt::Key_F1);
        QVERIFY(!QBHelpViewer());
    }
};

QTEST_MAIN(TestHelpKeys)
#include "tst_HelpKeys.moc"
