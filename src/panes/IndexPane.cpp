// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "IndexPane.h"

#include "IndexModel.h"
#include "dialogs/MarkerDlg.h"
#include "document/QBMarkers.h"
#include "framework/NVKResourceSet.h"
#include "framework/QBStrings.h"
#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"
#include "platform/QBImages.h"
#include "services/QBDocAccess.h"
#include "services/QBDocSvc.h"
#include "services/QBEditorIntf.h"
#include "services/QBSettingsAccess.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {

constexpr int ImageSize = 16;
const QString HistoryName = QStringLiteral("Index");

bool isEnterKey(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// Draws the items of modified articles in bold.
class TIndexDelegate final : public QStyledItemDelegate
{
public:
    TIndexDelegate(TQBIndexModel *model, QObject *parent) : QStyledItemDelegate(parent), FModel(model) {}

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        const IQBArticlePtr article = FModel->ArticleAt(index.row());
        if (article && article->Modified()) {
            option->font.setBold(true);
            option->fontMetrics = QFontMetrics(option->font);
        }
    }

private:
    TQBIndexModel *FModel;
};

} // namespace

TFIndexPane::TFIndexPane(QWidget *parent) : TFToolForm(parent)
{
    setObjectName(QStringLiteral("FIndexPane"));
    setWindowTitle(QStringLiteral("Index"));
    SetHelpContext(202);

    auto *client = new QWidget(this);
    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    pnlLookup = new QWidget(client);
    pnlLookup->setObjectName(QStringLiteral("pnlLookup"));
    auto *grid = new QGridLayout(pnlLookup);
    grid->setContentsMargins(4, 4, 4, 2);
    lblLookup = new QLabel(QStringLiteral("&Look for:"), pnlLookup);
    lblLookup->setObjectName(QStringLiteral("lblLookup"));
    cbIndex = new QComboBox(pnlLookup);
    cbIndex->setObjectName(QStringLiteral("cbIndex"));
    cbIndex->setEditable(true);
    // The drop-down is the history list; what the user types never joins it by itself.
    cbIndex->setInsertPolicy(QComboBox::NoInsert);
    cbIndex->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbIndex->setMinimumContentsLength(8);
    lblLookup->setBuddy(cbIndex);
    lblMarked = new QLabel(QStringLiteral("&Marked as:"), pnlLookup);
    lblMarked->setObjectName(QStringLiteral("lblMarked"));
    cbeMarkers = new QComboBox(pnlLookup);
    cbeMarkers->setObjectName(QStringLiteral("cbeMarkers"));
    cbeMarkers->setMaxVisibleItems(8);
    cbeMarkers->setIconSize(QSize(ImageSize, ImageSize));
    cbeMarkers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbeMarkers->setMinimumContentsLength(8);
    lblMarked->setBuddy(cbeMarkers);
    grid->addWidget(lblLookup, 0, 0);
    grid->addWidget(cbIndex, 0, 1);
    grid->addWidget(lblMarked, 1, 0);
    grid->addWidget(cbeMarkers, 1, 1);
    grid->setColumnStretch(1, 1);
    layout->addWidget(pnlLookup);

    FModel = new TQBIndexModel(this);
    FModel->setObjectName(QStringLiteral("mdIndex"));
    lvIndex = new QListView(client);
    lvIndex->setObjectName(QStringLiteral("lvIndex"));
    lvIndex->setModel(FModel);
    lvIndex->setItemDelegate(new TIndexDelegate(FModel, lvIndex));
    lvIndex->setUniformItemSizes(true);
    lvIndex->setIconSize(QSize(ImageSize, ImageSize));
    lvIndex->setSelectionMode(QAbstractItemView::SingleSelection);
    lvIndex->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvIndex->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvIndex->setMinimumWidth(100);
    lvIndex->setContextMenuPolicy(Qt::CustomContextMenu);
    lvIndex->installEventFilter(this);
    // The box is the focus widget and hands keys to its line edit without filters: watch both.
    cbIndex->installEventFilter(this);
    cbIndex->lineEdit()->installEventFilter(this);
    layout->addWidget(lvIndex, 1);
    setCentralWidget(client);
    // Showing the pane puts the caret into its text box.
    setFocusProxy(cbIndex);

    aChangeMarker = new QAction(QStringLiteral("Change &marker..."), this);
    aChangeMarker->setObjectName(QStringLiteral("aChangeMarker"));
    aChangeMarker->setProperty("category", QStringLiteral("Index"));
    alIndex.append(aChangeMarker);
    pmIndex = new QMenu(this);
    pmIndex->setObjectName(QStringLiteral("pmIndex"));
    pmIndex->addAction(aChangeMarker);

    connect(aChangeMarker, &QAction::triggered, this, &TFIndexPane::aChangeMarkerExecute);
    connect(pmIndex, &QMenu::aboutToShow, this, &TFIndexPane::alIndexUpdate);
    connect(lvIndex, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &point) { pmIndex->popup(lvIndex->viewport()->mapToGlobal(point)); });
    connect(lvIndex, &QAbstractItemView::doubleClicked, this, &TFIndexPane::OpenSelectedItem);
    connect(lvIndex->selectionModel(), &QItemSelectionModel::currentChanged, this, &TFIndexPane::alIndexUpdate);
    connect(cbIndex, &QComboBox::editTextChanged, this, &TFIndexPane::cbIndexChange);
    connect(cbeMarkers, &QComboBox::currentIndexChanged, this, &TFIndexPane::cbeMarkersChange);
    // A bulk change resets the list; the selected article stays selected through it.
    connect(FModel, &QAbstractItemModel::modelAboutToBeReset, this, [this] { FKeptSelection = SelectedArticle(); });
    connect(FModel, &QAbstractItemModel::modelReset, this, [this] {
        if (FKeptSelection)
            SelectRow(FModel->RowOf(FKeptSelection.get()));
        FKeptSelection.reset();
    });

    qbaSettings = new TQBSettingsAccess(this);
    qbaSettings->setObjectName(QStringLiteral("qbaSettings"));
    connect(qbaSettings, &TQBSettingsAccess::settingsChanged, this, &TFIndexPane::qbaSettingsSettingsChanged);
    qbaSettings->SetActive(true);
    qbaData = new TQBDataAccess(this);
    qbaData->setObjectName(QStringLiteral("qbaData"));
    connect(qbaData, &TQBDataAccess::afterCreate, this, &TFIndexPane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::afterOpen, this, &TFIndexPane::qbaDataAfterCreateOrOpen);
    connect(qbaData, &TQBDataAccess::captionChanged, this, &TFIndexPane::qbaDataCaptionChanged);
    connect(qbaData, &TQBDataAccess::markerChanged, this, &TFIndexPane::qbaDataMarkerChanged);
    connect(qbaData, &TQBDataAccess::articleAdded, this, &TFIndexPane::qbaDataArticleAdded);
    connect(qbaData, &TQBDataAccess::articleDeleted, this, &TFIndexPane::qbaDataArticleDeleted);
    // Bold items follow the modified flags, which storing a body sets and saving clears.
    connect(qbaData, &TQBDataAccess::contentChanged, lvIndex->viewport(), qOverload<>(&QWidget::update));
    connect(qbaData, &TQBDataAccess::afterSave, lvIndex->viewport(), qOverload<>(&QWidget::update));
    qbaData->SetActive(true);

    NVKLocalizer = QBNewLocalizer(this, "NVKLocalizer");
    connect(NVKLocalizer, &TNVKCustomResourceManager::afterUpdate, this, &TFIndexPane::NVKLocalizerAfterUpdate);
    // Marker names follow the language too, whichever localizer hears of the switch first.
    connect(&Markers(), &TQBMarkerDictionary::markersChanged, this, &TFIndexPane::NVKLocalizerAfterUpdate);

    if (const IQBSettingsServicePtr settings = SettingsService())
        FHistory = settings->LoadHistoryList(HistoryName);
    if (FHistory) {
        const QSignalBlocker blocker(cbIndex);
        for (int i = 0; i < FHistory->GetCount(); ++i)
            cbIndex->addItem(FHistory->GetItem(i));
        cbIndex->setEditText(QString());
    }
    FillMarkerCombo();
    ApplySettings(0xFFFF);
    RebuildIndex();
    NVKLocalizer->Loaded();
    alIndexUpdate();
}

TFIndexPane::~TFIndexPane()
{
    qbaData->SetActive(false);
    qbaSettings->SetActive(false);
    if (FHistory) {
        if (const IQBSettingsServicePtr settings = SettingsService())
            settings->SaveHistoryList(HistoryName, FHistory);
        FHistory.reset();
    }
    disconnect(FModel, nullptr, this, nullptr);
}

void TFIndexPane::showEvent(QShowEvent *event)
{
    if (cbeMarkers->currentIndex() < 0 && cbeMarkers->count() > 0)
        cbeMarkers->setCurrentIndex(0);
    TFToolForm::showEvent(event);
}

bool TFIndexPane::eventFilter(QObject *watched, QEvent *event)
{
    if (isEnterKey(event)) {
        if (watched == lvIndex) {
            OpenSelectedItem();
            return true;
        }
        if (watched == cbIndex || watched == cbIndex->lineEdit()) {
            if (!cbIndex->currentText().isEmpty())
                OpenSelectedItem();
            return true;
        }
    }
    return TFToolForm::eventFilter(watched, event);
}

IQBArticlePtr TFIndexPane::SelectedArticle() const
{
    const QModelIndex current = lvIndex->currentIndex();
    return current.isValid() ? FModel->ArticleAt(current.row()) : nullptr;
}

void TFIndexPane::SelectRow(int row)
{
    if (row < 0 || row >= FModel->rowCount())
        return;
    const QModelIndex index = FModel->index(row);
    lvIndex->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    lvIndex->scrollTo(index);
}

// ---- building the list

void TFIndexPane::FillMarkerCombo()
{
    const QSignalBlocker blocker(cbeMarkers);
    cbeMarkers->clear();
    cbeMarkers->addItem(QBLoadStr(NVKLocalizer, QBStrings::SNoFilter));
    const TQBMarkers &markers = Markers().Markers();
    for (int i = 0; i < markers.Count(); ++i)
        cbeMarkers->addItem(QBMarkerImage(markers.Items(i).ImageIndex()), markers.Items(i).DisplayName());
    cbeMarkers->setCurrentIndex(0);
}

QList<IQBArticlePtr> TFIndexPane::ListedArticles(const IQBArticlePtr &article) const
{
    // Depth first in document order with a list of its own: documents can be very deep.
    QList<IQBArticlePtr> listed;
    QList<IQBArticlePtr> pending{article};
    while (!pending.isEmpty()) {
        const IQBArticlePtr next = pending.takeLast();
        if (!next)
            continue;
        if (FMarkerFilter == NoFilter || next->Mark() == FMarkerFilter)
            listed.append(next);
        const IQBArticleListPtr items = next->Items();
        for (int i = items->Count() - 1; i >= 0; --i)
            pending.append(items->Get(i));
    }
    return listed;
}

void TFIndexPane::AddArticleItems(const IQBArticlePtr &article)
{
    FModel->Insert(ListedArticles(article));
}

void TFIndexPane::RemoveArticleItems(const IQBArticlePtr &article)
{
    QList<IQBArticlePtr> subtree;
    QList<IQBArticlePtr> pending{article};
    while (!pending.isEmpty()) {
        const IQBArticlePtr next = pending.takeLast();
        if (!next)
            continue;
        if (FModel->Contains(next.get()))
            subtree.append(next);
        const IQBArticleListPtr items = next->Items();
        for (int i = 0; i < items->Count(); ++i)
            pending.append(items->Get(i));
    }
    FModel->Remove(subtree);
}

void TFIndexPane::RebuildIndex()
{
    const IQBDataServicePtr data = DataService();
    const IQBDocumentPtr document = data ? data->GetDocument() : nullptr;
    FModel->Reset(document ? ListedArticles(document->Root()) : QList<IQBArticlePtr>());
    alIndexUpdate();
}

void TFIndexPane::SetMarkerFilter(quint16 index)
{
    if (index == FMarkerFilter)
        return;
    FMarkerFilter = index;
    RebuildIndex();
}

void TFIndexPane::ApplySettings(int flags)
{
    if (!(flags & scColors))
        return;
    const IQBSettingsServicePtr settings = SettingsService();
    if (!settings)
        return;
    ApplyListColor(lvIndex, settings->GetIndexColor());
}

// ---- opening and the history

void TFIndexPane::OpenSelectedItem()
{
    const IQBArticlePtr article = SelectedArticle();
    if (!article)
        return;
    if (const IQBEditorServicePtr editor = EditorService())
        editor->NavigateTo(article);
    AddToHistory(FModel->CaptionAt(lvIndex->currentIndex().row()));
}

void TFIndexPane::AddToHistory(const QString &text)
{
    if (text.isEmpty() || !FHistory)
        return;
    FUpdatingLookup = true;
    {
        const QSignalBlocker blocker(cbIndex);
        cbIndex->clear();
        FHistory->Add(text);
        for (int i = 0; i < FHistory->GetCount(); ++i)
            cbIndex->addItem(FHistory->GetItem(i));
        cbIndex->setEditText(text);
    }
    FUpdatingLookup = false;
}

void TFIndexPane::cbIndexChange(const QString &text)
{
    if (FUpdatingLookup || FModel->rowCount() == 0)
        return;
    SelectRow(FModel->LookupRow(text));
}

// ---- commands

void TFIndexPane::aChangeMarkerExecute()
{
    const IQBArticlePtr article = SelectedArticle();
    if (!article)
        return;
    TFMarkerDlg dialog(Markers(), this);
    dialog.Execute(article);
}

void TFIndexPane::alIndexUpdate()
{
    aChangeMarker->setEnabled(bool(SelectedArticle()));
}

void TFIndexPane::cbeMarkersChange(int row)
{
    SetMarkerFilter(row <= 0 ? NoFilter : quint16(row - 1));
}

void TFIndexPane::NVKLocalizerAfterUpdate()
{
    FillMarkerCombo();
    const QSignalBlocker blocker(cbeMarkers);
    cbeMarkers->setCurrentIndex(FMarkerFilter == NoFilter ? 0 : int(FMarkerFilter) + 1);
}

// ---- settings and data events

void TFIndexPane::qbaSettingsSettingsChanged(int categories)
{
    ApplySettings(categories);
}

void TFIndexPane::qbaDataAfterCreateOrOpen()
{
    RebuildIndex();
}

void TFIndexPane::qbaDataCaptionChanged(const IQBArticlePtr &article)
{
    FModel->UpdateCaption(article);
}

void TFIndexPane::qbaDataMarkerChanged(const IQBArticlePtr &article)
{
    if (!article)
        return;
    if (FModel->Contains(article.get())) {
        if (FMarkerFilter != NoFilter && article->Mark() != FMarkerFilter)
            FModel->Remove({article});
        else
            FModel->UpdateMarker(article);
    } else if (article->Mark() == FMarkerFilter) {
        FModel->Insert({article});
    }
    alIndexUpdate();
}

void TFIndexPane::qbaDataArticleAdded(const IQBArticlePtr &article, const IQBArticlePtr &)
{
    AddArticleItems(article);
    alIndexUpdate();
}

void TFIndexPane::qbaDataArticleDeleted(const IQBArticlePtr &article, const IQBArticlePtr &)
{
    RemoveArticleItems(article);
    alIndexUpdate();
}
