// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class TQBMarkers;
class TQBMarkerDictionary;

// One marker: the caption and picture for one marker index.
class TQBMarker
{
public:
    explicit TQBMarker(TQBMarkers *collection = nullptr) : FCollection(collection) {}
    TQBMarker(const TQBMarker &) = delete;
    TQBMarker &operator=(const TQBMarker &) = delete;

    QString Name() const { return FName; }
    // Writing an unchanged value does nothing; a change is reported to the owning dictionary.
    void SetName(const QString &value);
    // Index of the picture in the marker image list; -1 for none.
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    // Copies Name and ImageIndex.
    void Assign(const TQBMarker &source);
    // What a list of markers shows for this one: Name, or the class name when Name is empty.
    QString DisplayName() const;
    TQBMarkers *Collection() const { return FCollection; }

private:
    friend class TQBMarkers;
    void Changed();

    TQBMarkers *FCollection;
    QString FName = QStringLiteral("NewMarker");
    int FImageIndex = -1;
};

// The markers in order: item i is the marker for marker index i.
class TQBMarkers
{
public:
    explicit TQBMarkers(TQBMarkerDictionary *owner = nullptr) : FOwner(owner) {}
    TQBMarkers(const TQBMarkers &) = delete;
    TQBMarkers &operator=(const TQBMarkers &) = delete;

    TQBMarkerDictionary *Owner() const { return FOwner; }
    int Count() const { return int(FItems.size()); }
    // Raises EListError "List index out of bounds: %d." outside 0..Count-1.
    TQBMarker &Items(int index);
    const TQBMarker &Items(int index) const;
    // The marker a marker index names; none for an index at or past Count (a loaded file may
    // carry any index from 0 to 255).
    const TQBMarker *Find(int markIndex) const;
    // Appends a marker named "NewMarker" without a picture.
    TQBMarker &Add();
    TQBMarker &Add(const QString &name, int imageIndex);
    void Delete(int index);
    void Clear();
    // Replaces the items by copies of source's.
    void Assign(const TQBMarkers &source);

private:
    friend class TQBMarker;
    void Changed();

    TQBMarkerDictionary *FOwner;
    std::vector<std::unique_ptr<TQBMarker>> FItems;
};

// The table of markers shared by every document.
class TQBMarkerDictionary : public QObject
{
    Q_OBJECT

public:
    explicit TQBMarkerDictionary(QObject *owner = nullptr);

    const TQBMarkers &Markers() const { return FMarkers; }
    TQBMarkers &Markers() { return FMarkers; }
    // Copies value's items into the dictionary's own collection; value stays the caller's.
    void SetMarkers(const TQBMarkers &value);
    // Fills the dictionary with the program's 17 markers, "None" (0) to "Question" (16).
    void LoadDefaultMarkers();

Q_SIGNALS:
    void markersChanged();

private:
    friend class TQBMarkers;

    TQBMarkers FMarkers;
};
