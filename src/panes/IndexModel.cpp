// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "IndexModel.h"

#include "platform/QBImages.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <functional>

namespace {

// More rows than this change at once are cheaper sorted anew than moved into place one by one.
constexpr qsizetype BulkLimit = 64;

} // namespace

TQBIndexModel::TQBIndexModel(QObject *parent) : QAbstractListModel(parent)
{
    // The C locale compares code points, which would put "Äpfel" after "Zebra"; a session
    // without a locale gets the common word order instead.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    FCollator.setLocale(locale);
    FLookupCollator.setLocale(locale);
    FCollator.setCaseSensitivity(Qt::CaseSensitive);
    FLookupCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TQBIndexModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(FEntries.size());
}

QVariant TQBIndexModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const TEntry &entry = FEntries[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return entry.Caption;
    case Qt::DecorationRole:
        return QBMarkerImage(entry.Mark);
    case MarkerRole:
        return entry.Mark;
    default:
        return {};
    }
}

TQBIndexModel::TEntry TQBIndexModel::MakeEntry(const IQBArticlePtr &article) const
{
    const QString caption = article->Caption();
    return TEntry{article.get(), article, caption, FCollator.sortKey(caption), int(article->Mark())};
}

bool TQBIndexModel::Less(const TEntry &a, const TEntry &b)
{
    const int order = a.Key.compare(b.Key);
    return order != 0 ? order < 0 : std::less<const IQBArticle *>()(a.Id, b.Id);
}

std::vector<TQBIndexModel::TEntry>::const_iterator TQBIndexModel::Place(const QCollatorSortKey &key,
                                                                        const IQBArticle *id) const
{
    return std::lower_bound(FEntries.cbegin(), FEntries.cend(), 0, [&key, id](const TEntry &entry, int) {
        const int order = entry.Key.compare(key);
        return order != 0 ? order < 0 : std::less<const IQBArticle *>()(entry.Id, id);
    });
}

void TQBIndexModel::Reset(const QList<IQBArticlePtr> &articles)
{
    beginResetModel();
    FEntries.clear();
    FKeys.clear();
    FEntries.reserve(size_t(articles.size()));
    FKeys.reserve(articles.size());
    AppendAndSort(articles);
    endResetModel();
}

void TQBIndexModel::AppendAndSort(const QList<IQBArticlePtr> &articles)
{
    for (const IQBArticlePtr &article : articles) {
        if (!article || FKeys.contains(article.get()))
            continue;
        FEntries.push_back(MakeEntry(article));
        FKeys.insert(article.get(), FEntries.back().Key);
    }
    std::sort(FEntries.begin(), FEntries.end(), &TQBIndexModel::Less);
}

void TQBIndexModel::Insert(const QList<IQBArticlePtr> &articles)
{
    if (articles.size() > BulkLimit) {
        beginResetModel();
        AppendAndSort(articles);
        endResetModel();
        return;
    }
    for (const IQBArticlePtr &article : articles) {
        if (!article || FKeys.contains(article.get()))
            continue;
        TEntry entry = MakeEntry(article);
        const int row = int(Place(entry.Key, entry.Id) - FEntries.cbegin());
        beginInsertRows(QModelIndex(), row, row);
        FKeys.insert(entry.Id, entry.Key);
        FEntries.insert(FEntries.begin() + row, std::move(entry));
        endInsertRows();
    }
}

void TQBIndexModel::Remove(const QList<IQBArticlePtr> &articles)
{
    if (articles.size() > BulkLimit) {
        QSet<const IQBArticle *> gone;
        for (const IQBArticlePtr &article : articles) {
            if (article && FKeys.remove(article.get()))
                gone.insert(article.get());
        }
        if (gone.isEmpty())
            return;
        beginResetModel();
        FEntries.erase(std::remove_if(FEntries.begin(), FEntries.end(),
                                      [&gone](const TEntry &entry) { return gone.contains(entry.Id); }),
                       FEntries.end());
        endResetModel();
        return;
    }
    for (const IQBArticlePtr &article : articles) {
        const int row = article ? RowOf(article.get()) : -1;
        if (row < 0)
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        FKeys.remove(article.get());
        FEntries.erase(FEntries.begin() + row);
        endRemoveRows();
    }
}

bool TQBIndexModel::UpdateCaption(const IQBArticlePtr &article)
{
    const int from = article ? RowOf(article.get()) : -1;
    if (from < 0)
        return false;
    TEntry entry = MakeEntry(article);
    FKeys.insert(entry.Id, entry.Key);
    // Where the row goes among the others, then in the coordinates before the move.
    TEntry old = std::move(FEntries[size_t(from)]);
    FEntries.erase(FEntries.begin() + from);
    const int to = int(Place(entry.Key, entry.Id) - FEntries.cbegin());
    const int destination = to <= from ? to : to + 1;
    if (destination == from || destination == from + 1) {
        FEntries.insert(FEntries.begin() + from, std::move(entry));
        const QModelIndex changed = index(from);
        Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
        return true;
    }
    // The move is announced with the list as it was before.
    FEntries.insert(FEntries.begin() + from, std::move(old));
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), destination);
    FEntries.erase(FEntries.begin() + from);
    FEntries.insert(FEntries.begin() + to, std::move(entry));
    endMoveRows();
    const QModelIndex changed = index(to);
    Q_EMIT dataChanged(changed, changed, {Qt::DisplayRole, Qt::ToolTipRole});
    return true;
}

bool TQBIndexModel::UpdateMarker(const IQBArticlePtr &article)
{
    const int row = article ? RowOf(article.get()) : -1;
    if (row < 0)
        return false;
    FEntries[size_t(row)].Mark = int(article->Mark());
    const QModelIndex changed = index(row);
    Q_EMIT dataChanged(changed, changed, {Qt::DecorationRole, MarkerRole});
    return true;
}

int TQBIndexModel::RowOf(const IQBArticle *article) const
{
    const auto key = FKeys.constFind(article);
    if (key == FKeys.constEnd())
        return -1;
    const auto place = Place(*key, article);
    return place != FEntries.cend() && place->Id == article ? int(place - FEntries.cbegin()) : -1;
}

IQBArticlePtr TQBIndexModel::ArticleAt(int row) const
{
    return row >= 0 && size_t(row) < FEntries.size() ? FEntries[size_t(row)].Article.lock() : nullptr;
}

QString TQBIndexModel::CaptionAt(int row) const
{
    return row >= 0 && size_t(row) < FEntries.size() ? FEntries[size_t(row)].Caption : QString();
}

int TQBIndexModel::LookupRow(const QString &text) const
{
    if (FEntries.empty())
        return -1;
    const qsizetype length = text.size();
    // The captions are sorted, so the first one that text does not pass is found by halving.
    const auto found = std::partition_point(FEntries.cbegin(), FEntries.cend(), [this, &text, length](const TEntry &e) {
        return FLookupCollator.compare(QStringView(text), QStringView(e.Caption).left(length)) > 0;
    });
    return found == FEntries.cend() ? int(FEntries.size()) - 1 : int(found - FEntries.cbegin());
}
