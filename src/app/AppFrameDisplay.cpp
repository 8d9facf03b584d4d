// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "app/AppData.h"
#include "base/NVKDateTime.h"
#include "controls/ArticleRichEdit.h"
#include "controls/ArticleTabs.h"
#include "controls/ArticleTitle.h"
#include "editor/QBEditorSvc.h"
#include "framework/NVKFormat.h"
#include "framework/QBStrings.h"
#include "panes/OutlinePane.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBKeyboard.h"
#include "services/QBEditorIntf.h"

#include <QApplication>
#include <QDockWidget>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QStatusBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr const char *LockTexts[3] = {"CAPS", "NUM", "SCRL"};

int LockKeyIndex(int key)
{
    switch (key) {
    case Qt::Key_CapsLock:
        return lkCapsLock;
    case Qt::Key_NumLock:
        return lkNumLock;
    case Qt::Key_ScrollLock:
        return lkScrollLock;
    default:
        return -1;
    }
}

// Watches the whole application for the lock keys and its activation, and the status bar and
// title bar for their size, without taking any event away from its receiver.
class TAppFrameWatcher : public QObject
{
public:
    explicit TAppFrameWatcher(TFAppFrame *frame)
        : QObject(frame), FFrame(frame), FBar(frame->statusBar()), FTitle(frame->atTitle)
    {
        qApp->installEventFilter(this);
        FBar->installEventFilter(this);
        FTitle->installEventFilter(this);
    }

    ~TAppFrameWatcher() override { qApp->removeEventFilter(this); }

    TAppFrameWatcher(const TAppFrameWatcher &) = delete;
    TAppFrameWatcher &operator=(const TAppFrameWatcher &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (LockKeyIndex(key->key()) >= 0 && !key->isAutoRepeat() && IsFirstReceiver(watched))
                FFrame->LockKeyChanged(key->key(), event->type() == QEvent::KeyPress);
            break;
        }
        case QEvent::ApplicationActivate:
            if (watched == qApp)
                FFrame->UpdateLockIndicators();
            break;
        case QEvent::Resize:
            if (watched == FBar)
                FFrame->ResizeStatusPanels();
            else if (watched == FTitle && FFrame->pnlTitleInfo)
                FFrame->pnlTitleInfo->resize(FTitle->width(), FFrame->pnlTitleInfo->height());
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A key event that nobody takes travels up to the parents, and each step passes this filter;
    // only its first receiver counts, so a press is seen once.
    static bool IsFirstReceiver(QObject *watched)
    {
        if (!watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        if (QWidget *popup = QApplication::activePopupWidget())
            return widget == popup;
        if (QWidget *focus = QApplication::focusWidget())
            return widget == focus;
        return widget->isWindow();
    }

    TFAppFrame *FFrame;
    QWidget *FBar;
    QWidget *FTitle;
};

} // namespace

void TFAppFrame::CompleteCreation()
{
    pnlTitleInfo = new QWidget(atTitle);
    pnlTitleInfo->setObjectName(QStringLiteral("pnlTitleInfo"));
    auto *grid = new QGridLayout(pnlTitleInfo);
    grid->setContentsMargins(8, 0, 8, 4);
    grid->setVerticalSpacing(0);
    const auto label = [this](const char *name) {
        auto *result = new QLabel(pnlTitleInfo);
        result->setObjectName(QString::fromLatin1(name));
        result->setTextFormat(Qt::PlainText);
        return result;
    };
    lblPath = label("lblPath");
    lblTime = label("lblTime");
    lblLevel = label("lblLevel");
    lblSubarticles = label("lblSubarticles");
    lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblSubarticles->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(lblPath, 0, 0);
    grid->addWidget(lblTime, 0, 1);
    grid->addWidget(lblLevel, 1, 0);
    grid->addWidget(lblSubarticles, 1, 1);
    grid->setColumnStretch(0, 1);
    pnlTitleInfo->setGeometry(0, atTitle->CaptionHeight(), atTitle->width(), pnlTitleInfo->sizeHint().height());
    atTitle->updateGeometry();
    connect(atTitle, &TArticleTitle::articleChanged, this, &TFAppFrame::atTitleArticleChanged);
    if (const IQBEditorServicePtr editor = EditorService())
        atTitleArticleChanged(editor->CurrentArticle());

    FWatcher = new TAppFrameWatcher(this);
    UpdateLockIndicators();

    connect(this, &TBaseForm::systemSettingChanged, this, &TFAppFrame::FormSettingChange);

    xlAppFrame = new TNVKLocalizer(this);
    xlAppFrame->setObjectName(QStringLiteral("xlAppFrame"));
    if (TDMAppData *appData = TDMAppData::Instance())
        xlAppFrame->SetResourceSet(appData->NVKResourceSet);
    connect(xlAppFrame, &TNVKCustomResourceManager::afterUpdate, this, &TFAppFrame::xlAppFrameAfterUpdate);
    xlAppFrame->Loaded();
}

void TFAppFrame::atTitleArticleChanged(const IQBArticlePtr &article)
{
    if (!article || !lblPath)
        return;
    lblPath->setText(article->Path());
    lblTime->setText(FormatDateTime(QStringLiteral("mmmm d, yyyy tt"), article->Created()));
    lblLevel->setText(Format(QStringLiteral("%s: %d"), {QBLoadStr(xlAppFrame, QBStrings::SLevel), article->Level()}));
    lblSubarticles->setText(
        Format(QStringLiteral("%s: %d"), {QBLoadStr(xlAppFrame, QBStrings::SSubarticles), article->Items()->Count()}));
}

void TFAppFrame::xlAppFrameAfterUpdate()
{
    RebuildMenuBar();
    // An untitled document is named in the language too.
    UpdateCaption();
    if (QBEditorService && QBEditorService->Active()) {
        if (const IQBEditorServicePtr editor = EditorService())
            atTitleArticleChanged(editor->CurrentArticle());
    }
}

void TFAppFrame::RebuildMenuBar()
{
    // Menu titles and command captions follow the language at once; what is built from named
    // texts is built again: the lists of recent files and windows, the colour menus, the outline's
    // page, the hints.
    if (miRecent)
        BuildRecentMenu(miRecent);
    if (mWindow)
        BuildWindowMenu(mWindow);
    if (pmForeColors && pmBackColors)
        BuildColorMenus();
    if (pcNavigation && OutlinePane) {
        const int page = pcNavigation->indexOf(OutlinePane);
        if (page >= 0)
            pcNavigation->setTabText(page, QBLoadStr(xlAppFrame, QBStrings::SOutlinePage));
        pnlLDock->setWindowTitle(pcNavigation->tabText(pcNavigation->currentIndex()));
        // The panes rename their own pages as they are translated, after this.
        QTimer::singleShot(0, this, &TFAppFrame::FitNavigationPages);
    }
    alStandardUpdate();
}

void TFAppFrame::FitNavigationPages()
{
    // Longer names (German ones) would otherwise be cut short in a dock sized for English ones.
    const int names = pcNavigation->tabBar()->sizeHint().width();
    pnlLDock->setMinimumWidth(qMax(170, names + 2 * pcNavigation->style()->pixelMetric(QStyle::PM_DefaultFrameWidth)));
}

void TFAppFrame::LockKeyChanged(int key, bool pressed)
{
    const int index = LockKeyIndex(key);
    if (index < 0)
        return;
    // Where the window system can be asked, it says; elsewhere each press toggles what is shown.
    if (const std::optional<bool> state = QBReadLockState(TQBLockKey(index)))
        FLockStates[index] = *state;
    else if (pressed)
        FLockStates[index] = !FLockStates[index];
    ShowLockIndicators();
}

void TFAppFrame::UpdateLockIndicators()
{
    for (int index = 0; index < 3; ++index) {
        if (const std::optional<bool> state = QBReadLockState(TQBLockKey(index)))
            FLockStates[index] = *state;
    }
    ShowLockIndicators();
}

void TFAppFrame::ShowLockIndicators()
{
    for (int index = 0; index < 3; ++index)
        StatusPanels[5 + index]->setText(FLockStates[index] ? QString::fromLatin1(LockTexts[index]) : QString());
}

void TFAppFrame::ResizeStatusPanels()
{
    // The bar's width less panels 0 to 3 and four times panel 5 for the indicators on the right.
    // It only caps panel 4: the bar's layout still keeps every panel on the right whole, where the
    // gaps and the size grip leave less than that.
    int taken = 4 * StatusPanels[5]->width();
    for (int i = 0; i < 4; ++i)
        taken += StatusPanels[i]->width();
    StatusPanels[4]->setMaximumWidth(qMax(0, statusBar()->width() - taken));
}

void TFAppFrame::FormSettingChange()
{
    const QFont menuFont = QApplication::font("QMenu");
    for (QToolBar *toolbar : findChildren<QToolBar *>(QString(), Qt::FindDirectChildrenOnly)) {
        connect(toolbar, &QToolBar::orientationChanged, this, &TFAppFrame::FormSettingChange, Qt::UniqueConnection);
        toolbar->setFont(menuFont);
        if (toolbar->orientation() != Qt::Horizontal) {
            toolbar->setMinimumWidth(0);
            toolbar->setMaximumWidth(QWIDGETSIZE_MAX);
            continue;
        }
        // A button's width is what it takes of the row: its own width and the gap after it.
        const int gap = toolbar->style()->pixelMetric(QStyle::PM_ToolBarItemSpacing, nullptr, toolbar);
        int width = 0;
        for (QAction *action : toolbar->actions()) {
            QWidget *button = toolbar->widgetForAction(action);
            if (button && action->isVisible()) {
                button->ensurePolished();
                width += button->sizeHint().width() + gap;
            }
        }
        // The bar's own frame and its drag handle come on top, or the last buttons would be pushed
        // into the overflow button.
        const QMargins frame = toolbar->layout() ? toolbar->layout()->contentsMargins() : QMargins();
        width += frame.left() + frame.right();
        if (toolbar->isMovable())
            width += toolbar->style()->pixelMetric(QStyle::PM_ToolBarHandleExtent, nullptr, toolbar);
        // At most that wide, and narrower when the window is: the bar then shows its overflow
        // button instead of holding the window wider than the screen.
        toolbar->setMinimumWidth(0);
        toolbar->setMaximumWidth(width + 10);
    }
}
