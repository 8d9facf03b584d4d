// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKProperties.h"

// ---- TNVKPropertyRegistry ----

TNVKPropertyRegistry &TNVKPropertyRegistry::Instance()
{
    static TNVKPropertyRegistry registry;
    return registry;
}

void TNVKPropertyRegistry::Register(const QMetaObject &cls, const TNVKPropertyInfo &info)
{
    QList<TNVKPropertyInfo> &properties = FClasses[&cls];
    for (TNVKPropertyInfo &existing : properties) {
        if (existing.Name.compare(info.Name, Qt::CaseInsensitive) == 0) {
            existing = info;
            return;
        }
    }
    properties.append(info);
}

const TNVKPropertyInfo *TNVKPropertyRegistry::Find(const QObject *target, const QString &name) const
{
    if (!target || name.isEmpty())
        return nullptr;
    for (const QMetaObject *cls = target->metaObject(); cls; cls = cls->superClass()) {
        const auto found = FClasses.constFind(cls);
        if (found == FClasses.cend())
            continue;
        for (const TNVKPropertyInfo &info : *found) {
            if (info.Name.compare(name, Qt::CaseInsensitive) == 0)
                return &info;
        }
    }
    return nullptr;
}
