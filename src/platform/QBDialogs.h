// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>

class QWidget;

// Message boxes and file dialogs go through here, so that tests can answer them in advance:
// a queued answer is taken instead of showing the window.
namespace QBDialogs {

// A message box over parent with the program's title, its buttons named in the program's language.
QMessageBox *NewMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                           QMessageBox::StandardButtons buttons);

// Shows a question; returns the button chosen.
QMessageBox::StandardButton Question(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons);
void Warning(QWidget *parent, const QString &text);
void Information(QWidget *parent, const QString &text);

// The file chosen, or empty when cancelled. filter uses "Name|*.a;*.b|Other|*.c" pairs.
QString OpenFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix,
                     const QString &initial = QString());
QString SaveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix, const QString &proposed);

// "Name|*.a;*.b|Other|*.c" as Qt writes filters: "Name (*.a *.b);;Other (*.c)".
QString QtFilter(const QString &filter);

// Test hooks: answers taken in order by the next message boxes and file dialogs, and what
// those would have shown.
void QueueAnswer(QMessageBox::StandardButton answer);
void QueueFileName(const QString &fileName);
QStringList ShownTexts();
// The initial name or folder each file dialog was given, in order.
QStringList FileDialogStarts();
void ClearTestState();

} // namespace QBDialogs
