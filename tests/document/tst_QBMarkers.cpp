// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBDataIntf.h"
#include "document/QBMarkers.h"

#include <QSignalSpy>
#include <QTest>

class TestQBMarkers : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultMarkers_areTheSeventeenInOrder()
    {
        TQBMarkerDictionary dictionary;
        QCOMPARE(dictionary.Markers().Count(), 0);
        dictionary.LoadDefaultMarkers();
        const QStringList names{"None",   "Favourite", "Note",        "Diary",       "Contact", "Idea",
                                "To-Do",  "Reminder",  "Key",         "Message",     "Flag",    "Done",
                                "Cancel", "Stop",      "Exclamation", "Information", "Question"};
        QCOMPARE(dictionary.Markers().Count(), 17);
        for (int i = 0; i < names.size(); ++i) {
            QCOMPARE(dictionary.Markers().Items(i).Name(), names.at(i));
            QCOMPARE(dictionary.Markers().Items(i).ImageIndex(), i);
            QCOMPARE(dictionary.Markers().Find(i), &dictionary.Markers().Items(i));
        }
    }

    void markIndexPastTheTable_namesNoMarker()
    {
        TQBMarkerDictionary dictionary;
        dictionary.LoadDefaultMarkers();
        QVERIFY(!dictionary.Markers().Find(17));
        QVERIFY(!dictionary.Markers().Find(255));
        QVERIFY(!dictionary.Markers().Find(-1));
        try {
            dictionary.Markers().Items(17);
            QFAIL("no error");
        } catch (const EListError &e) {
            QCOMPARE(e.Message(), QStringLiteral("List index out of bounds: 17."));
        }
    }

    void markerAddedWithoutName_showsNewMarkerAndNoPicture()
    {
        TQBMarkerDictionary dictionary;
        dictionary.LoadDefaultMarkers();
        TQBMarker &added = dictionary.Markers().Add();
        QCOMPARE(added.Name(), QStringLiteral("NewMarker"));
        QCOMPARE(added.ImageIndex(), -1);
        QCOMPARE(added.DisplayName(), QStringLiteral("NewMarker"));
        added.SetName(QString());
        QCOMPARE(added.DisplayName(), QStringLiteral("TQBMarker"));
        QCOMPARE(dictionary.Markers().Find(17), &added);
        QCOMPARE(added.Collection(), &dictionary.Markers());
        QCOMPARE(dictionary.Markers().Owner(), &dictionary);
    }

    void writingUnchangedValues_reportsNothing()
    {
        TQBMarkerDictionary dictionary;
        dictionary.LoadDefaultMarkers();
        QSignalSpy spy(&dictionary, &TQBMarkerDictionary::markersChanged);
        TQBMarker &note = dictionary.Markers().Items(2);
        note.SetName(QStringLiteral("Note"));
        note.SetImageIndex(2);
        note.Assign(dictionary.Markers().Items(2));
        QCOMPARE(spy.count(), 0);
        note.SetName(QStringLiteral("Memo"));
        note.SetImageIndex(9);
        QCOMPARE(spy.count(), 2);
        note.Assign(dictionary.Markers().Items(3));
        QCOMPARE(note.Name(), QStringLiteral("Diary"));
        QCOMPARE(note.ImageIndex(), 3);
        QCOMPARE(spy.count(), 3);
    }

    void settingMarkers_copiesItemsAndNeverTakesTheCollectionOver()
    {
        TQBMarkerDictionary source;
        source.LoadDefaultMarkers();
        TQBMarkerDictionary dictionary;
        QSignalSpy spy(&dictionary, &TQBMarkerDictionary::markersChanged);
        dictionary.SetMarkers(source.Markers());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(dictionary.Markers().Count(), 17);
        source.Markers().Items(1).SetName(QStringLiteral("Changed"));
        source.Markers().Delete(16);
        QCOMPARE(dictionary.Markers().Items(1).Name(), QStringLiteral("Favourite"));
        QCOMPARE(dictionary.Markers().Count(), 17);
        QCOMPARE(dictionary.Markers().Items(1).Collection(), &dictionary.Markers());
        dictionary.Markers().Clear();
        QCOMPARE(dictionary.Markers().Count(), 0);
        QCOMPARE(source.Markers().Count(), 16);
    }
};

QTEST_GUILESS_MAIN(TestQBMarkers)
#include "tst_QBMarkers.moc"
