// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "framework/NVKAccess.h"
#include "framework/NVKInit.h"

#include <QStringList>

// A service whose start result and failures a test sets, and which publishes events.
class TTestService : public TNVKServiceBase, public INVKEventPublisher
{
public:
    enum Outcome { Starts, Refuses, Raises };

    TTestService(TNVKCustomServiceProvider *provider, Outcome outcome, QStringList *log)
        : TNVKServiceBase(provider), FOutcome(outcome), FLog(log), FPublisher(this)
    {
    }

    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }
    void Publish(int code, const INVKUnknownPtr &param = {}) { FPublisher.Publish(code, param); }

    bool FStopRaises = false;

protected:
    bool DoStart() override
    {
        if (FLog)
            FLog->append(QStringLiteral("start ") + GetName());
        if (FOutcome == Raises)
            throw ENVKError(QStringLiteral("cannot start"));
        return FOutcome == Starts;
    }
    void DoStop() override
    {
        if (FLog)
            FLog->append(QStringLiteral("stop ") + GetName());
        if (FStopRaises)
            throw ENVKError(QStringLiteral("cannot stop"));
    }

private:
    Outcome FOutcome;
    QStringList *FLog;
    TNVKEventPublisher FPublisher;
};

// A second interface, so lookup by interface can be tested.
class ITestExtra : public virtual INVKUnknown
{
public:
    virtual int Extra() const = 0;
};

class TTestExtraService : public TTestService, public ITestExtra
{
public:
    TTestExtraService(TNVKCustomServiceProvider *provider, int extra)
        : TTestService(provider, Starts, nullptr), FExtra(extra)
    {
    }
    int Extra() const override { return FExtra; }

private:
    int FExtra;
};

class TTestProvider : public TNVKCustomServiceProvider
{
public:
    TTestProvider(QObject *owner, const QString &name, TTestService::Outcome outcome = TTestService::Starts,
                  QStringList *log = nullptr)
        : TNVKCustomServiceProvider(owner, name), FOutcome(outcome), FLog(log)
    {
        setObjectName(name);
        // The lambdas capture by value: deactivated also fires from the base destructor.
        if (log) {
            connect(this, &TNVKActiveComponent::activated, this,
                    [log, name] { log->append(QStringLiteral("activated ") + name); });
            connect(this, &TNVKActiveComponent::deactivated, this,
                    [log, name] { log->append(QStringLiteral("deactivated ") + name); });
        }
    }

    std::shared_ptr<TTestService> TestService() const { return std::dynamic_pointer_cast<TTestService>(Service()); }
    using TNVKCustomServiceProvider::CheckInactive;

protected:
    INVKServicePtr CreateService() override { return std::make_shared<TTestService>(this, FOutcome, FLog); }

private:
    TTestService::Outcome FOutcome;
    QStringList *FLog;
};

// Records what the core and services publish.
struct TRecorder
{
    QList<int> codes;
    QList<INVKUnknownPtr> params;
    std::shared_ptr<TNVKEventListener> listener =
        std::make_shared<TNVKEventListener>([this](int code, const INVKUnknownPtr &param) {
            codes.append(code);
            params.append(param);
        });
};
