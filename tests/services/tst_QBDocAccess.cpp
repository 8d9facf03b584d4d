// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "services/QBDocAccess.h"
#include "support/TestServices.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class TNotArgs final : public INVKUnknown
{
};

} // namespace

class TestQBDocAccess : public QObject
{
    Q_OBJECT

    QStringList FReported;

private Q_SLOTS:
    void init()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        FReported.clear();
        NVKSetErrorReporter([this](const QString &m) { FReported.append(m); });
    }
    void cleanup() { NVKSetErrorReporter(nullptr); }

    void articleArguments_areOnlyInspectedForSomeoneListening()
    {
        // Stands in for the data service: publishes whatever the test hands it.
        TTestProvider provider(nullptr, QStringLiteral("Quillbox:Data"));
        provider.SetActive(true);
        TQBDataAccess access;
        QSignalSpy header(&access, &TQBDataAccess::headerChanged);
        provider.TestService()->Publish(QB_DATA_HEADER_CHANGED, nullptr);
        QCOMPARE(header.count(), 0); // inactive: nothing

        access.SetActive(true);
        provider.TestService()->Publish(QB_DATA_HEADER_CHANGED, nullptr);
        QCOMPARE(header.count(), 1);

        // Codes 7 to 9 with a wrong argument: harmless without a handler...
        provider.TestService()->Publish(QB_DATA_CAPTION_CHANGED, std::make_shared<TNotArgs>());
        QVERIFY(FReported.isEmpty());
        // ...an error box with one.
        QSignalSpy caption(&access, &TQBDataAccess::captionChanged);
        provider.TestService()->Publish(QB_DATA_CAPTION_CHANGED, std::make_shared<TNotArgs>());
        QCOMPARE(FReported, QStringList{QStringLiteral("Invalid class typecast")});
        QCOMPARE(caption.count(), 0);

        // Structure codes always unpack their arguments.
        provider.TestService()->Publish(QB_DATA_ARTICLE_MOVED, std::make_shared<TNotArgs>());
        QCOMPARE(FReported.size(), 2);
        provider.TestService()->Publish(99, nullptr);
        QCOMPARE(FReported.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestQBDocAccess)
#include "tst_QBDocAccess.moc"
