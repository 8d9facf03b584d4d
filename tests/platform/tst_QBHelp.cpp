// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "platform/QBHelp.h"

#include "dialogs/MarkerDlg.h"
#include "document/QBMarkers.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>
#include <QXmlStreamReader>

namespace {

const QString SourceFolder = QStringLiteral(QB_HELP_SOURCE_DIR);

QList<QUrl> openedUrls;

void recordUrl(const QUrl &url)
{
    openedUrls.append(url);
}

QString readPage(const QString &page)
{
    QFile file(QDir(SourceFolder).filePath(page));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QStringList allPages()
{
    return QDir(SourceFolder).entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

bool pageHasAnchor(const QString &page, const QString &anchor)
{
    return readPage(page).contains(QStringLiteral("id=\"%1\"").arg(anchor));
}

QStringList hrefsOf(const QString &text)
{
    QStringList hrefs;
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    for (const QRegularExpressionMatch &match : href.globalMatch(text))
        hrefs.append(match.captured(1));
    return hrefs;
}

} // namespace

class TestQBHelp : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void helpFolder_byDefault_isBesideTheProgram();
    void contextTable_everyContext_pointsAtAnExistingPageAndAnchor();
    void contextTable_namedContexts_allHavePages();
    void contextTable_unknownContext_givesTheContentsPage();
    void pages_every_isWellFormedUtf8WithATitle();
    void pages_every_loadsIntoABrowserWithATitle();
    void pages_internalLinks_pointAtExistingFilesAndAnchors();
    void pages_contentsList_coversEveryPage();
    void showContext_opensThatPageInTheOneViewer();
    void showContext_unknown_showsContents();
    void showContext_fromADialog_isItsChildAndOutlivesIt();
    void showContents_fillsTheContentsListAndTitle();
    void markerDialog_helpButton_showsTheMarkerPage();
    void viewer_followsLinksAndGoesBackAndForward();
    void viewer_externalLink_goesToTheDesktop();
    void viewer_missingFolder_showsAMessage();
    void viewer_missingPage_showsAMessage();
};

void TestQBHelp::init()
{
    QBSetHelpFolder(SourceFolder);
    openedUrls.clear();
    TFHelpViewer::SetUrlOpener(recordUrl);
}

void TestQBHelp::cleanup()
{
    QBCloseHelpViewer();
    QBSetHelpFolder(QString());
    TFHelpViewer::SetUrlOpener(nullptr);
}

void TestQBHelp::helpFolder_byDefault_isBesideTheProgram()
{
    QCOMPARE(QBHelpFolder(), SourceFolder);
    QBSetHelpFolder(QString());
    QCOMPARE(QBHelpFolder(), QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("help")));
}

void TestQBHelp::contextTable_everyContext_pointsAtAnExistingPageAndAnchor()
{
    for (int context : QBHelpContexts()) {
        const QString page = QBHelpPageForContext(context);
        const QString file = page.section(QLatin1Char('#'), 0, 0);
        const QString anchor = page.section(QLatin1Char('#'), 1);
        QVERIFY2(QFile::exists(QDir(SourceFolder).filePath(file)), qPrintable(QString::number(context)));
        if (!anchor.isEmpty())
            QVERIFY2(pageHasAnchor(file, anchor), qPrintable(page));
    }
}

void TestQBHelp::contextTable_namedContexts_allHavePages()
{
    const QList<int> named = {0,   201, 202, 203, 301, 302, 303, 304, 305, 306, 307, 310, 311, 312,
                              320, 340, 341, 342, 343, 360, 370, 380, 381, 382, 390, 391, 392, 400};
    const QList<int> known = QBHelpContexts();
    for (int context : named)
        QVERIFY2(known.contains(context), qPrintable(QString::number(context)));
    QCOMPARE(QBHelpPageForContext(201), QStringLiteral("outline.html"));
    QCOMPARE(QBHelpPageForContext(400), QStringLiteral("markers.html#marker-dialog"));
}

void TestQBHelp::contextTable_unknownContext_givesTheContentsPage()
{
    QCOMPARE(QBHelpPageForContext(0), QStringLiteral("index.html"));
    QCOMPARE(QBHelpPageForContext(-5), QStringLiteral("index.html"));
    QCOMPARE(QBHelpPageForContext(999), QStringLiteral("index.html"));
}

void TestQBHelp::pages_every_isWellFormedUtf8WithATitle()
{
    const QStringList pages = allPages();
    QVERIFY(pages.size() >= 14);
    for (const QString &page : pages) {
        QFile file(QDir(SourceFolder).filePath(page));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes);
        QVERIFY2(bytes.contains("<meta charset=\"utf-8\">") || bytes.contains("<meta charset=\"utf-8\"/>"),
                 qPrintable(page));
        // The pages are written so that an XML reader accepts them: every tag closed, no named entities.
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd())
            reader.readNext();
        QVERIFY2(!reader.hasError(), qPrintable(page + QStringLiteral(": ") + reader.errorString() +
                                                QStringLiteral(" line ") + QString::number(reader.lineNumber())));
        QVERIFY2(bytes.contains("href=\"help.css\""), qPrintable(page));
    }
}

void TestQBHelp::pages_every_loadsIntoABrowserWithATitle()
{
    for (const QString &page : allPages()) {
        QTextBrowser browser;
        browser.setSource(QUrl::fromLocalFile(QDir(SourceFolder).filePath(page)));
        QVERIFY2(!browser.documentTitle().trimmed().isEmpty(), qPrintable(page));
        QVERIFY2(!browser.toPlainText().trimmed().isEmpty(), qPrintable(page));
    }
}

void TestQBHelp::pages_internalLinks_pointAtExistingFilesAndAnchors()
{
    int internal = 0;
    for (const QString &page : allPages()) {
        for (const QString &href : hrefsOf(readPage(page))) {
            if (href.contains(QLatin1Char(':')))
                continue; // web and mail links leave the help
            const QString file = href.section(QLatin1Char('#'), 0, 0);
            const QString anchor = href.section(QLatin1Char('#'), 1);
            const QString target = file.isEmpty() ? page : file;
            QVERIFY2(QFile::exists(QDir(SourceFolder).filePath(target)),
                     qPrintable(page + QStringLiteral(" -> ") + href));
            if (target.endsWith(QStringLiteral(".html")) && !anchor.isEmpty())
                QVERIFY2(pageHasAnchor(target, anchor), qPrintable(page + QStringLiteral(" -> ") + href));
            ++internal;
        }
    }
    QVERIFY(internal > 50);
}

void TestQBHelp::pages_contentsList_coversEveryPage()
{
    QStringList listed = QBHelpContentsPages();
    listed.sort();
    QCOMPARE(listed, allPages());
}

void TestQBHelp::showContext_opensThatPageInTheOneViewer()
{
    QWidget owner;
    QBShowHelpContext(201, &owner);
    TFHelpViewer *viewer = QBHelpViewer();
    QVERIFY(viewer);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("outline.html"));
    QVERIFY(viewer->windowTitle().contains(viewer->PageTitle()));
    QVERIFY(!viewer->PageTitle().isEmpty());
    QVERIFY(viewer->Browser()->document()->defaultStyleSheet().contains(QStringLiteral("h1")));

    QBShowHelpContext(305, &owner);
    QCOMPARE(QBHelpViewer(), viewer);
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("settings.html"));
    QCOMPARE(viewer->Browser()->source().fragment(), QStringLiteral("fonts"));

    QBShowHelpContext(400, nullptr);
    QCOMPARE(QBHelpViewer(), viewer);
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("markers.html"));
    QCOMPARE(viewer->Contents()->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("markers.html"));
}

void TestQBHelp::showContext_unknown_showsContents()
{
    QBShowHelpContext(12345, nullptr);
    QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("index.html"));
    QVERIFY(!QBHelpViewer()->ShowingMessage());
}

void TestQBHelp::showContext_fromADialog_isItsChildAndOutlivesIt()
{
    QWidget mainWindow;
    mainWindow.show();
    QBShowHelpContext(201, &mainWindow);
    TFHelpViewer *viewer = QBHelpViewer();
    QCOMPARE(viewer->parentWidget(), &mainWindow);

    // A modal dialog blocks every window but its own children, so the help window moves under it.
    auto *dialog = new QDialog(&mainWindow);
    dialog->setWindowModality(Qt::ApplicationModal);
    dialog->show();
    QBShowHelpContext(320, dialog);
    QCOMPARE(QBHelpViewer(), viewer);
    QCOMPARE(viewer->parentWidget(), dialog);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->Browser()->source().fragment(), QStringLiteral("hyperlink"));

    dialog->done(QDialog::Rejected);
    delete dialog;
    QCOMPARE(QBHelpViewer(), viewer);
    QCOMPARE(viewer->parentWidget(), &mainWindow);
    QVERIFY(viewer->isVisible());
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("dialogs.html"));
}

void TestQBHelp::showContents_fillsTheContentsListAndTitle()
{
    QBShowHelpContents(nullptr);
    TFHelpViewer *viewer = QBHelpViewer();
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("index.html"));
    QCOMPARE(viewer->Contents()->count(), QBHelpContentsPages().size());
    for (int i = 0; i < viewer->Contents()->count(); ++i)
        QVERIFY(!viewer->Contents()->item(i)->text().endsWith(QStringLiteral(".html")));

    viewer->Contents()->setCurrentRow(2);
    QCOMPARE(viewer->CurrentPage(), QBHelpContentsPages().at(2));
}

void TestQBHelp::markerDialog_helpButton_showsTheMarkerPage()
{
    TQBMarkerDictionary markers;
    markers.LoadDefaultMarkers();
    TFMarkerDlg dialog(markers);
    auto *help = dialog.findChild<QPushButton *>(QStringLiteral("btnHelp"));
    QVERIFY(help);
    QVERIFY(help->isEnabled());
    QTest::mouseClick(help, Qt::LeftButton);
    QVERIFY(QBHelpViewer());
    QCOMPARE(QBHelpViewer()->CurrentPage(), QStringLiteral("markers.html"));
    QCOMPARE(QBHelpViewer()->Browser()->source().fragment(), QStringLiteral("marker-dialog"));
}

void TestQBHelp::viewer_followsLinksAndGoesBackAndForward()
{
    QBShowHelpContents(nullptr);
    TFHelpViewer *viewer = QBHelpViewer();
    QTextBrowser *browser = viewer->Browser();
    emit browser->anchorClicked(QUrl(QStringLiteral("search.html")));
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("search.html"));
    QVERIFY(browser->isBackwardAvailable());

    browser->backward();
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("index.html"));
    browser->forward();
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("search.html"));

    emit browser->anchorClicked(QUrl(QStringLiteral("settings.html#language")));
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("settings.html"));
    QCOMPARE(browser->source().fragment(), QStringLiteral("language"));
    QVERIFY(openedUrls.isEmpty());
}

void TestQBHelp::viewer_externalLink_goesToTheDesktop()
{
    QBShowHelpContents(nullptr);
    TFHelpViewer *viewer = QBHelpViewer();
    emit viewer->Browser()->anchorClicked(QUrl(QStringLiteral("mailto:someone@example.org")));
    emit viewer->Browser()->anchorClicked(QUrl(QStringLiteral("https://example.org/page")));
    QCOMPARE(openedUrls.size(), 2);
    QCOMPARE(openedUrls.at(0).scheme(), QStringLiteral("mailto"));
    QCOMPARE(openedUrls.at(1).host(), QStringLiteral("example.org"));
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("index.html"));
}

void TestQBHelp::viewer_missingFolder_showsAMessage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("no-help-here"));
    QBSetHelpFolder(missing);
    QBShowHelpContents(nullptr);
    TFHelpViewer *viewer = QBHelpViewer();
    QVERIFY(viewer);
    QVERIFY(viewer->ShowingMessage());
    QVERIFY(viewer->CurrentPage().isEmpty());
    QVERIFY(viewer->Browser()->toPlainText().contains(QDir::toNativeSeparators(missing)));
    QCOMPARE(viewer->Contents()->count(), 0);

    QBShowHelpContext(201, nullptr);
    QVERIFY(viewer->ShowingMessage());

    // Once the pages are there again, the same window shows them.
    QBSetHelpFolder(SourceFolder);
    QBShowHelpContext(202, nullptr);
    QCOMPARE(QBHelpViewer(), viewer);
    QVERIFY(!viewer->ShowingMessage());
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("indexpane.html"));
    QVERIFY(viewer->Contents()->count() > 0);
}

void TestQBHelp::viewer_missingPage_showsAMessage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QFile::copy(QDir(SourceFolder).filePath(QStringLiteral("index.html")),
                        dir.filePath(QStringLiteral("index.html"))));
    QBSetHelpFolder(dir.path());
    QBShowHelpContext(203, nullptr);
    TFHelpViewer *viewer = QBHelpViewer();
    QVERIFY(viewer->ShowingMessage());
    QVERIFY(viewer->Browser()->toPlainText().contains(QStringLiteral("search.html")));

    QBShowHelpContents(nullptr);
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("index.html"));
    emit viewer->Browser()->anchorClicked(QUrl(QStringLiteral("outline.html")));
    QVERIFY(viewer->ShowingMessage());

    // The page shown before the message loads again, not the message.
    QBShowHelpContents(nullptr);
    QVERIFY(!viewer->ShowingMessage());
    QCOMPARE(viewer->CurrentPage(), QStringLiteral("index.html"));
    QVERIFY(!viewer->Browser()->toPlainText().contains(QStringLiteral("was not found")));
    QVERIFY(viewer->Browser()->toPlainText().contains(QStringLiteral("Getting started")));
}

QTEST_MAIN(TestQBHelp)
#include "tst_QBHelp.moc"
