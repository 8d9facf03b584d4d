// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKInit.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace {
const char SNullService[] = "RegisterService: NULL interface reference.";
const char SEmptyServiceName[] = "Service must have a von-empty unique name.";
const char SServiceRegistered[] = "Cannot register service object more than once.";
const char SServiceNotFound[] = "Specified service does not exists.";

INVKCorePtr &coreReference()
{
    // Created on first use, which is before any form or module exists.
    static INVKCorePtr core = std::make_shared<TNVKCore>();
    return core;
}
} // namespace

TNVKCore::TNVKCore() : FPublisher(this) {}

TNVKCore::~TNVKCore() = default;

QCoreApplication *TNVKCore::GetApplication() const
{
    return QCoreApplication::instance();
}

INVKServicePtr TNVKCore::FindService(const QString &name) const
{
    for (const INVKServicePtr &service : FServices) {
        if (service->GetName() == name)
            return service;
    }
    return {};
}

bool TNVKCore::RegisterService(const INVKServicePtr &service)
{
    NVKAssert(service != nullptr, SNullService, "NVKInit");
    if (FTerminated)
        return false;
    if (service->GetName().isEmpty())
        throw ENVKCoreError(QString::fromUtf8(SEmptyServiceName));
    if (FServices.contains(service))
        throw ENVKCoreError(QString::fromUtf8(SServiceRegistered));

    FServices.append(service);
    bool started = false;
    try {
        started = service->Start();
        FPublisher.Publish(NVK_CORE_SERVICE_REGISTERED, service);
    } catch (...) {
        if (!started)
            FServices.removeOne(service);
        throw;
    }
    if (!started)
        FServices.removeOne(service);
    return started;
}

void TNVKCore::UnregisterService(const INVKServicePtr &service)
{
    if (!FServices.contains(service))
        throw ENVKCoreError(QString::fromUtf8(SServiceNotFound));
    // Held so the service survives its removal while it is being stopped.
    const INVKServicePtr held = service;
    try {
        FPublisher.Publish(NVK_CORE_SERVICE_UNREGISTERING, held);
        held->Stop();
    } catch (...) {
        FServices.removeOne(held);
        throw;
    }
    FServices.removeOne(held);
}

void TNVKCore::Terminate()
{
    FTerminated = true;
    // Queued, so a terminate raised before the event loop runs still ends it as soon as it starts;
    // exit rather than quit, because quit would first ask every window whether it may close.
    if (QCoreApplication *app = QCoreApplication::instance())
        QMetaObject::invokeMethod(
            app, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

INVKCorePtr Core()
{
    return coreReference();
}

void NVKInitializeCore()
{
    if (!coreReference())
        coreReference() = std::make_shared<TNVKCore>();
}

void NVKFinalizeCore()
{
    coreReference().reset();
}
