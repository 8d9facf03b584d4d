// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "platform/QBHelp.h"

#include "base/QBPaths.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

struct TContextPage
{
    int Context;
    const char *Page;
};

// The one place where help context numbers meet pages; an anchor picks the section of a page.
const TContextPage ContextPages[] = {
    {0, "index.html"},
    {100, "mainwindow.html"},
    {201, "outline.html"},
    {202, "indexpane.html"},
    {203, "search.html"},
    {301, "settings.html"},
    {302, "settings.html#preferences"},
    {303, "settings.html#document"},
    {304, "settings.html#editor"},
    {305, "settings.html#fonts"},
    {306, "settings.html#appearance"},
    {307, "settings.html#language"},
    {310, "properties.html"},
    {311, "properties.html#general"},
    {312, "properties.html#summary"},
    {320, "dialogs.html#hyperlink"},
    {340, "dialogs.html#paragraph"},
    {341, "dialogs.html#paragraph-page"},
    {342, "dialogs.html#tabs"},
    {343, "dialogs.html#numbering"},
    {360, "dialogs.html#gotoline"},
    {370, "dialogs.html#datetime"},
    {380, "printing.html#print"},
    {381, "printing.html#print-text"},
    {382, "printing.html#print-options"},
    {383, "preview.html#preview"},
    {384, "preview.html#page-setup"},
    {390, "printing.html#export"},
    {391, "printing.html#export-text"},
    {392, "printing.html#export-options"},
    {400, "markers.html#marker-dialog"},
    {410, "tipsabout.html#tips"},
    {420, "tipsabout.html#about"},
    {430, "tipsabout.html#errors"},
};

// The contents list, in reading order.
const char *const ContentsPages[] = {
    "index.html",     "mainwindow.html", "outline.html",    "indexpane.html", "search.html",
    "documents.html", "links.html",      "markers.html",    "dialogs.html",   "printing.html",
    "preview.html",   "settings.html",   "properties.html", "tipsabout.html", "shortcuts.html",
};

const char ContentsPage[] = "index.html";

// The dynamic property that carries a widget's help context; dialogs put it on their tab pages too.
const char HelpContextProperty[] = "helpContext";

int OwnContext(const QWidget *widget)
{
    return widget ? widget->property(HelpContextProperty).toInt() : 0;
}

QString &helpFolderOverride()
{
    static QString folder;
    return folder;
}

QPointer<TFHelpViewer> &viewerInstance()
{
    static QPointer<TFHelpViewer> viewer;
    return viewer;
}

void openWithDesktop(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

TFHelpViewer::TUrlOpener urlOpener = openWithDesktop;

QString pageFileOf(const QString &page)
{
    return page.section(QLatin1Char('#'), 0, 0);
}

// The window hands itself from dialog to dialog: a help window that is not a child of the modal
// dialog asking for help would be blocked by that dialog, and one that stays the child of a dialog
// would be destroyed with it. So it becomes the child of the asking window, and goes back to the
// dialog's own owner when the dialog finishes.
void adoptViewer(TFHelpViewer *viewer, QWidget *owner)
{
    static QMetaObject::Connection ownerFinished;
    if (viewer->parentWidget() == owner)
        return;
    QObject::disconnect(ownerFinished);
    const bool wasVisible = viewer->isVisible();
    const QRect geometry = viewer->geometry();
    viewer->setParent(owner, Qt::Window);
    if (wasVisible) {
        viewer->setGeometry(geometry);
        viewer->show();
    }
    if (auto *dialog = qobject_cast<QDialog *>(owner)) {
        ownerFinished = QObject::connect(dialog, &QDialog::finished, viewer, [viewer, dialog] {
            QWidget *next = dialog->parentWidget() ? dialog->parentWidget()->window() : nullptr;
            adoptViewer(viewer, next);
        });
    }
}

TFHelpViewer *ensureViewer(QWidget *parent)
{
    QWidget *owner = parent ? parent->window() : nullptr;
    TFHelpViewer *viewer = viewerInstance();
    if (!viewer) {
        viewer = new TFHelpViewer(owner);
        viewerInstance() = viewer;
        // Without an owner the window would outlive the application object.
        if (QCoreApplication::instance())
            QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, viewer,
                             &QObject::deleteLater);
    }
    // Asked from inside the help window itself (F1 there), the window stays where it is.
    if (owner && owner != viewer)
        adoptViewer(viewer, owner);
    return viewer;
}

void present(TFHelpViewer *viewer)
{
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace

QString QBHelpPageForContext(int context)
{
    for (const TContextPage &entry : ContextPages)
        if (entry.Context == context)
            return QString::fromLatin1(entry.Page);
    return QString::fromLatin1(ContentsPage);
}

QList<int> QBHelpContexts()
{
    QList<int> contexts;
    for (const TContextPage &entry : ContextPages)
        contexts.append(entry.Context);
    return contexts;
}

QStringList QBHelpContentsPages()
{
    QStringList pages;
    for (const char *page : ContentsPages)
        pages.append(QString::fromLatin1(page));
    return pages;
}

QString QBHelpFolder()
{
    if (!helpFolderOverride().isEmpty())
        return helpFolderOverride();
    return QDir(QBResourceFolder()).filePath(QStringLiteral("help"));
}

void QBSetHelpFolder(const QString &folder)
{
    helpFolderOverride() = folder;
}

TFHelpViewer *QBHelpViewer()
{
    return viewerInstance();
}

void QBCloseHelpViewer()
{
    delete viewerInstance().data();
    viewerInstance() = nullptr;
}

void QBSetHelpContext(QWidget *widget, int context)
{
    widget->setProperty(HelpContextProperty, context);
}

int QBHelpContextOf(const QWidget *widget)
{
    for (const QWidget *w = widget; w; w = w->parentWidget()) {
        // The help window belongs to whichever window asked last; F1 there means its contents.
        if (qobject_cast<const TFHelpViewer *>(w))
            return 0;
        // From a tab bar or a dialog's buttons the page on show is meant, as its Help button does.
        if (const auto *tabs = qobject_cast<const QTabWidget *>(w))
            if (const int context = OwnContext(tabs->currentWidget()))
                return context;
        const int context = OwnContext(w);
        if (context <= 0)
            continue;
        if (qobject_cast<const QDialog *>(w))
            for (const QTabWidget *tabs : w->findChildren<QTabWidget *>())
                if (tabs->isVisible())
                    if (const int page = OwnContext(tabs->currentWidget()))
                        return page;
        return context;
    }
    return 0;
}

TQBHelpTranslator::TQBHelpTranslator(QObject *parent) : QObject(parent)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

TQBHelpTranslator::~TQBHelpTranslator()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeEventFilter(this);
}

bool TQBHelpTranslator::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    // Key presses reach the window object first and then the focused widget; the widget decides.
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget)
        return false;
    if (!key->isAutoRepeat())
        QBShowHelpContext(QBHelpContextOf(widget), widget);
    return true;
}

void QBShowHelpContents(QWidget *parent)
{
    QBShowHelpContext(0, parent);
}

void QBShowHelpContext(int context, QWidget *parent)
{
    TFHelpViewer *viewer = ensureViewer(parent);
    viewer->ShowPage(QBHelpPageForContext(context));
    present(viewer);
}

TFHelpViewer::TFHelpViewer(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("TFHelpViewer"));
    setWindowTitle(tr("Quillbox Help"));
    resize(860, 600);

    auto *toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("tbHelp"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    aBack = toolBar->addAction(tr("Back"));
    aBack->setObjectName(QStringLiteral("aBack"));
    aBack->setShortcut(QKeySequence::Back);
    aForward = toolBar->addAction(tr("Forward"));
    aForward->setObjectName(QStringLiteral("aForward"));
    aForward->setShortcut(QKeySequence::Forward);
    aHome = toolBar->addAction(tr("Contents"));
    aHome->setObjectName(QStringLiteral("aHome"));
    xlHelp = QBNewLocalizer(this, "xlHelp");
    xlHelp->Loaded();

    lbContents = new QListWidget(this);
    lbContents->setObjectName(QStringLiteral("lbContents"));
    hbPage = new QTextBrowser(this);
    hbPage->setObjectName(QStringLiteral("hbPage"));
    // Links are followed here so that only pages of the help folder load inside the window.
    hbPage->setOpenLinks(false);
    hbPage->setOpenExternalLinks(false);
    // The pages are printed paper whatever the desktop's colours: the style sheet's dark text and
    // coloured headings on white, and links that read on white (a dark palette's are light).
    QPalette paper = hbPage->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        paper.setColor(group, QPalette::Base, QColor(0xff, 0xff, 0xff));
        paper.setColor(group, QPalette::Text, QColor(0x20, 0x20, 0x20));
        paper.setColor(group, QPalette::Link, QColor(0x1f, 0x56, 0xa8));
        paper.setColor(group, QPalette::LinkVisited, QColor(0x6a, 0x3d, 0x9a));
    }
    hbPage->setPalette(paper);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(lbContents);
    splitter->addWidget(hbPage);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(splitter);

    connect(aBack, &QAction::triggered, hbPage, &QTextBrowser::backward);
    connect(aForward, &QAction::triggered, hbPage, &QTextBrowser::forward);
    connect(aHome, &QAction::triggered, this, [this] { ShowPage(QString::fromLatin1(ContentsPage)); });
    connect(hbPage, &QTextBrowser::anchorClicked, this, &TFHelpViewer::hbPageAnchorClicked);
    connect(hbPage, &QTextBrowser::sourceChanged, this, [this] {
        FShowingMessage = false;
        UpdateState();
    });
    connect(hbPage, &QTextBrowser::historyChanged, this, &TFHelpViewer::UpdateState);
    connect(lbContents, &QListWidget::currentRowChanged, this, &TFHelpViewer::lbContentsCurrentRowChanged);

    FillContents();
    UpdateState();
}

void TFHelpViewer::SetUrlOpener(TUrlOpener opener)
{
    urlOpener = opener ? opener : openWithDesktop;
}

void TFHelpViewer::FillContents()
{
    FSyncingContents = true;
    lbContents->clear();
    const QDir folder(QBHelpFolder());
    for (const QString &page : QBHelpContentsPages()) {
        const QString fileName = folder.filePath(page);
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        QTextDocument document;
        document.setHtml(QString::fromUtf8(file.readAll()));
        QString title = document.metaInformation(QTextDocument::DocumentTitle).trimmed();
        if (title.isEmpty())
            title = page;
        auto *item = new QListWidgetItem(title, lbContents);
        item->setData(Qt::UserRole, page);
    }
    FSyncingContents = false;
}

void TFHelpViewer::ShowPage(const QString &page)
{
    const QString fileName = QDir(QBHelpFolder()).filePath(pageFileOf(page));
    if (!QFileInfo(fileName).isFile()) {
        if (!QFileInfo(QBHelpFolder()).isDir())
            ShowMessage(tr("The help pages were not found. Quillbox looks for them in the folder \"%1\"; "
                           "reinstalling the program puts them back.")
                            .arg(QDir::toNativeSeparators(QBHelpFolder())));
        else
            ShowMessage(tr("The help page \"%1\" was not found in the folder \"%2\".")
                            .arg(pageFileOf(page), QDir::toNativeSeparators(QBHelpFolder())));
        return;
    }
    if (lbContents->count() == 0)
        FillContents();
    QUrl url = QUrl::fromLocalFile(fileName);
    const QString anchor = page.section(QLatin1Char('#'), 1);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    Load(url);
}

void TFHelpViewer::Load(const QUrl &url)
{
    // The browser skips loading a page it believes it shows already; after a message it does not.
    const bool wasMessage = FShowingMessage;
    FShowingMessage = false;
    // The text browser does not fetch linked style sheets, so the pages' shared one is set as the default.
    QFile styleSheet(QDir(QBHelpFolder()).filePath(QStringLiteral("help.css")));
    if (styleSheet.open(QIODevice::ReadOnly))
        hbPage->document()->setDefaultStyleSheet(QString::fromUtf8(styleSheet.read(256 * 1024)));
    hbPage->setSource(url);
    if (wasMessage)
        hbPage->reload();
    UpdateState();
}

void TFHelpViewer::ShowMessage(const QString &text)
{
    FShowingMessage = true;
    hbPage->clearHistory();
    hbPage->setPlainText(text);
    UpdateState();
}

QString TFHelpViewer::CurrentPage() const
{
    if (FShowingMessage || !hbPage->source().isLocalFile())
        return QString();
    return QFileInfo(hbPage->source().toLocalFile()).fileName();
}

QString TFHelpViewer::PageTitle() const
{
    if (FShowingMessage)
        return QString();
    return hbPage->documentTitle();
}

void TFHelpViewer::UpdateState()
{
    aBack->setEnabled(hbPage->isBackwardAvailable());
    aForward->setEnabled(hbPage->isForwardAvailable());
    const QString title = PageTitle();
    setWindowTitle(title.isEmpty() ? tr("Quillbox Help") : tr("%1 - Quillbox Help").arg(title));

    const QString page = CurrentPage();
    FSyncingContents = true;
    int row = -1;
    for (int i = 0; i < lbContents->count(); ++i)
        if (lbContents->item(i)->data(Qt::UserRole).toString() == page)
            row = i;
    lbContents->setCurrentRow(row);
    FSyncingContents = false;
}

void TFHelpViewer::hbPageAnchorClicked(const QUrl &url)
{
    const QUrl target = hbPage->source().resolved(url);
    if (!target.isLocalFile()) {
        // Web pages and mail addresses belong to the desktop, not to the help window.
        if (!target.scheme().isEmpty())
            urlOpener(target);
        return;
    }
    const QString fileName = target.toLocalFile();
    const QString folder = QFileInfo(QBHelpFolder()).canonicalFilePath();
    const QFileInfo info(fileName);
    if (!info.isFile() || info.canonicalPath() != folder) {
        ShowMessage(tr("The help page \"%1\" was not found in the folder \"%2\".")
                        .arg(info.fileName(), QDir::toNativeSeparators(QBHelpFolder())));
        return;
    }
    Load(target);
}

void TFHelpViewer::lbContentsCurrentRowChanged(int row)
{
    if (FSyncingContents || row < 0)
        return;
    ShowPage(lbContents->item(row)->data(Qt::UserRole).toString());
}
