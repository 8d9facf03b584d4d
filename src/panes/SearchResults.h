// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "search/QBSearchCore.h"

#include <QAbstractListModel>
#include <QSet>
#include <vector>

// The rows of the search pane: one per match, in the order the search found them. A row shows
// the match's text; rows whose article has been deleted since are drawn greyed and say so.
class TQBSearchResultModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Adds rows at the end, in one insertion.
    void Append(std::vector<TQBSearchMatch> &&matches);
    void Clear();
    // The row's match; row must exist.
    const TQBSearchMatch &MatchAt(int row) const { return FMatches.at(size_t(row)); }
    // Marks the rows of these articles as deleted, or (gone false) as present again.
    void MarkGone(const QSet<qint32> &ids, bool gone = true);
    bool IsGone(int row) const { return FGone.contains(MatchAt(row).ArticleID); }
    // The text of a deleted article's row, in the current language.
    void SetGoneText(const QString &text) { FGoneText = text; }

private:
    std::vector<TQBSearchMatch> FMatches;
    QSet<qint32> FGone;
    QString FGoneText;
};
