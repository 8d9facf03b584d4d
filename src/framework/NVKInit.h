// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "NVKClasses.h"
#include "base/NVKIntf.h"

// The registry of running services.
class TNVKCore final : public INVKCore, public INVKEventPublisher
{
public:
    TNVKCore();
    ~TNVKCore() override;

    QCoreApplication *GetApplication() const override;
    INVKServicePtr FindService(const QString &name) const override;
    bool GetTerminated() const override { return FTerminated; }
    bool RegisterService(const INVKServicePtr &service) override;
    void UnregisterService(const INVKServicePtr &service) override;
    void Terminate() override;
    QList<INVKServicePtr> GetServices() const override { return FServices; }

    void Subscribe(const INVKNotifierPtr &notifier) override { FPublisher.Subscribe(notifier); }
    void Unsubscribe(const INVKNotifierPtr &notifier) override { FPublisher.Unsubscribe(notifier); }

private:
    bool FTerminated = false;
    TNVKEventPublisher FPublisher;
    QList<INVKServicePtr> FServices;
};

// The one program-wide core. It exists from program start; empty after NVKFinalizeCore.
INVKCorePtr Core();
// Creates the core when there is none (program start does this on its own).
void NVKInitializeCore();
// Releases the core, as program end does. Tests pair it with NVKInitializeCore for a fresh core.
void NVKFinalizeCore();
