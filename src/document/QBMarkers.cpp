// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBMarkers.h"

#include "QBDataIntf.h"

void TQBMarker::SetName(const QString &value)
{
    if (value == FName)
        return;
    FName = value;
    Changed();
}

void TQBMarker::SetImageIndex(int value)
{
    if (value == FImageIndex)
        return;
    FImageIndex = value;
    Changed();
}

void TQBMarker::Assign(const TQBMarker &source)
{
    if (&source == this || (source.FName == FName && source.FImageIndex == FImageIndex))
        return;
    FName = source.FName;
    FImageIndex = source.FImageIndex;
    Changed();
}

QString TQBMarker::DisplayName() const
{
    return FName.isEmpty() ? QStringLiteral("TQBMarker") : FName;
}

void TQBMarker::Changed()
{
    if (FCollection)
        FCollection->Changed();
}

TQBMarker &TQBMarkers::Items(int index)
{
    return const_cast<TQBMarker &>(std::as_const(*this).Items(index));
}

const TQBMarker &TQBMarkers::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(NVKFormatS(QStringLiteral("List index out of bounds: %s."), {QString::number(index)}));
    return *FItems[size_t(index)];
}

const TQBMarker *TQBMarkers::Find(int markIndex) const
{
    if (markIndex < 0 || markIndex >= Count())
        return nullptr;
    return FItems[size_t(markIndex)].get();
}

TQBMarker &TQBMarkers::Add()
{
    FItems.push_back(std::make_unique<TQBMarker>(this));
    Changed();
    return *FItems.back();
}

TQBMarker &TQBMarkers::Add(const QString &name, int imageIndex)
{
    auto marker = std::make_unique<TQBMarker>(this);
    marker->FName = name;
    marker->FImageIndex = imageIndex;
    FItems.push_back(std::move(marker));
    Changed();
    return *FItems.back();
}

void TQBMarkers::Delete(int index)
{
    Items(index);
    FItems.erase(FItems.begin() + index);
    Changed();
}

void TQBMarkers::Clear()
{
    if (FItems.empty())
        return;
    FItems.clear();
    Changed();
}

void TQBMarkers::Assign(const TQBMarkers &source)
{
    if (&source == this)
        return;
    std::vector<std::unique_ptr<TQBMarker>> items;
    items.reserve(source.FItems.size());
    for (const auto &marker : source.FItems) {
        auto copy = std::make_unique<TQBMarker>(this);
        copy->FName = marker->FName;
        copy->FImageIndex = marker->FImageIndex;
        items.push_back(std::move(copy));
    }
    FItems = std::move(items);
    Changed();
}

void TQBMarkers::Changed()
{
    if (FOwner)
        Q_EMIT FOwner->markersChanged();
}

TQBMarkerDictionary::TQBMarkerDictionary(QObject *owner) : QObject(owner), FMarkers(this) {}

void TQBMarkerDictionary::SetMarkers(const TQBMarkers &value)
{
    FMarkers.Assign(value);
}

void TQBMarkerDictionary::LoadDefaultMarkers()
{
    static const char *const names[] = {
        "None",    "Favourite", "Note", "Diary",  "Contact", "Idea",        "To-Do",       "Reminder", "Key",
        "Message", "Flag",      "Done", "Cancel", "Stop",    "Exclamation", "Information", "Question",
    };
    TQBMarkers markers;
    int imageIndex = 0;
    for (const char *name : names)
        markers.Add(QString::fromLatin1(name), imageIndex++);
    FMarkers.Assign(markers);
}
