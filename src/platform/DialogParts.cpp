// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "DialogParts.h"

#include "platform/NVKLocalizer.h"
#include "platform/QBAppShared.h"

#include <QHBoxLayout>
#include <QPushButton>

QPushButton *QBNewButton(QWidget *owner, const char *name, const char *caption)
{
    auto *button = new QPushButton(QString::fromUtf8(caption), owner);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QHBoxLayout *QBButtonRow(std::initializer_list<QPushButton *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons)
        row->addWidget(button);
    return row;
}

TNVKLocalizer *QBNewLocalizer(QWidget *owner, const char *name)
{
    auto *localizer = new TNVKLocalizer(owner);
    localizer->setObjectName(QString::fromLatin1(name));
    if (TNVKResourceSet *resources = QBAppShared().ResourceSet)
        localizer->SetResourceSet(resources);
    return localizer;
}
