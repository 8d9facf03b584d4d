// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <initializer_list>

class QHBoxLayout;
class QPushButton;
class QWidget;
class TNVKLocalizer;

// A push button that language files and tests find by its name.
QPushButton *QBNewButton(QWidget *owner, const char *name, const char *caption);
// The buttons at a dialog's foot, right-aligned in the order given.
QHBoxLayout *QBButtonRow(std::initializer_list<QPushButton *> buttons);
// A dialog's localizer over the program's language resources; its Loaded runs once the controls exist.
TNVKLocalizer *QBNewLocalizer(QWidget *owner, const char *name);
