// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "ToolForm.h"
#include "document/QBDataIntf.h"
#include "services/QBSettingsSvc.h"

#include <QList>

class QAction;
class QComboBox;
class QLabel;
class QListView;
class QMenu;
class TNVKLocalizer;
class TQBDataAccess;
class TQBIndexModel;
class TQBMarkerDictionary;
class TQBSettingsAccess;

// The index: every article of the document in one list sorted by caption, optionally only those
// with one marker. Typing a caption's beginning selects it; Enter or a double click shows the
// article in the editor and remembers its caption in the history list "Index".
class TFIndexPane : public TFToolForm
{
    Q_OBJECT

public:
    // The marker filter's value when every article is listed.
    static constexpr quint16 NoFilter = 0xFFFF;

    explicit TFIndexPane(QWidget *parent = nullptr);
    ~TFIndexPane() override;

    // None without a selected item.
    IQBArticlePtr SelectedArticle() const;
    // Shows the selected article in the editor and puts its caption into the history.
    void OpenSelectedItem();
    void aChangeMarkerExecute();
    void alIndexUpdate();
    quint16 MarkerFilter() const { return FMarkerFilter; }
    TQBIndexModel *Model() const { return FModel; }

    QWidget *pnlLookup = nullptr;
    QLabel *lblLookup = nullptr;
    QComboBox *cbIndex = nullptr;
    QLabel *lblMarked = nullptr;
    QComboBox *cbeMarkers = nullptr;
    QListView *lvIndex = nullptr;
    QMenu *pmIndex = nullptr;
    QAction *aChangeMarker = nullptr;
    QList<QAction *> alIndex;
    TQBSettingsAccess *qbaSettings = nullptr;
    TQBDataAccess *qbaData = nullptr;
    TNVKLocalizer *NVKLocalizer = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FillMarkerCombo();
    void RebuildIndex();
    QList<IQBArticlePtr> ListedArticles(const IQBArticlePtr &article) const;
    void AddArticleItems(const IQBArticlePtr &article);
    void RemoveArticleItems(const IQBArticlePtr &article);
    void AddToHistory(const QString &text);
    void SetMarkerFilter(quint16 index);
    void ApplySettings(int flags);
    void SelectRow(int row);

    void qbaSettingsSettingsChanged(int categories);
    void qbaDataAfterCreateOrOpen();
    void qbaDataCaptionChanged(const IQBArticlePtr &article);
    void qbaDataMarkerChanged(const IQBArticlePtr &article);
    void qbaDataArticleAdded(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void qbaDataArticleDeleted(const IQBArticlePtr &article, const IQBArticlePtr &parent);
    void cbIndexChange(const QString &text);
    void cbeMarkersChange(int row);
    void NVKLocalizerAfterUpdate();

    TQBIndexModel *FModel = nullptr;
    bool FUpdatingLookup = false;
    quint16 FMarkerFilter = NoFilter;
    IQBHistoryListPtr FHistory;
    // The article selected before a bulk change, selected again after it.
    IQBArticlePtr FKeptSelection;
};
