// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "framework/NVKInit.h"
#include "services/QBDocAccess.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// Stands in for the data service: publishes whatever a test hands it.
class TFakeDataService final : public TNVKServiceBase, public INVKEventPublisher
{
public:
    explicit TFakeDataService(TNVKCustomServiceProvider *provider) : TNVKServiceBase(provider), FPublisher(this) {}
    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }
    void Publish(int code, const INVKUnknownPtr &param) { FPublisher.Publish(code, param); }

private:
    TNVKEventPublisher FPublisher;
};

class TFakeDataProvider : public TNVKCustomServiceProvider
{
public:
    TFakeDataProvider() : TNVKCustomServiceProvider(nullptr, QStringLiteral("Quillbox:Data")) {}
    std::shared_ptr<TFakeDataService> Fake() const { return std::dynamic_pointer_cast<TFakeDataService>(Service()); }

protected:
    INVKServicePtr CreateService() override { return std::make_shared<TFakeDataService>(this); }
};

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
        TFakeDataProvider provider;
        provider.SetActive(true);
        TQBDataAccess access;
        QSignalSpy header(&access, &TQBDataAccess::headerChanged);
        provider.Fake()->Publish(QB_DATA_HEADER_CHANGED, nullptr);
        QCOMPARE(header.count(), 0); // inactive: nothing

        access.SetActive(true);
        provider.Fake()->Publish(QB_DATA_HEADER_CHANGED, nullptr);
        QCOMPARE(header.count(), 1);

        // Codes 7 to 9 with a wrong argument: harmless without a handler...
        provider.Fake()->Publish(QB_DATA_CAPTION_CHANGED, std::make_shared<TNotArgs>());
        QVERIFY(FReported.isEmpty());
        // ...an error box with one.
        QSignalSpy caption(&access, &TQBDataAccess::captionChanged);
        provider.Fake()->Publish(QB_DATA_CAPTION_CHANGED, std::make_shared<TNotArgs>());
        QCOMPARE(FReported, QStringList{QStringLiteral("Invalid class typecast")});
        QCOMPARE(caption.count(), 0);

        // Structure codes always unpack their arguments.
        provider.Fake()->Publish(QB_DATA_ARTICLE_MOVED, std::make_shared<TNotArgs>());
        QCOMPARE(FReported.size(), 2);
        provider.Fake()->Publish(99, nullptr);
        QCOMPARE(FReported.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestQBDocAccess)
#include "tst_QBDocAccess.moc"
