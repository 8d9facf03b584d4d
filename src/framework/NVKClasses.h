// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKErrors.h"
#include "base/NVKIntf.h"

#include <QObject>
#include <QPointer>
#include <functional>

class TNVKContainerLoader;

// A component with an Active switch. Activation and deactivation run a fixed sequence with
// cancellable "-ing" signals and "-ed" signals after. While its container is loading, setting
// Active only stores the value; the container's Finish then activates components in creation order.
class TNVKActiveComponent : public QObject
{
    Q_OBJECT

public:
    explicit TNVKActiveComponent(QObject *owner = nullptr);
    ~TNVKActiveComponent() override;

    bool Active() const { return FActive; }
    void SetActive(bool value);

    bool IsLoading() const { return FLoading; }
    bool IsDestroying() const { return FDestroying; }
    // Components are never edited in a form designer here; kept so the rules read as they are.
    bool IsDesigning() const { return false; }

    // Runs once the whole container exists: activates the component when Active was set while loading.
    virtual void Loaded();

Q_SIGNALS:
    void activating(bool &cancel);
    void activated();
    void deactivating(bool &cancel);
    void deactivated();

protected:
    virtual void CheckActivation() {}
    virtual void DoActivating(bool &cancel) { Q_EMIT activating(cancel); }
    virtual void DoActivated() { Q_EMIT activated(); }
    virtual void DoDeactivating(bool &cancel) { Q_EMIT deactivating(cancel); }
    virtual void DoDeactivated() { Q_EMIT deactivated(); }
    virtual bool InternalActivate() = 0;
    virtual void InternalDeactivate() = 0;

    void SetActiveState(bool value);
    // Called by the destructor of each class that overrides InternalDeactivate, while that
    // override can still run: marks the component as being destroyed and deactivates it.
    void DeactivateForDestruction();

private:
    friend class TNVKContainerLoader;

    bool FActive = false;
    bool FLoading = false;
    bool FDestroying = false;
};

// Creates a container's components in loading state: every TNVKActiveComponent constructed while
// a loader is the innermost one on this thread belongs to it. Finish runs their loaded hooks in
// creation order; a loader destroyed without Finish leaves its components inactive.
class TNVKContainerLoader
{
public:
    TNVKContainerLoader();
    ~TNVKContainerLoader();
    TNVKContainerLoader(const TNVKContainerLoader &) = delete;
    TNVKContainerLoader &operator=(const TNVKContainerLoader &) = delete;

    void Finish();
    static void Register(TNVKActiveComponent *component);

private:
    void Detach();

    QList<QPointer<TNVKActiveComponent>> FComponents;
    TNVKContainerLoader *FOuter = nullptr;
    bool FAttached = true;
};

// Deactivates the active components among container's children in reverse creation order,
// as a container does when it shuts down.
void NVKDeactivateComponents(QObject *container);

enum TServiceFailAction : quint8 {
    faIgnore = 0,
    faException = 1,
    faTerminate = 2,
};

// Creates one service object, registers it with the core when activated and unregisters it
// when deactivated.
class TNVKCustomServiceProvider : public TNVKActiveComponent
{
    Q_OBJECT

public:
    using TNVKCreateServiceEvent = std::function<INVKServicePtr(TNVKCustomServiceProvider *provider)>;

    TNVKCustomServiceProvider(QObject *owner, const QString &serviceName);
    ~TNVKCustomServiceProvider() override;

    TServiceFailAction FailAction() const { return FFailAction; }
    void SetFailAction(TServiceFailAction value);
    QString ServiceName() const { return FServiceName; }
    INVKServicePtr Service() const { return FService; }
    void SetOnCreateService(TNVKCreateServiceEvent handler) { FOnCreateService = std::move(handler); }

protected:
    // Raises ENVKServiceError when a service property is changed while the service runs.
    virtual void CheckInactive() const;
    // Builds the service object; concrete providers construct their own implementation class.
    virtual INVKServicePtr CreateService();
    bool InternalActivate() override;
    void InternalDeactivate() override;

private:
    TServiceFailAction FFailAction = faTerminate;
    INVKServicePtr FService;
    QString FServiceName;
    TNVKCreateServiceEvent FOnCreateService;
};

// Base of service implementations: the start/stop protocol with the provider's failure policy.
class TNVKServiceBase : public virtual INVKService
{
public:
    explicit TNVKServiceBase(TNVKCustomServiceProvider *provider = nullptr);

    QString GetName() const override;
    bool GetStarted() const override { return FStarted; }
    bool Start() override;
    void Stop() override;

    TNVKCustomServiceProvider *Provider() const { return FProvider; }

protected:
    virtual bool DoStart() { return true; }
    virtual void DoStop() {}

private:
    bool FStarted = false;
    QPointer<TNVKCustomServiceProvider> FProvider;
};

// Turns an event into a call of one callback.
class TNVKEventListener final : public INVKNotifier
{
public:
    using TNVKEventCallback = std::function<void(int code, const INVKUnknownPtr &param)>;

    explicit TNVKEventListener(TNVKEventCallback callback) : FCallback(std::move(callback)) {}
    ~TNVKEventListener() override { FCallback = nullptr; }

    void Notify(INVKUnknown *sender, int code, const INVKUnknownPtr &param) override;
    // Drops the callback, so a listener that outlives its owner calls nothing.
    void Clear() { FCallback = nullptr; }

private:
    TNVKEventCallback FCallback;
};

// The listener list of a publishing object, which forwards INVKEventPublisher to it.
// Delivery is synchronous and safe against changes of the list while it runs: a notifier
// removed during a Publish is not called after its removal, one added during a Publish is
// first called by the next one, and nobody still subscribed is skipped or called twice.
class TNVKEventPublisher
{
public:
    explicit TNVKEventPublisher(INVKUnknown *controller) : FController(controller) {}
    TNVKEventPublisher(const TNVKEventPublisher &) = delete;
    TNVKEventPublisher &operator=(const TNVKEventPublisher &) = delete;

    void Subscribe(const INVKNotifierPtr &notifier);
    void Unsubscribe(const INVKNotifierPtr &notifier);
    // Calls every listener in subscription order; a listener that raises is reported through
    // NVKReportError and the others are still called.
    void Publish(int code, const INVKUnknownPtr &param);
    qsizetype Count() const { return FListeners.size(); }

private:
    struct Subscription
    {
        INVKNotifierPtr notifier;
        bool subscribed = true;
    };

    INVKUnknown *FController;
    QList<std::shared_ptr<Subscription>> FListeners;
};
