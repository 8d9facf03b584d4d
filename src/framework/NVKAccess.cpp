// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKAccess.h"

#include "NVKInit.h"

TNVKCustomServiceAccess::TNVKCustomServiceAccess(QObject *owner, const QString &serviceName)
    : TNVKActiveComponent(owner), FServiceName(serviceName)
{
}

TNVKCustomServiceAccess::~TNVKCustomServiceAccess()
{
    DeactivateForDestruction();
    // A listener kept because its service had already gone must never call into a dead component.
    if (FListener)
        FListener->Clear();
}

bool TNVKCustomServiceAccess::InternalActivate()
{
    const INVKCorePtr core = Core();
    if (!core)
        return false;
    const auto publisher = std::dynamic_pointer_cast<INVKEventPublisher>(core->FindService(FServiceName));
    if (!publisher)
        return false;
    if (FListener)
        FListener->Clear();
    FListener = std::make_shared<TNVKEventListener>(
        [this](int code, const INVKUnknownPtr &param) { ServiceNotify(code, param); });
    publisher->Subscribe(FListener);
    return true;
}

void TNVKCustomServiceAccess::InternalDeactivate()
{
    if (!FListener)
        return;
    const INVKCorePtr core = Core();
    const auto publisher =
        core ? std::dynamic_pointer_cast<INVKEventPublisher>(core->FindService(FServiceName)) : nullptr;
    if (publisher) {
        publisher->Unsubscribe(FListener);
        FListener.reset();
    }
}

void TNVKCustomServiceAccess::ServiceNotify(int code, const INVKUnknownPtr &param)
{
    Q_EMIT serviceNotified(code, param);
}
