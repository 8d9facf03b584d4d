// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "base/NVKDateTime.h"

#include <QTest>

class TestNVKDateTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void conversions_matchTheStoredDayNumbers()
    {
        QCOMPARE(EncodeDateTime(1899, 12, 30), 0.0);
        QCOMPARE(EncodeDateTime(1900, 1, 1, 12), 2.5);
        QCOMPARE(EncodeDateTime(1899, 12, 29, 6), -1.25);
        QCOMPARE(DateTimeToQDateTime(-1.25), QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
        QCOMPARE(DateTimeToQDateTime(36526.0), QDateTime(QDate(2000, 1, 1), QTime(0, 0)));

        // Whole seconds survive a round trip over the centuries.
        for (const QDateTime &value :
             {QDateTime(QDate(2026, 12, 6), QTime(23, 59, 59)), QDateTime(QDate(1601, 3, 1), QTime(0, 0, 1)),
              QDateTime(QDate(9999, 12, 31), QTime(12, 30, 45))})
            QCOMPARE(DateTimeToQDateTime(DateTimeFromQDateTime(value)), value);

        QVERIFY(!DateTimeToQDateTime(1e300).isValid());
        QVERIFY(!DateTimeToQDateTime(std::nan("")).isValid());
    }

    void now_followsTheClockATestSets()
    {
        NVKSetClock([] { return QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)); });
        QCOMPARE(DateTimeToQDateTime(Now()), QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)));
        NVKSetClock(nullptr);
        QVERIFY(qAbs(DateTimeToQDateTime(Now()).secsTo(QDateTime::currentDateTime())) < 5);
    }
};

QTEST_GUILESS_MAIN(TestNVKDateTime)
#include "tst_NVKDateTime.moc"
