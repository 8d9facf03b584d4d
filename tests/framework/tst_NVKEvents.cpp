// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/TestServices.h"

#include <QSignalSpy>
#include <QTest>

namespace {

class TParam final : public INVKUnknown
{
public:
    explicit TParam(int value) : FValue(value) {}
    int FValue;
};

// An access component that records what its service publishes.
class TTestAccess : public TNVKCustomServiceAccess
{
public:
    explicit TTestAccess(const QString &serviceName) : TNVKCustomServiceAccess(nullptr, serviceName) {}
    QList<int> FCodes;

protected:
    void ServiceNotify(int code, const INVKUnknownPtr &param) override
    {
        FCodes.append(code);
        TNVKCustomServiceAccess::ServiceNotify(code, param);
    }
};

// A service that answers to its name but publishes nothing.
class TSilentService : public TNVKServiceBase
{
public:
    using TNVKServiceBase::TNVKServiceBase;
};

class TSilentProvider : public TNVKCustomServiceProvider
{
public:
    explicit TSilentProvider(const QString &name) : TNVKCustomServiceProvider(nullptr, name) {}

protected:
    INVKServicePtr CreateService() override { return std::make_shared<TSilentService>(this); }
};

} // namespace

class TestNVKEvents : public QObject
{
    Q_OBJECT

    QStringList FReported;

private Q_SLOTS:
    void init()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
        FReported.clear();
        NVKSetErrorReporter([this](const QString &message) { FReported.append(message); });
    }

    void cleanup() { NVKSetErrorReporter(nullptr); }

    void publish_deliversInOrder_nestedAtOnce_andHoldsTheParameter()
    {
        int sender = 0;
        TNVKEventPublisher publisher(nullptr);
        publisher.Publish(1, nullptr); // nobody listens: nothing happens

        QStringList log;
        std::weak_ptr<INVKUnknown> seen;
        auto first = std::make_shared<TNVKEventListener>([&](int code, const INVKUnknownPtr &param) {
            log.append(QStringLiteral("first %1").arg(code));
            if (code == 1) {
                seen = param;
                publisher.Publish(2, std::make_shared<TParam>(2));
            }
        });
        auto second = std::make_shared<TNVKEventListener>([&](int code, const INVKUnknownPtr &param) {
            log.append(QStringLiteral("second %1 %2").arg(code).arg(std::dynamic_pointer_cast<TParam>(param)->FValue));
        });
        publisher.Subscribe(first);
        publisher.Subscribe(second);
        publisher.Publish(1, std::make_shared<TParam>(7));
        QCOMPARE(log, (QStringList{QStringLiteral("first 1"), QStringLiteral("first 2"), QStringLiteral("second 2 2"),
                                   QStringLiteral("second 1 7")}));
        QVERIFY(seen.expired());
        Q_UNUSED(sender);
    }

    void subscribe_refusesDuplicatesAndEmpty_unsubscribeIgnoresStrangers()
    {
        TNVKEventPublisher publisher(nullptr);
        auto listener = std::make_shared<TNVKEventListener>([](int, const INVKUnknownPtr &) {});
        publisher.Subscribe(listener);
        try {
            publisher.Subscribe(listener);
            QFAIL("a second subscription must raise");
        } catch (const ENVKServiceError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Notifier is already registered."));
        }
        try {
            publisher.Subscribe(nullptr);
            QFAIL("an empty notifier must fail the assertion");
        } catch (const EAssertionFailed &e) {
            QCOMPARE(e.Message(), QStringLiteral("NULL interface reference detected."));
            QCOMPARE(e.Unit(), QStringLiteral("NVKClasses"));
        }
        publisher.Unsubscribe(std::make_shared<TNVKEventListener>(nullptr));
        QCOMPARE(publisher.Count(), 1);
        publisher.Unsubscribe(listener);
        QCOMPARE(publisher.Count(), 0);
    }

    void raisingListener_isReportedOnce_andOthersStillHearTheEvent()
    {
        TNVKEventPublisher publisher(nullptr);
        int heard = 0;
        auto before = std::make_shared<TNVKEventListener>([&](int, const INVKUnknownPtr &) { ++heard; });
        auto raising = std::make_shared<TNVKEventListener>(
            [](int, const INVKUnknownPtr &) { throw ENVKServiceError(QStringLiteral("listener failed")); });
        auto foreign = std::make_shared<TNVKEventListener>(
            [](int, const INVKUnknownPtr &) { throw std::runtime_error("plain failure"); });
        auto after = std::make_shared<TNVKEventListener>([&](int, const INVKUnknownPtr &) { ++heard; });
        for (const auto &listener : {before, raising, foreign, after})
            publisher.Subscribe(listener);

        publisher.Publish(8, nullptr);
        QCOMPARE(heard, 2);
        QCOMPARE(FReported, (QStringList{QStringLiteral("listener failed"), QStringLiteral("plain failure")}));
    }

    void changesDuringDelivery_neitherSkipNorRepeatNorCallTheRemoved()
    {
        TNVKEventPublisher publisher(nullptr);
        QStringList log;
        std::shared_ptr<TNVKEventListener> a, b, c, d, added;
        auto listener = [&](const QString &name, std::function<void()> action = {}) {
            return std::make_shared<TNVKEventListener>([&log, name, action](int, const INVKUnknownPtr &) {
                log.append(name);
                if (action)
                    action();
            });
        };
        added = listener(QStringLiteral("added"));
        // a leaves on its own, b removes c (later) and a (earlier) and adds a newcomer.
        a = listener(QStringLiteral("a"), [&] { publisher.Unsubscribe(a); });
        b = listener(QStringLiteral("b"), [&] {
            publisher.Unsubscribe(c);
            publisher.Subscribe(added);
        });
        c = listener(QStringLiteral("c"));
        d = listener(QStringLiteral("d"));
        for (const auto &l : {a, b, c, d})
            publisher.Subscribe(l);

        publisher.Publish(0, nullptr);
        QCOMPARE(log, (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("d")}));

        log.clear();
        publisher.Unsubscribe(b);
        publisher.Publish(0, nullptr);
        QCOMPARE(log, (QStringList{QStringLiteral("d"), QStringLiteral("added")}));

        // A listener that drops every other one, itself included, ends the delivery cleanly.
        log.clear();
        auto sweeper = listener(QStringLiteral("sweeper"), [&] {
            for (const auto &l : {d, added})
                publisher.Unsubscribe(l);
        });
        TNVKEventPublisher second(nullptr);
        second.Subscribe(sweeper);
        publisher.Subscribe(sweeper);
        publisher.Publish(0, nullptr);
        QCOMPARE(log, (QStringList{QStringLiteral("d"), QStringLiteral("added"), QStringLiteral("sweeper")}));
        log.clear();
        publisher.Publish(0, nullptr);
        QCOMPARE(log, QStringList{QStringLiteral("sweeper")});
    }

    void accessComponent_bindsByName_andFollowsItsService()
    {
        TTestProvider provider(nullptr, QStringLiteral("Quillbox:Data"));

        // Nothing to bind to yet: inactive, silently.
        TTestAccess early(QStringLiteral("Quillbox:Data"));
        QSignalSpy earlyActivated(&early, &TNVKActiveComponent::activated);
        early.SetActive(true);
        QVERIFY(!early.Active());
        QCOMPARE(earlyActivated.count(), 0);

        provider.SetActive(true);
        TTestAccess access(QStringLiteral("Quillbox:Data"));
        QSignalSpy notified(&access, &TNVKCustomServiceAccess::serviceNotified);
        access.SetActive(true);
        QVERIFY(access.Active());
        QVERIFY(!early.Active()); // it does not bind on its own later

        auto service = provider.TestService();
        service->Publish(3, std::make_shared<TParam>(3));
        QCOMPARE(access.FCodes, QList<int>{3});
        QCOMPARE(notified.count(), 1);
        QCOMPARE(notified.first().at(0).toInt(), 3);

        // Renaming does not rebind an active component.
        access.SetServiceName(QStringLiteral("Elsewhere"));
        service->Publish(4);
        QCOMPARE(access.FCodes, (QList<int>{3, 4}));
        access.SetServiceName(QStringLiteral("Quillbox:Data"));

        access.SetActive(false);
        service->Publish(5);
        QCOMPARE(access.FCodes, (QList<int>{3, 4}));

        // When the service goes first, the component stays active; the service is released with its
        // listener list, and deactivating later finds nothing to unsubscribe from.
        access.SetActive(true);
        std::weak_ptr<TTestService> gone = service;
        service.reset();
        provider.SetActive(false);
        QVERIFY(gone.expired());
        QVERIFY(access.Active());
        access.SetActive(false);
        QVERIFY(!access.Active());
    }

    void accessComponent_destroyedWhileItsServiceLivesOn_isNeverCalled()
    {
        TTestProvider provider(nullptr, QStringLiteral("S"));
        provider.SetActive(true);
        auto service = provider.TestService();
        {
            TTestAccess access(QStringLiteral("S"));
            access.SetActive(true);
            provider.SetActive(false); // unregistered, but the test still holds the service
        }
        service->Publish(9); // the kept listener must not reach the destroyed component
        QVERIFY(FReported.isEmpty());
    }

    void accessComponent_toServiceWithoutEvents_staysInactive()
    {
        TSilentProvider provider(QStringLiteral("NVK:Localization"));
        provider.SetActive(true);
        QVERIFY(provider.Active());
        TTestAccess access(QStringLiteral("NVK:Localization"));
        access.SetActive(true);
        QVERIFY(!access.Active());
    }
};

QTEST_GUILESS_MAIN(TestNVKEvents)
#include "tst_NVKEvents.moc"
