// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKClasses.h"

#include "NVKInit.h"

namespace {
const char SServicePropertyActive[] = "Cannot change service property while service is active.";
const char SServiceStartFailed[] = "Service '%s' failed to start";
const char SNotifierRegistered[] = "Notifier is already registered.";
const char SNullNotifier[] = "NULL interface reference detected.";

thread_local TNVKContainerLoader *currentLoader = nullptr;
} // namespace

// ---- TNVKActiveComponent ----

TNVKActiveComponent::TNVKActiveComponent(QObject *owner) : QObject(owner)
{
    TNVKContainerLoader::Register(this);
}

TNVKActiveComponent::~TNVKActiveComponent()
{
    // Deactivation needs the concrete InternalDeactivate, which is gone by now; the classes that
    // override it call DeactivateForDestruction in their own destructors.
    FDestroying = true;
}

void TNVKActiveComponent::SetActive(bool value)
{
    if (value == FActive)
        return;
    if (FLoading || IsDesigning()) {
        FActive = value;
        return;
    }
    SetActiveState(value);
}

void TNVKActiveComponent::Loaded()
{
    FLoading = false;
    if (FActive && !IsDesigning())
        SetActiveState(true);
}

void TNVKActiveComponent::SetActiveState(bool value)
{
    bool cancel = false;
    if (value) {
        DoActivating(cancel);
        if (cancel) {
            FActive = false;
            return;
        }
        try {
            CheckActivation();
            FActive = InternalActivate();
        } catch (...) {
            FActive = false;
            throw;
        }
        if (FActive)
            DoActivated();
    } else {
        DoDeactivating(cancel);
        if (!cancel) {
            InternalDeactivate();
            FActive = false;
        }
        if (!FActive)
            DoDeactivated();
    }
}

void TNVKActiveComponent::DeactivateForDestruction()
{
    FDestroying = true;
    FLoading = false;
    if (!FActive)
        return;
    // Nothing may escape a destructor; the failure is shown and destruction goes on.
    try {
        SetActiveState(false);
    } catch (...) {
        NVKReportError(NVKCurrentExceptionMessage());
    }
}

// ---- TNVKContainerLoader ----

TNVKContainerLoader::TNVKContainerLoader() : FOuter(currentLoader)
{
    currentLoader = this;
}

TNVKContainerLoader::~TNVKContainerLoader()
{
    Detach();
    for (const QPointer<TNVKActiveComponent> &component : std::as_const(FComponents)) {
        if (component && component->FLoading) {
            component->FLoading = false;
            component->FActive = false;
        }
    }
}

void TNVKContainerLoader::Detach()
{
    if (!FAttached)
        return;
    // Loaders nest like scopes; restore the outer one.
    if (currentLoader == this)
        currentLoader = FOuter;
    FAttached = false;
}

void TNVKContainerLoader::Register(TNVKActiveComponent *component)
{
    if (!currentLoader)
        return;
    component->FLoading = true;
    currentLoader->FComponents.append(component);
}

void TNVKContainerLoader::Finish()
{
    Detach();
    const QList<QPointer<TNVKActiveComponent>> components = std::exchange(FComponents, {});
    // If a loaded hook raises, the components after it must not stay in loading state.
    auto leaveLoading = [&](qsizetype from) {
        for (qsizetype i = from; i < components.size(); ++i) {
            if (components[i] && components[i]->FLoading) {
                components[i]->FLoading = false;
                components[i]->FActive = false;
            }
        }
    };
    for (qsizetype i = 0; i < components.size(); ++i) {
        if (!components[i])
            continue;
        try {
            components[i]->Loaded();
        } catch (...) {
            leaveLoading(i + 1);
            throw;
        }
    }
}

void NVKDeactivateComponents(QObject *container)
{
    const QObjectList children = container->children();
    for (qsizetype i = children.size() - 1; i >= 0; --i) {
        if (auto *component = qobject_cast<TNVKActiveComponent *>(children[i]))
            component->SetActive(false);
    }
}

// ---- TNVKCustomServiceProvider ----

TNVKCustomServiceProvider::TNVKCustomServiceProvider(QObject *owner, const QString &serviceName)
    : TNVKActiveComponent(owner), FServiceName(serviceName)
{
}

TNVKCustomServiceProvider::~TNVKCustomServiceProvider()
{
    DeactivateForDestruction();
}

void TNVKCustomServiceProvider::SetFailAction(TServiceFailAction value)
{
    CheckInactive();
    FFailAction = value;
}

void TNVKCustomServiceProvider::CheckInactive() const
{
    if (!IsDesigning() && !IsLoading() && !IsDestroying() && Active())
        throw ENVKServiceError(QString::fromUtf8(SServicePropertyActive));
}

INVKServicePtr TNVKCustomServiceProvider::CreateService()
{
    if (FOnCreateService)
        return FOnCreateService(this);
    return {};
}

bool TNVKCustomServiceProvider::InternalActivate()
{
    const INVKCorePtr core = Core();
    if (!core || core->GetTerminated())
        return false;
    FService = CreateService();
    bool started = false;
    try {
        started = core->RegisterService(FService);
    } catch (...) {
        FService.reset();
        throw;
    }
    if (!started)
        FService.reset();
    return started;
}

void TNVKCustomServiceProvider::InternalDeactivate()
{
    const INVKCorePtr core = Core();
    if (core && FService) {
        const INVKServicePtr service = FService;
        FService.reset();
        core->UnregisterService(service);
    }
}

// ---- TNVKServiceBase ----

TNVKServiceBase::TNVKServiceBase(TNVKCustomServiceProvider *provider) : FProvider(provider) {}

QString TNVKServiceBase::GetName() const
{
    return FProvider ? FProvider->ServiceName() : QString();
}

bool TNVKServiceBase::Start()
{
    const TServiceFailAction failAction = FProvider ? FProvider->FailAction() : faTerminate;
    try {
        FStarted = DoStart();
    } catch (...) {
        FStarted = false;
        if (failAction == faException)
            throw;
    }
    if (!FStarted) {
        switch (failAction) {
        case faException:
            throw ENVKServiceError(NVKFormatS(QString::fromUtf8(SServiceStartFailed), {GetName()}));
        case faTerminate:
            if (const INVKCorePtr core = Core())
                core->Terminate();
            break;
        case faIgnore:
            break;
        }
    }
    return FStarted;
}

void TNVKServiceBase::Stop()
{
    try {
        DoStop();
    } catch (...) {
        FStarted = false;
        throw;
    }
    FStarted = false;
}

// ---- TNVKEventListener ----

void TNVKEventListener::Notify(INVKUnknown *sender, int code, const INVKUnknownPtr &param)
{
    Q_UNUSED(sender);
    if (FCallback) {
        // A copy: the callback may clear or destroy this listener while it runs.
        const TNVKEventCallback callback = FCallback;
        callback(code, param);
    }
}

// ---- TNVKEventPublisher ----

void TNVKEventPublisher::Subscribe(const INVKNotifierPtr &notifier)
{
    NVKAssert(notifier != nullptr, SNullNotifier, "NVKClasses");
    for (const auto &entry : std::as_const(FListeners)) {
        if (entry->notifier == notifier)
            throw ENVKServiceError(QString::fromUtf8(SNotifierRegistered));
    }
    FListeners.append(std::make_shared<Subscription>(Subscription{notifier}));
}

void TNVKEventPublisher::Unsubscribe(const INVKNotifierPtr &notifier)
{
    for (qsizetype i = 0; i < FListeners.size(); ++i) {
        if (FListeners[i]->notifier == notifier) {
            FListeners[i]->subscribed = false;
            FListeners.removeAt(i);
            return;
        }
    }
}

void TNVKEventPublisher::Publish(int code, const INVKUnknownPtr &param)
{
    // Held for the whole call: listeners may drop their own references to the parameter.
    const INVKUnknownPtr heldParam = param;
    // The snapshot fixes who is called; the flag tells who left meanwhile.
    const QList<std::shared_ptr<Subscription>> snapshot = FListeners;
    for (const auto &entry : snapshot) {
        if (!entry->subscribed)
            continue;
        try {
            entry->notifier->Notify(FController, code, heldParam);
        } catch (...) {
            NVKReportError(NVKCurrentExceptionMessage());
        }
    }
}
