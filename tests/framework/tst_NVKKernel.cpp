// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "support/TestServices.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>

class TestNVKKernel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        NVKFinalizeCore();
        NVKInitializeCore();
    }

    void containerActivation_followsCreationOrder_andCancelKeepsOneInactive()
    {
        QStringList log;
        QObject container;
        TNVKContainerLoader loader;
        auto *first = new TTestProvider(&container, QStringLiteral("A"), TTestService::Starts, &log);
        auto *cancelled = new TTestProvider(&container, QStringLiteral("B"), TTestService::Starts, &log);
        auto *third = new TTestProvider(&container, QStringLiteral("C"), TTestService::Starts, &log);
        connect(cancelled, &TNVKActiveComponent::activating, cancelled, [](bool &cancel) { cancel = true; });
        for (auto *provider : {third, cancelled, first})
            provider->SetActive(true);

        // While the container loads, Active is only stored.
        QVERIFY(log.isEmpty());
        QVERIFY(!Core()->FindService(QStringLiteral("A")));

        loader.Finish();
        QCOMPARE(log, (QStringList{QStringLiteral("start A"), QStringLiteral("activated A"), QStringLiteral("start C"),
                                   QStringLiteral("activated C")}));
        QVERIFY(first->Active());
        QVERIFY(!cancelled->Active());
        QVERIFY(third->Active());
        QCOMPARE(Core()->GetServices().size(), 2);
        QVERIFY(!first->IsLoading());

        // Shutting the container down goes in reverse creation order.
        log.clear();
        NVKDeactivateComponents(&container);
        QCOMPARE(log, (QStringList{QStringLiteral("stop C"), QStringLiteral("deactivated C"), QStringLiteral("stop A"),
                                   QStringLiteral("deactivated A")}));
        QVERIFY(Core()->GetServices().isEmpty());
    }

    void loaderAbandoned_leavesComponentsInactive()
    {
        QObject container;
        TTestProvider *provider = nullptr;
        {
            TNVKContainerLoader loader;
            provider = new TTestProvider(&container, QStringLiteral("A"));
            provider->SetActive(true);
        }
        QVERIFY(!provider->Active());
        QVERIFY(!provider->IsLoading());
        provider->SetActive(true);
        QVERIFY(provider->Active());
    }

    void setActive_sameValue_firesNothing_andCancelledDeactivationKeepsServiceRunning()
    {
        QStringList log;
        TTestProvider provider(nullptr, QStringLiteral("Quillbox:Data"), TTestService::Starts, &log);
        provider.SetActive(false);
        QVERIFY(log.isEmpty());
        provider.SetActive(true);
        provider.SetActive(true);
        QCOMPARE(log.count(QStringLiteral("activated Quillbox:Data")), 1);

        bool refuse = true;
        connect(&provider, &TNVKActiveComponent::deactivating, &provider, [&](bool &cancel) { cancel = refuse; });
        provider.SetActive(false);
        QVERIFY(provider.Active());
        QVERIFY(provider.TestService()->GetStarted());
        QCOMPARE(Core()->FindService(QStringLiteral("Quillbox:Data")), provider.Service());
        QVERIFY(!log.contains(QStringLiteral("deactivated Quillbox:Data")));

        refuse = false;
        provider.SetActive(false);
        QVERIFY(!provider.Active());
        QVERIFY(!provider.Service());
        QVERIFY(!Core()->FindService(QStringLiteral("Quillbox:Data")));
        QCOMPARE(log.last(), QStringLiteral("deactivated Quillbox:Data"));
    }

    void serviceProperty_cannotChangeWhileActive()
    {
        TTestProvider provider(nullptr, QStringLiteral("S"));
        provider.SetFailAction(faIgnore);
        provider.SetActive(true);
        try {
            provider.SetFailAction(faException);
            QFAIL("changing the fail action of an active provider must raise");
        } catch (const ENVKServiceError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot change service property while service is active."));
        }
        QCOMPARE(provider.FailAction(), faIgnore);
    }

    void failIgnore_refusedStart_leavesProviderInactive_butCoreAnnouncedIt()
    {
        TRecorder recorder;
        std::dynamic_pointer_cast<INVKEventPublisher>(Core())->Subscribe(recorder.listener);

        QStringList log;
        TTestProvider refused(nullptr, QStringLiteral("Refused"), TTestService::Refuses, &log);
        refused.SetFailAction(faIgnore);
        refused.SetActive(true);
        QVERIFY(!refused.Active());
        QVERIFY(!log.contains(QStringLiteral("activated Refused")));
        QVERIFY(!Core()->FindService(QStringLiteral("Refused")));
        QCOMPARE(recorder.codes, QList<int>{NVK_CORE_SERVICE_REGISTERED});
        QCOMPARE(std::dynamic_pointer_cast<INVKService>(recorder.params.first())->GetName(), QStringLiteral("Refused"));
        QVERIFY(!Core()->GetTerminated());

        // A start that raises is swallowed under the ignore policy too.
        TTestProvider raising(nullptr, QStringLiteral("Raising"), TTestService::Raises);
        raising.SetFailAction(faIgnore);
        raising.SetActive(true);
        QVERIFY(!raising.Active());
        QVERIFY(Core()->GetServices().isEmpty());
    }

    void failException_raisesAndLeavesNothingRegistered()
    {
        TTestProvider refused(nullptr, QStringLiteral("Quillbox:Settings"), TTestService::Refuses);
        refused.SetFailAction(faException);
        try {
            refused.SetActive(true);
            QFAIL("a refused start must raise under the exception policy");
        } catch (const ENVKServiceError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Service 'Quillbox:Settings' failed to start"));
        }
        QVERIFY(!refused.Active());

        // The start's own exception reaches the caller unchanged.
        TTestProvider raising(nullptr, QStringLiteral("Raising"), TTestService::Raises);
        raising.SetFailAction(faException);
        try {
            raising.SetActive(true);
            QFAIL("a raising start must raise under the exception policy");
        } catch (const ENVKError &e) {
            QCOMPARE(e.Message(), QStringLiteral("cannot start"));
        }
        QVERIFY(!raising.Active());
        QVERIFY(Core()->GetServices().isEmpty());
        QVERIFY(!Core()->GetTerminated());
    }

    void failTerminate_endsRunningEventLoop_andRefusesLaterRegistrations()
    {
        TTestProvider failing(nullptr, QStringLiteral("Failing"), TTestService::Refuses);
        QCOMPARE(failing.FailAction(), faTerminate);
        QTimer::singleShot(0, &failing, [&] { failing.SetActive(true); });
        // Should the terminate not end the loop, this ends it with another code.
        QTimer::singleShot(10000, &failing, [] { QCoreApplication::exit(99); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(Core()->GetTerminated());
        QVERIFY(!failing.Active());

        QStringList log;
        TTestProvider late(nullptr, QStringLiteral("Late"), TTestService::Starts, &log);
        late.SetActive(true);
        QVERIFY(!late.Active());
        QVERIFY(log.isEmpty());

        auto direct = std::make_shared<TTestService>(&late, TTestService::Starts, &log);
        QVERIFY(!Core()->RegisterService(direct));
        QVERIFY(log.isEmpty());
        QVERIFY(Core()->GetServices().isEmpty());
    }

    void lookup_isCaseSensitive_andFindsTheEarlierOfTwo()
    {
        TTestProvider first(nullptr, QStringLiteral("Quillbox:Data"));
        first.SetActive(true);
        TTestProvider second(nullptr, QStringLiteral("Quillbox:Data"));
        second.SetActive(true);
        QVERIFY(second.Active());
        QCOMPARE(Core()->FindService(QStringLiteral("Quillbox:Data")), first.Service());
        QVERIFY(!Core()->FindService(QStringLiteral("quillbox:data")));
        QVERIFY(!Core()->FindService(QString()));

        QVERIFY(!Core()->QueryService<ITestExtra>());
        QCOMPARE(Core()->QueryService<TTestService>(), std::dynamic_pointer_cast<TTestService>(first.Service()));

        auto extraA = std::make_shared<TTestExtraService>(&first, 1);
        auto extraB = std::make_shared<TTestExtraService>(&second, 2);
        QVERIFY(Core()->RegisterService(extraA));
        QVERIFY(Core()->RegisterService(extraB));
        QCOMPARE(Core()->QueryService<ITestExtra>()->Extra(), 1);
        Core()->UnregisterService(extraA);
        QCOMPARE(Core()->QueryService<ITestExtra>()->Extra(), 2);
        Core()->UnregisterService(extraB);
    }

    void registerAndUnregister_reportTheirErrors()
    {
        TTestProvider provider(nullptr, QStringLiteral("Named"));
        TTestProvider unnamed(nullptr, QString());

        try {
            Core()->RegisterService(std::make_shared<TTestService>(&unnamed, TTestService::Starts, nullptr));
            QFAIL("an unnamed service must be refused");
        } catch (const ENVKCoreError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Service must have a von-empty unique name."));
        }

        auto service = std::make_shared<TTestService>(&provider, TTestService::Starts, nullptr);
        QVERIFY(Core()->RegisterService(service));
        try {
            Core()->RegisterService(service);
            QFAIL("a service must not register twice");
        } catch (const ENVKCoreError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot register service object more than once."));
        }
        QCOMPARE(Core()->GetServices().size(), 1);

        try {
            Core()->RegisterService(nullptr);
            QFAIL("an empty reference must fail the assertion");
        } catch (const EAssertionFailed &e) {
            QCOMPARE(e.Message(), QStringLiteral("RegisterService: NULL interface reference."));
            QCOMPARE(e.Unit(), QStringLiteral("NVKInit"));
        }

        Core()->UnregisterService(service);
        try {
            Core()->UnregisterService(service);
            QFAIL("unregistering an unknown service must raise");
        } catch (const ENVKCoreError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Specified service does not exists."));
        }
    }

    void unregister_announcesBeforeStop_andRemovesEvenWhenStopRaises()
    {
        QStringList log;
        TRecorder recorder;
        auto core = std::dynamic_pointer_cast<INVKEventPublisher>(Core());
        auto announce = std::make_shared<TNVKEventListener>(
            [&](int code, const INVKUnknownPtr &) { log.append(QStringLiteral("event %1").arg(code)); });
        core->Subscribe(announce);

        TTestProvider provider(nullptr, QStringLiteral("S"), TTestService::Starts, &log);
        provider.SetActive(true);
        const auto service = provider.TestService();
        service->FStopRaises = true;
        try {
            provider.SetActive(false);
            QFAIL("a raising stop must reach the caller");
        } catch (const ENVKError &e) {
            QCOMPARE(e.Message(), QStringLiteral("cannot stop"));
        }
        QCOMPARE(log, (QStringList{QStringLiteral("start S"), QStringLiteral("event -1"), QStringLiteral("activated S"),
                                   QStringLiteral("event -2"), QStringLiteral("stop S")}));
        QVERIFY(!service->GetStarted());
        QVERIFY(Core()->GetServices().isEmpty());
    }

    void destroyingProvider_unregistersItsService_andAccessorsSeeNoCore()
    {
        {
            TTestProvider provider(nullptr, QStringLiteral("S"));
            provider.SetActive(true);
            QVERIFY(Core()->FindService(QStringLiteral("S")));
        }
        QVERIFY(Core()->GetServices().isEmpty());

        NVKFinalizeCore();
        QVERIFY(!Core());
        TTestProvider orphan(nullptr, QStringLiteral("S"));
        orphan.SetActive(true);
        QVERIFY(!orphan.Active());
    }
};

QTEST_GUILESS_MAIN(TestNVKKernel)
#include "tst_NVKKernel.moc"
