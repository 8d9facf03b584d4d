// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "NVKClasses.h"

// Follows one service by name: while active it receives the service's events through
// ServiceNotify. It binds only when activated, so it must be activated after its service runs.
class TNVKCustomServiceAccess : public TNVKActiveComponent
{
    Q_OBJECT

public:
    TNVKCustomServiceAccess(QObject *owner, const QString &serviceName);
    ~TNVKCustomServiceAccess() override;

    QString ServiceName() const { return FServiceName; }
    // Stores the name; an active component stays bound to the service it found.
    void SetServiceName(const QString &value) { FServiceName = value; }

Q_SIGNALS:
    // The base ServiceNotify's event: every code the service publishes, undecoded.
    void serviceNotified(int code, const INVKUnknownPtr &param);

protected:
    bool InternalActivate() override;
    void InternalDeactivate() override;
    // Concrete access components decode their service's codes here.
    virtual void ServiceNotify(int code, const INVKUnknownPtr &param);

private:
    QString FServiceName;
    std::shared_ptr<TNVKEventListener> FListener;
};
