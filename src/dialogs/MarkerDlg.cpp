// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "MarkerDlg.h"

#include "platform/DialogParts.h"
#include "platform/NVKLocalizer.h"

#include "document/QBMarkers.h"
#include "platform/QBHelp.h"
#include "platform/QBImages.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

TFMarkerDlg::TFMarkerDlg(const TQBMarkerDictionary &markers, QWidget *owner) : QDialog(owner), FMarkers(markers)
{
    setObjectName(QStringLiteral("FMarkerDlg"));
    QBSetHelpContext(this, HelpContext);
    setWindowTitle(QStringLiteral("Mark article"));

    auto *lblPrompt = new QLabel(QStringLiteral("Select а new marker for this article:"), this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    auto *separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    lvMarkers = new QListWidget(this);
    lvMarkers->setObjectName(QStringLiteral("lvMarkers"));
    lvMarkers->setViewMode(QListView::ListMode);
    lvMarkers->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMarkers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMarkers->setMinimumSize(260, 220);
    cbChildren = new QCheckBox(QStringLiteral("&Apply to all children"), this);
    cbChildren->setObjectName(QStringLiteral("cbChildren"));
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnHelp = new QPushButton(QStringLiteral("Help"), this);
    btnHelp->setObjectName(QStringLiteral("btnHelp"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addWidget(btnHelp);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrompt);
    layout->addWidget(separator);
    layout->addWidget(lvMarkers, 1);
    layout->addWidget(cbChildren);
    layout->addLayout(buttons);

    connect(lvMarkers, &QListWidget::itemSelectionChanged, this, &TFMarkerDlg::lvMarkersSelectItem);
    connect(lvMarkers, &QListWidget::itemDoubleClicked, this, &TFMarkerDlg::btnOKClick);
    connect(btnOK, &QPushButton::clicked, this, &TFMarkerDlg::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnHelp, &QPushButton::clicked, this, &TFMarkerDlg::btnHelpClick);
    xlMarker = QBNewLocalizer(this, "xlMarker");
    xlMarker->Loaded();
    lvMarkersSelectItem();
}

void TFMarkerDlg::Prepare(const IQBArticlePtr &article)
{
    FArticle = article;
    lvMarkers->clear();
    const TQBMarkers &markers = FMarkers.Markers();
    for (int i = 0; i < markers.Count(); ++i) {
        auto *item = new QListWidgetItem(QBMarkerImage(markers.Items(i).ImageIndex()), markers.Items(i).DisplayName(),
                                         lvMarkers);
        item->setData(Qt::UserRole, markers.Items(i).ImageIndex());
    }
    if (article && article->Mark() < lvMarkers->count()) {
        lvMarkers->setCurrentRow(article->Mark());
        lvMarkers->setFocus();
    }
    lvMarkersSelectItem();
}

bool TFMarkerDlg::Execute(const IQBArticlePtr &article)
{
    if (!article)
        return false;
    Prepare(article);
    return exec() == QDialog::Accepted;
}

void TFMarkerDlg::lvMarkersSelectItem()
{
    btnOK->setEnabled(!lvMarkers->selectedItems().isEmpty());
}

void TFMarkerDlg::btnOKClick()
{
    const QList<QListWidgetItem *> selected = lvMarkers->selectedItems();
    if (selected.isEmpty() || !FArticle)
        return;
    ApplyMarker(FArticle, selected.first()->data(Qt::UserRole).toInt(), cbChildren->isChecked());
    accept();
}

void TFMarkerDlg::ApplyMarker(const IQBArticlePtr &article, int marker, bool children)
{
    // A whole branch is one step of Edit > Undo.
    const IQBDocumentPtr document = article->Document();
    std::optional<TQBUndoScope> step;
    if (document)
        step.emplace(*document, ukMarker, article);
    article->SetMark(quint8(marker));
    if (!children)
        return;
    // In document order, without recursion: subtrees can be deep.
    QList<IQBArticlePtr> pending;
    const auto pushChildren = [&pending](const IQBArticlePtr &parent) {
        const IQBArticleListPtr items = parent->Items();
        for (int i = items->Count() - 1; i >= 0; --i)
            pending.append(items->Get(i));
    };
    pushChildren(article);
    while (!pending.isEmpty()) {
        const IQBArticlePtr next = pending.takeLast();
        next->SetMark(quint8(marker));
        pushChildren(next);
    }
}

void TFMarkerDlg::btnHelpClick()
{
    QBShowHelpContext(HelpContext, this);
}
