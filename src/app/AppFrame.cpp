// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "app/AppData.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "controls/ArticleTree.h"
#include "editor/QBEditorSvc.h"
#include "framework/QBStrings.h"
#include "panes/IndexPane.h"
#include "panes/OutlinePane.h"
#include "panes/SearchPane.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBColors.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"
#include "services/QBDocAccess.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsAccess.h"
#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScopeGuard>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <utility>

namespace {

// Widths of the nine status panels; panel 4 takes what is left.
constexpr int PanelWidths[9] = {300, 100, 60, 50, 50, 40, 40, 40, 50};

} // namespace

TFAppFrame::TFAppFrame(QWidget *parent) : TBaseForm(parent)
{
    setObjectName(QStringLiteral("FAppFrame"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Quillbox"));
    resize(800, 600);

    qbaData = new TQBDataAccess(this);
    qbaData->setObjectName(QStringLiteral("qbaData"));
    qbaSettings = new TQBSettingsAccess(this);
    qbaSettings->setObjectName(QStringLiteral("qbaSettings"));

    CreateClientArea();
    CreateActions();
    CreateMenus();
    CreateToolbars();
    CreateStatusBar();
    ConnectActions();

    QBEditorService = new TQBEditorService(this);
    QBEditorService->setObjectName(QStringLiteral("QBEditorService"));
    QBEditorService->SetArticleTabs(atArticles);
    QBEditorService->SetArticleTitle(atTitle);
    QBEditorService->SetArticleEditor(RichEdit);

    connect(qbaData, &TQBDataAccess::afterCreate, this, &TFAppFrame::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterOpen, this, &TFAppFrame::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterSave, this, &TFAppFrame::qbaDataAfterSave);
    connect(qbaSettings, &TQBSettingsAccess::settingsChanged, this, &TFAppFrame::ApplySettings);
    qbaData->SetActive(true);
    qbaSettings->SetActive(true);

    ApplySettings(scAll);
    QBEditorService->SetActive(true);

    // The outline binds to the editor service, so it comes after the service runs.
    OutlinePane = new TFOutlinePane(pcNavigation);
    OutlinePane->setObjectName(QStringLiteral("FOutlinePane"));
    pcNavigation->addTab(OutlinePane, QBPaneImage(piOutline), QBLoadStr(QBAppLocalizer(), QBStrings::SOutlinePage));
    connect(OutlinePane, &TFOutlinePane::selectedArticleChanged, this, &TFAppFrame::alStandardUpdate);
    // Steps end after the document's notices, so the captions are brought up to date once the
    // command is over.
    const auto undoChanged = [this] {
        if (std::exchange(FUndoUpdatePending, true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FUndoUpdatePending = false;
                UpdateUndoActions();
            },
            Qt::QueuedConnection);
    };
    connect(qbaData, &TQBDataAccess::captionChanged, this, undoChanged);
    connect(qbaData, &TQBDataAccess::markerChanged, this, undoChanged);
    connect(qbaData, &TQBDataAccess::articleAdded, this, undoChanged);
    connect(qbaData, &TQBDataAccess::articleDeleted, this, undoChanged);
    connect(qbaData, &TQBDataAccess::articleMoved, this, undoChanged);
    connect(qbaData, &TQBDataAccess::afterCreate, this, undoChanged);
    connect(qbaData, &TQBDataAccess::afterOpen, this, undoChanged);
    connect(qApp, &QApplication::focusChanged, this, undoChanged);
    IndexPane = new TFIndexPane(pcNavigation);
    SearchPane = new TFSearchPane(pcNavigation);
    for (const auto &[pane, image] :
         {std::pair<TFToolForm *, TQBPaneImage>{IndexPane, piIndex}, {SearchPane, piSearch}}) {
        pcNavigation->addTab(pane, QBPaneImage(image), pane->windowTitle());
        // The pane's localizer translates its caption; the page shows it.
        connect(pane, &QWidget::windowTitleChanged, this, [this, pane](const QString &title) {
            if (const int page = pcNavigation->indexOf(pane); page >= 0) {
                pcNavigation->setTabText(page, title);
                if (page == pcNavigation->currentIndex())
                    pnlLDock->setWindowTitle(title);
            }
        });
    }

    CompleteCreation();
    UpdateCaption();
    UpdateEditorStatus();
    alStandardUpdate();
}

TFAppFrame::~TFAppFrame()
{
    delete FWatcher;
    FWatcher = nullptr;
    // The pane and the editor service unbind while the controls they follow still exist.
    delete SearchPane;
    SearchPane = nullptr;
    delete IndexPane;
    IndexPane = nullptr;
    delete OutlinePane;
    OutlinePane = nullptr;
    delete QBEditorService;
    QBEditorService = nullptr;
}

void TFAppFrame::CreateClientArea()
{
    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("pnlClient"));
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto *tabRow = new QHBoxLayout;
    tabRow->setContentsMargins(0, 0, 0, 0);
    atArticles = new TArticleTabs(client);
    atArticles->setObjectName(QStringLiteral("atArticles"));
    tbnWindowList = new QToolButton(client);
    tbnWindowList->setObjectName(QStringLiteral("tbnWindowList"));
    tbnWindowList->setIcon(QBCommandImage(ciWindowList));
    tbnWindowList->setAutoRaise(true);
    pmWindow = new QMenu(tbnWindowList);
    pmWindow->setObjectName(QStringLiteral("pmWindow"));
    tbnWindowList->setMenu(pmWindow);
    tbnWindowList->setPopupMode(QToolButton::InstantPopup);
    connect(pmWindow, &QMenu::aboutToShow, this, [this] { BuildWindowMenu(pmWindow); });
    tabRow->addWidget(atArticles, 1);
    tabRow->addWidget(tbnWindowList);
    layout->addLayout(tabRow);

    atTitle = new TArticleTitle(client);
    atTitle->setObjectName(QStringLiteral("atTitle"));
    layout->addWidget(atTitle);
    RichEdit = new TArticleRichEdit(client);
    RichEdit->setObjectName(QStringLiteral("RichEdit"));
    RichEdit->SetHideSelection(false);
    RichEdit->SetWantTabs(true);
    layout->addWidget(RichEdit, 1);
    setCentralWidget(client);

    pnlLDock = new QDockWidget(this);
    pnlLDock->setObjectName(QStringLiteral("pnlLDock"));
    // The panes can be torn off into a window of their own and docked on either side, but not
    // closed: the view commands hide single pages.
    pnlLDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    pnlLDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    pnlLDock->setMinimumWidth(170);
    pcNavigation = new QTabWidget(pnlLDock);
    pcNavigation->setObjectName(QStringLiteral("pcNavigation"));
    pcNavigation->setTabPosition(QTabWidget::South);
    // In a narrow dock the page names shorten rather than hide a page behind scroll buttons.
    pcNavigation->setElideMode(Qt::ElideRight);
    pcNavigation->setUsesScrollButtons(false);
    pnlLDock->setWidget(pcNavigation);
    addDockWidget(Qt::LeftDockWidgetArea, pnlLDock);
    resizeDocks({pnlLDock}, {260}, Qt::Horizontal);
    // The dock's title names the page in front.
    connect(pcNavigation, &QTabWidget::currentChanged, this,
            [this](int page) { pnlLDock->setWindowTitle(pcNavigation->tabText(page)); });

    RichEdit->viewport()->installEventFilter(this);
    connect(RichEdit, &QTextEdit::cursorPositionChanged, this, &TFAppFrame::UpdateEditorStatus);
    connect(RichEdit, &QTextEdit::selectionChanged, this, &TFAppFrame::alStandardUpdate);
    connect(RichEdit, &QTextEdit::undoAvailable, this, &TFAppFrame::alStandardUpdate);
    connect(RichEdit, &QTextEdit::redoAvailable, this, &TFAppFrame::alStandardUpdate);
    connect(RichEdit, &TVtlRichEdit::urlClicked, this, &TFAppFrame::RichEditURLClick);
    connect(atArticles, &QTabBar::currentChanged, this, &TFAppFrame::alStandardUpdate);
}

void TFAppFrame::CreateStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("statusBar"));
    bar->setSizeGripEnabled(true);
    for (int i = 0; i < 9; ++i) {
        auto *panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("pnlStatus%1").arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        if (i == 2 || (i >= 5 && i <= 7))
            panel->setAlignment(Qt::AlignCenter);
        if (i == 4)
            panel->setMinimumWidth(0);
        else
            panel->setFixedWidth(PanelWidths[i]);
        bar->addWidget(panel, i == 4 ? 1 : 0);
        StatusPanels.append(panel);
    }
    // Hints of menu entries and buttons go to panel 0 instead of replacing the whole bar.
    connect(bar, &QStatusBar::messageChanged, this, [this, bar](const QString &text) {
        if (!text.isEmpty()) {
            StatusPanels[0]->setText(text);
            bar->clearMessage();
        }
    });
}

QString TFAppFrame::StatusText(int panel) const
{
    return panel >= 0 && panel < StatusPanels.size() ? StatusPanels[panel]->text() : QString();
}

IQBDocumentPtr TFAppFrame::Document() const
{
    const IQBDataServicePtr data = DataService();
    return data ? data->GetDocument() : IQBDocumentPtr();
}

void TFAppFrame::StoreChanges()
{
    if (const IQBEditorServicePtr editor = EditorService())
        editor->StoreChanges();
}

void TFAppFrame::UpdateCaption()
{
    const IQBDocumentPtr document = Document();
    const QString name = document ? QFileInfo(document->FileName()).fileName() : QString();
    setWindowTitle(QStringLiteral("%1 - %2").arg(name, QStringLiteral("Quillbox")));
}

void TFAppFrame::UpdateEditorStatus()
{
    StatusPanels[2]->setText(QStringLiteral("%1 : %2").arg(RichEdit->CaretLine() + 1).arg(RichEdit->CaretColumn() + 1));
    UpdateFormatStatus();
}

void TFAppFrame::qbaDataAfterCreateOrOpen()
{
    UpdateCaption();
    alStandardUpdate();
}

void TFAppFrame::qbaDataAfterSave()
{
    UpdateCaption();
    StatusPanels[0]->setText(QBLoadStr(QBAppLocalizer(), QBStrings::SSaved));
}

void TFAppFrame::ApplySettings(int categories)
{
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    // Margins, fonts and colours change how the text looks, not the article: a document that had
    // no changes must not ask to be saved because a setting changed.
    const bool modified = RichEdit->Modified();
    const auto keepModified = qScopeGuard([this, modified] { RichEdit->SetModified(modified); });
    if (categories & scEditOptions) {
        RichEdit->SetWordSelection(settings->GetWordSelection());
        RichEdit->SetSelectionBar(settings->GetSelectionBar());
        RichEdit->SetUndoLimit(settings->GetUndoLimit());
        RichEdit->SetWordWrap(settings->GetWordWrap());
        if (ViewWrap)
            ViewWrap->setChecked(settings->GetWordWrap());
    }
    if (categories & scFonts) {
        TQBFontDescriptor font;
        DescriptorToFont(settings->GetEditorFont(), font);
        if (!font.Name.isEmpty())
            RichEdit->DefAttributes().SetName(font.Name);
        RichEdit->DefAttributes().SetSize(font.Size);
        RichEdit->DefAttributes().SetColor(TColorToQColor(font.Color));
        TQBFontDescriptor title;
        DescriptorToFont(settings->GetTitleFont(), title);
        QFont captionFont(title.Name);
        captionFont.setPointSize(title.Size > 0 ? title.Size : 10);
        captionFont.setBold(title.Style & TQBFontDescriptor::fsBold);
        captionFont.setItalic(title.Style & TQBFontDescriptor::fsItalic);
        atTitle->SetCaptionFont(captionFont);
    }
    if (categories & scColors) {
        QPalette palette = RichEdit->palette();
        palette.setColor(QPalette::Base, TColorToQColor(settings->GetEditorColor()));
        RichEdit->setPalette(palette);
        atTitle->SetColor(TColorToQColor(settings->GetTitleColor()));
    }
}

void TFAppFrame::ShowOutline()
{
    pcNavigation->setCurrentWidget(OutlinePane);
    if (!pnlLDock->isVisible())
        pnlLDock->show();
}

bool TFAppFrame::PaneShown(QWidget *pane) const
{
    return pane && pcNavigation->isTabVisible(pcNavigation->indexOf(pane));
}

void TFAppFrame::SetPaneShown(QWidget *pane, bool shown)
{
    if (!pane)
        return;
    pcNavigation->setTabVisible(pcNavigation->indexOf(pane), shown);
    if (ViewIndex)
        ViewIndex->setChecked(PaneShown(IndexPane));
    if (ViewSearch)
        ViewSearch->setChecked(PaneShown(SearchPane));
}

void TFAppFrame::TogglePane(QWidget *pane)
{
    // A page that is shown but behind another comes to the front rather than going away.
    if (PaneShown(pane) && pcNavigation->currentWidget() == pane && pnlLDock->isVisible()) {
        SetPaneShown(pane, false);
        return;
    }
    SetPaneShown(pane, true);
    pcNavigation->setCurrentWidget(pane);
    if (!pnlLDock->isVisible())
        pnlLDock->show();
    // Ready for typing: the pane's focus goes to its text box.
    pane->setFocus();
}
void TFAppFrame::UpdateUndoActions()
{
    if (!EditUndo || !OutlinePane)
        return;
    const bool outline = OutlinePane->HasFocus();
    QAction *actions[2] = {EditUndo, EditRedo};
    for (int i = 0; i < 2; ++i) {
        QAction *action = actions[i];
        const bool redo = i == 1;
        if (action->text() != FUndoShown[i])
            FUndoCaptions[i] = action->text();
        const QString step = outline ? OutlinePane->UndoCaption(redo) : QString();
        FUndoShown[i] = step.isEmpty() ? FUndoCaptions[i] : step;
        action->setText(FUndoShown[i]);
        if (outline)
            action->setEnabled(redo ? OutlinePane->CanRedo() : OutlinePane->CanUndo());
        else
            action->setEnabled(redo ? RichEdit->CanRedo() : RichEdit->CanUndo());
    }
}

void TFAppFrame::alStandardUpdate()
{
    if (!EditUndo || !OutlinePane)
        return;
    UpdateUndoActions();
    const bool selected = RichEdit->SelLength() > 0;
    EditCut->setEnabled(selected);
    EditCopy->setEnabled(selected);
    EditDelete->setEnabled(selected);
    EditPaste->setEnabled(RichEdit->CanPaste());
    EditPasteSpecial->setEnabled(RichEdit->CanPaste());

    ViewIndex->setChecked(PaneShown(IndexPane));
    ViewSearch->setChecked(PaneShown(SearchPane));
    ViewStatusBar->setChecked(!statusBar()->isHidden());
    ViewTStandard->setChecked(!tbStandard->isHidden());
    ViewTArticle->setChecked(!tbArticle->isHidden());
    ViewTFormat->setChecked(!tbFormat->isHidden());
    ViewTitleBar->setChecked(!atTitle->isHidden());
    if (const IQBSettingsServicePtr settings = SettingsService())
        ViewWrap->setChecked(settings->GetWordWrap());

    const IQBEditorServicePtr editor = EditorService();
    const bool canBack = editor && editor->CanGoBack();
    const bool canForward = editor && editor->CanGoForward();
    NavBack->setEnabled(canBack);
    NavForward->setEnabled(canForward);
    // The hint's short part is the tooltip; the history's caption tells where the step leads.
    const auto hint = [](QAction *action, const QString &text) {
        action->setToolTip(text.section(QLatin1Char('|'), 0, 0));
        action->setStatusTip(text.section(QLatin1Char('|'), 1));
    };
    hint(NavBack, canBack ? QBFormatStr(QBAppLocalizer(), QBStrings::SBack, {editor->BackCaption()}) : QString());
    hint(NavForward,
         canForward ? QBFormatStr(QBAppLocalizer(), QBStrings::SForward, {editor->ForwardCaption()}) : QString());
    const IQBArticlePtr current = editor ? editor->CurrentArticle() : IQBArticlePtr();
    NavPrevious->setEnabled(current && current->Previous());
    NavNext->setEnabled(current && current->Next());

    const IQBDocumentPtr document = Document();
    // Between a new document and the outline's rebuild the selection still holds an old article.
    const IQBArticlePtr outlined = OutlinePane->SelectedArticle();
    const IQBArticlePtr article = outlined && document && outlined->Document() == document ? outlined : nullptr;
    const bool notRoot = article && document && article != document->Root();
    DocSplit->setEnabled(notRoot);
    DocAddChild->setEnabled(bool(article));
    DocAddSiblingBelow->setEnabled(notRoot);
    DocAddSiblingAbove->setEnabled(notRoot);
    DocRename->setEnabled(bool(article));
    DocDelete->setEnabled(notRoot);
    DocChangeMarker->setEnabled(bool(article));
    const TArticleMoves moves = article && document ? document->GetMoves(article) : TArticleMoves();
    DocMoveUp->setEnabled(moves.testFlag(amUp));
    DocMoveDown->setEnabled(moves.testFlag(amDown));
    DocMoveLeft->setEnabled(moves.testFlag(amLeft));
    DocMoveRight->setEnabled(moves.testFlag(amRight));

    WindowClose->setEnabled(editor && editor->WindowCount() > 1);
}

QString TFAppFrame::AcceleratorPrefix(int index)
{
    if (index < 10)
        return QLatin1Char('&') + QString::number(index);
    if (index < 100)
        return QLatin1Char('&') + QChar(char16_t(65 + index - 10));
    return QStringLiteral(" ");
}

void TFAppFrame::BuildRecentMenu(QMenu *menu)
{
    menu->clear();
    const IQBDataServicePtr data = DataService();
    const IQBHistoryListPtr recent = data ? data->GetRecentFiles() : IQBHistoryListPtr();
    if (!recent || recent->GetCount() == 0) {
        menu->addAction(QBLoadStr(QBAppLocalizer(), QBStrings::SEmpty))->setEnabled(false);
        return;
    }
    for (int i = 0; i < recent->GetCount(); ++i) {
        const QString fileName = recent->GetItem(i);
        QAction *entry = menu->addAction(AcceleratorPrefix(i) + QStringLiteral("   ") + fileName);
        connect(entry, &QAction::triggered, this, [this, fileName] {
            StoreChanges();
            if (const IQBDataServicePtr service = DataService())
                service->OpenDocument(fileName);
        });
    }
}

void TFAppFrame::BuildWindowMenu(QMenu *menu)
{
    // Entries tagged -1 (New Window, Close Window and their separator) stay.
    for (QAction *entry : menu->actions()) {
        if (!entry->data().isValid() || entry->data().toInt() >= 0) {
            menu->removeAction(entry);
            if (entry->parent() == menu)
                entry->deleteLater();
        }
    }
    const IQBEditorServicePtr editor = EditorService();
    if (!editor)
        return;
    for (int i = 0; i < editor->WindowCount(); ++i) {
        QAction *entry = menu->addAction(AcceleratorPrefix(i) + QStringLiteral("   ") + editor->WindowCaption(i));
        entry->setData(i);
        entry->setCheckable(true);
        entry->setChecked(i == editor->ActiveWindowIndex());
        connect(entry, &QAction::triggered, this, [i] {
            if (const IQBEditorServicePtr service = EditorService(); service && i < service->WindowCount())
                service->ActivateWindow(i);
        });
    }
}

void TFAppFrame::closeEvent(QCloseEvent *event)
{
    StoreChanges();
    const IQBDataServicePtr data = DataService();
    if (data && !data->CloseDocument()) {
        event->ignore();
        return;
    }
    TBaseForm::closeEvent(event);
}

void TFAppFrame::showEvent(QShowEvent *event)
{
    if (!FHelpTranslator)
        FHelpTranslator = new TQBHelpTranslator(this);
    RebuildMenuBar();
    UpdateCaption();
    UpdateEditorStatus();
    alStandardUpdate();
    TBaseForm::showEvent(event);
}

void TFAppFrame::hideEvent(QHideEvent *event)
{
    delete FHelpTranslator;
    FHelpTranslator = nullptr;
    TBaseForm::hideEvent(event);
}

void TFAppFrame::DoSaveState(TRegistry &registry)
{
    registry.WriteBool(QStringLiteral("ShowStatusBar"), !statusBar()->isHidden());
    registry.WriteInteger(QStringLiteral("PaneWidth"), pnlLDock->width());
    registry.WriteBool(QStringLiteral("ShowTitleBar"), !atTitle->isHidden());
    registry.CloseKey();
    registry.OpenKey(FormKey() + QStringLiteral("Panes"), true);
    registry.WriteBool(QStringLiteral("ShowIndex"), PaneShown(IndexPane));
    registry.WriteBool(QStringLiteral("ShowSearch"), PaneShown(SearchPane));
    registry.WriteInteger(QStringLiteral("DockSide"), dockWidgetArea(pnlLDock) == Qt::RightDockWidgetArea ? 1 : 0);
    registry.WriteBool(QStringLiteral("Floating"), pnlLDock->isFloating());
    const QRect floating = pnlLDock->geometry();
    registry.WriteInteger(QStringLiteral("FloatingLeft"), floating.left());
    registry.WriteInteger(QStringLiteral("FloatingTop"), floating.top());
    registry.WriteInteger(QStringLiteral("FloatingWidth"), floating.width());
    registry.WriteInteger(QStringLiteral("FloatingHeight"), floating.height());
    registry.CloseKey();
    registry.OpenKey(FormKey() + QStringLiteral("Toolbars"), true);
    registry.WriteBool(QStringLiteral("ShowStandard"), !tbStandard->isHidden());
    registry.WriteBool(QStringLiteral("ShowArticle"), !tbArticle->isHidden());
    registry.WriteBool(QStringLiteral("ShowFormat"), !tbFormat->isHidden());
    registry.WriteBool(QStringLiteral("FullTitle"), atTitle->Expanded());
    TBaseForm::DoSaveState(registry);
}

void TFAppFrame::DoRestoreState(TRegistry &registry)
{
    // One guard for the whole layout: the first missing value ends it, and what was read stays.
    try {
        statusBar()->setVisible(registry.ReadBool(QStringLiteral("ShowStatusBar")));
        resizeDocks({pnlLDock}, {qMax(170, registry.ReadInteger(QStringLiteral("PaneWidth")))}, Qt::Horizontal);
        atTitle->setVisible(registry.ReadBool(QStringLiteral("ShowTitleBar")));
        if (registry.OpenKeyReadOnly(FormKey() + QStringLiteral("Panes"))) {
            SetPaneShown(IndexPane, registry.ReadBool(QStringLiteral("ShowIndex")));
            SetPaneShown(SearchPane, registry.ReadBool(QStringLiteral("ShowSearch")));
        }
        if (registry.OpenKeyReadOnly(FormKey() + QStringLiteral("Toolbars"))) {
            tbStandard->setVisible(registry.ReadBool(QStringLiteral("ShowStandard")));
            tbArticle->setVisible(registry.ReadBool(QStringLiteral("ShowArticle")));
            tbFormat->setVisible(registry.ReadBool(QStringLiteral("ShowFormat")));
            atTitle->SetExpanded(registry.ReadBool(QStringLiteral("FullTitle")));
        }
    } catch (const ERegistryException &) {
    }
    // Where the panes are has a guard of its own: stores written before it existed lack it.
    try {
        if (registry.OpenKeyReadOnly(FormKey() + QStringLiteral("Panes")))
            RestorePanePlace(registry);
    } catch (const ERegistryException &) {
    }
    alStandardUpdate();
    TBaseForm::DoRestoreState(registry);
}

void TFAppFrame::RestorePanePlace(TRegistry &registry)
{
    const bool right = registry.ReadInteger(QStringLiteral("DockSide")) == 1;
    const bool floating = registry.ReadBool(QStringLiteral("Floating"));
    const QRect geometry(
        registry.ReadInteger(QStringLiteral("FloatingLeft")), registry.ReadInteger(QStringLiteral("FloatingTop")),
        registry.ReadInteger(QStringLiteral("FloatingWidth")), registry.ReadInteger(QStringLiteral("FloatingHeight")));
    addDockWidget(right ? Qt::RightDockWidgetArea : Qt::LeftDockWidgetArea, pnlLDock);
    pnlLDock->setFloating(floating);
    if (!floating)
        return;
    // A window left on a screen that is gone comes back where it can be seen.
    const QScreen *screen = QGuiApplication::screenAt(geometry.topLeft());
    if (!screen || geometry.width() < 100 || geometry.height() < 100) {
        pnlLDock->resize(qMax(geometry.width(), 260), qMax(geometry.height(), 400));
        pnlLDock->move(this->geometry().topLeft() + QPoint(40, 40));
        return;
    }
    pnlLDock->setGeometry(geometry);
}

bool TFAppFrame::RichEditDragOver(QObject *source, const QPoint &point)
{
    if (!OutlinePane || !source || source != OutlinePane->atvOutline || !OutlinePane->SelectedArticle())
        return false;
    if (point.x() >= 1 && point.y() >= 1)
        RichEdit->SetSelStart(RichEdit->CharAtPoint(point));
    return true;
}

void TFAppFrame::RichEditDragDrop(QObject *source, const QPoint &point)
{
    if (!RichEditDragOver(source, point))
        return;
    const IQBArticlePtr article = OutlinePane->SelectedArticle();
    RichEdit->InsertHyperlink(QStringLiteral("@_") + QString::number(article->IID()), article->Caption());
}

bool TFAppFrame::eventFilter(QObject *watched, QEvent *event)
{
    if (RichEdit && watched == RichEdit->viewport()) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(event);
            if (!drag->mimeData()->hasFormat(QString::fromLatin1(QBOutlineArticleMimeType)))
                break;
            if (RichEditDragOver(drag->source(), drag->position().toPoint()))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(event);
            if (!drop->mimeData()->hasFormat(QString::fromLatin1(QBOutlineArticleMimeType)))
                break;
            RichEditDragDrop(drop->source(), drop->position().toPoint());
            drop->acceptProposedAction();
            return true;
        }
        default:
            break;
        }
    }
    return TBaseForm::eventFilter(watched, event);
}
