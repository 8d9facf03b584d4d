// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <memory>

class QCoreApplication;

// Base of every counted interface. Inherited virtually, so an object that implements
// several interfaces is still one INVKUnknown and can travel as an event parameter.
class INVKUnknown
{
public:
    virtual ~INVKUnknown() = default;
};
using INVKUnknownPtr = std::shared_ptr<INVKUnknown>;

class INVKObject : public virtual INVKUnknown
{
public:
    virtual QString GetName() const = 0;
};

// Service interfaces derive from it virtually, so an implementation built on TNVKServiceBase
// has one INVKService whatever interfaces it adds.
class INVKService : public virtual INVKObject
{
public:
    virtual bool GetStarted() const = 0;
    // Starts the service; false when it did not start (what else happens depends on the fail action).
    virtual bool Start() = 0;
    // Stops the service; afterwards GetStarted is false, even when stopping raised.
    virtual void Stop() = 0;
};
using INVKServicePtr = std::shared_ptr<INVKService>;

class INVKEventPublisher;

class INVKNotifier : public virtual INVKUnknown
{
public:
    // Sender is the object that published; it is only valid during the call.
    virtual void Notify(INVKUnknown *sender, int code, const INVKUnknownPtr &param) = 0;
};
using INVKNotifierPtr = std::shared_ptr<INVKNotifier>;

class INVKEventPublisher : public virtual INVKUnknown
{
public:
    // Appends the notifier; raises ENVKServiceError when it is subscribed already.
    virtual void Subscribe(const INVKNotifierPtr &notifier) = 0;
    // Removes the notifier; one that is not subscribed is ignored.
    virtual void Unsubscribe(const INVKNotifierPtr &notifier) = 0;
};
using INVKEventPublisherPtr = std::shared_ptr<INVKEventPublisher>;

// Codes the core publishes about its services; the parameter is the service.
enum : int {
    NVK_CORE_SERVICE_REGISTERED = -1,
    NVK_CORE_SERVICE_UNREGISTERING = -2,
};

class INVKCore : public virtual INVKUnknown
{
public:
    virtual QCoreApplication *GetApplication() const = 0;
    // The first registered service whose name equals name exactly (case-sensitive); empty when none.
    virtual INVKServicePtr FindService(const QString &name) const = 0;
    virtual bool GetTerminated() const = 0;
    // Adds and starts the service; returns whether it started. A service that did not start
    // is not left registered. Always false once the core is terminated.
    virtual bool RegisterService(const INVKServicePtr &service) = 0;
    // Stops and removes the service; raises ENVKCoreError when it is not registered.
    virtual void UnregisterService(const INVKServicePtr &service) = 0;
    // Refuses every later registration and ends the application's event loop.
    virtual void Terminate() = 0;
    // The registered services, in the order of registering.
    virtual QList<INVKServicePtr> GetServices() const = 0;

    // The first registered service that implements interface I; empty when none does.
    template <class I> std::shared_ptr<I> QueryService() const
    {
        for (const INVKServicePtr &service : GetServices()) {
            if (auto found = std::dynamic_pointer_cast<I>(service))
                return found;
        }
        return {};
    }
};
using INVKCorePtr = std::shared_ptr<INVKCore>;
