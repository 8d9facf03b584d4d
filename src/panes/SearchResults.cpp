// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "SearchResults.h"

#include <QApplication>
#include <QPalette>

int TQBSearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FMatches.size());
}

QVariant TQBSearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TQBSearchMatch &match = MatchAt(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return match.Text();
    case Qt::ToolTipRole:
        return IsGone(index.row()) ? QVariant(FGoneText) : QVariant();
    case Qt::ForegroundRole:
        if (IsGone(index.row()))
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

void TQBSearchResultModel::Append(std::vector<TQBSearchMatch> &&matches)
{
    if (matches.empty())
        return;
    const int first = rowCount();
    beginInsertRows(QModelIndex(), first, first + int(matches.size()) - 1);
    if (FMatches.empty())
        FMatches = std::move(matches);
    else
        FMatches.insert(FMatches.end(), std::make_move_iterator(matches.begin()),
                        std::make_move_iterator(matches.end()));
    endInsertRows();
}

void TQBSearchResultModel::Clear()
{
    beginResetModel();
    FMatches.clear();
    FMatches.shrink_to_fit();
    FGone.clear();
    endResetModel();
}

void TQBSearchResultModel::MarkGone(const QSet<qint32> &ids, bool gone)
{
    if (ids.isEmpty() || FMatches.empty())
        return;
    if (gone)
        FGone.unite(ids);
    else
        FGone.subtract(ids);
    // Rows of one article are adjacent; report each run of them once.
    int first = -1;
    for (int row = 0; row <= rowCount(); ++row) {
        const bool hit = row < rowCount() && ids.contains(MatchAt(row).ArticleID);
        if (hit && first < 0)
            first = row;
        if (!hit && first >= 0) {
            Q_EMIT dataChanged(index(first), index(row - 1), {Qt::ForegroundRole, Qt::ToolTipRole});
            first = -1;
        }
    }
}
