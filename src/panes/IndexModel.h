// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "document/QBDataIntf.h"

#include <QAbstractListModel>
#include <QCollator>
#include <QHash>

#include <vector>

// The index's rows: articles sorted by caption with the user's locale collation, case only
// deciding between otherwise equal captions, lower case first. Each row holds a weak reference,
// so the list never keeps a deleted article alive. Single changes move or insert one row at its
// sorted place; only bulk changes sort again.
class TQBIndexModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    // Data role of a row's marker index.
    static constexpr int MarkerRole = Qt::UserRole + 0x61;

    explicit TQBIndexModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // Replaces all rows by the given articles.
    void Reset(const QList<IQBArticlePtr> &articles);
    // Adds articles not listed yet, each at its sorted place.
    void Insert(const QList<IQBArticlePtr> &articles);
    // Removes the rows of the given articles that are listed.
    void Remove(const QList<IQBArticlePtr> &articles);
    // The article's row follows its new caption; false when it is not listed.
    bool UpdateCaption(const IQBArticlePtr &article);
    // The article's row shows its new marker; false when it is not listed.
    bool UpdateMarker(const IQBArticlePtr &article);

    bool Contains(const IQBArticle *article) const { return FKeys.contains(article); }
    // -1 when the article is not listed.
    int RowOf(const IQBArticle *article) const;
    // None for a row out of range or a vanished article.
    IQBArticlePtr ArticleAt(int row) const;
    QString CaptionAt(int row) const;
    // The first row whose caption, cut to the text's length, is not less than text regardless of
    // case; the last row when text is greater than every caption; -1 for an empty list.
    int LookupRow(const QString &text) const;

private:
    struct TEntry
    {
        const IQBArticle *Id;
        std::weak_ptr<IQBArticle> Article;
        QString Caption;
        QCollatorSortKey Key;
        int Mark;
    };

    TEntry MakeEntry(const IQBArticlePtr &article) const;
    // Adds the articles not listed yet, then sorts the whole list.
    void AppendAndSort(const QList<IQBArticlePtr> &articles);
    // The row an entry with this key and identity has, or would take, in the sorted list.
    std::vector<TEntry>::const_iterator Place(const QCollatorSortKey &key, const IQBArticle *id) const;
    static bool Less(const TEntry &a, const TEntry &b);

    QCollator FCollator;
    QCollator FLookupCollator;
    std::vector<TEntry> FEntries;
    // The key each listed article was sorted by: finds its row even after its caption changed.
    QHash<const IQBArticle *, QCollatorSortKey> FKeys;
};
