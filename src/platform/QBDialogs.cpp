// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBDialogs.h"

#include "framework/NVKResourceSet.h"
#include "platform/QBAppShared.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QQueue>
#include <QRegularExpression>

#include <memory>

namespace {

struct TTestState
{
    QQueue<QMessageBox::StandardButton> answers;
    QQueue<QString> fileNames;
    QStringList shown;
    QStringList fileStarts;
};

TTestState &testState()
{
    static TTestState state;
    return state;
}

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                 QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    TTestState &state = testState();
    state.shown.append(text);
    if (!state.answers.isEmpty())
        return state.answers.dequeue();
    const std::unique_ptr<QMessageBox> box(QBDialogs::NewMessageBox(parent, icon, text, buttons));
    box->setDefaultButton(defaultButton);
    return QMessageBox::StandardButton(box->exec());
}

} // namespace

QMessageBox *QBDialogs::NewMessageBox(QWidget *parent, QMessageBox::Icon icon, const QString &text,
                                      QMessageBox::StandardButtons buttons)
{
    auto *box = new QMessageBox(icon, QApplication::applicationDisplayName(), text, buttons, parent);
    // Qt names the buttons in English; the language file may name them in its language.
    struct TButtonText
    {
        QMessageBox::StandardButton Button;
        const char *Name;
    };
    static const TButtonText names[] = {{QMessageBox::Yes, "SButtonYes"},
                                        {QMessageBox::No, "SButtonNo"},
                                        {QMessageBox::Cancel, "SButtonCancel"},
                                        {QMessageBox::Ok, "SButtonOK"}};
    if (const TNVKCustomResourceManager *localizer = QBAppLocalizer()) {
        for (const TButtonText &name : names) {
            QAbstractButton *button = box->button(name.Button);
            const QString translated =
                button ? localizer->GetString(QString::fromLatin1(name.Name), QString()) : QString();
            if (!translated.isEmpty())
                button->setText(translated);
        }
    }
    return box;
}

namespace {

QString fileDialog(QWidget *parent, QFileDialog::AcceptMode mode, const QString &filter, const QString &suffix,
                   const QString &initial)
{
    TTestState &state = testState();
    state.fileStarts.append(initial);
    if (!state.fileNames.isEmpty())
        return state.fileNames.dequeue();
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QBDialogs::QtFilter(filter));
    dialog.setDefaultSuffix(suffix);
    // A name typed without an extension takes the one of the file type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString &chosen) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = firstPattern.match(chosen);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    });
    if (!initial.isEmpty())
        dialog.selectFile(initial);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

namespace QBDialogs {

QMessageBox::StandardButton Question(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons)
{
    return show(parent, QMessageBox::Question, text, buttons, QMessageBox::Yes);
}

void Warning(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Warning, text, QMessageBox::Ok, QMessageBox::Ok);
}

void Information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, text, QMessageBox::Ok, QMessageBox::Ok);
}

QString OpenFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix, const QString &initial)
{
    return fileDialog(parent, QFileDialog::AcceptOpen, filter, defaultSuffix, initial);
}

QString SaveFileName(QWidget *parent, const QString &filter, const QString &defaultSuffix, const QString &proposed)
{
    return fileDialog(parent, QFileDialog::AcceptSave, filter, defaultSuffix, proposed);
}

QString QtFilter(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        // The name often repeats the patterns in brackets; Qt wants them there exactly once.
        const qsizetype bracket = name.indexOf(QLatin1String(" ("));
        if (bracket >= 0)
            name.truncate(bracket);
        filters.append(
            QStringLiteral("%1 (%2)").arg(name, QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '))));
    }
    return filters.join(QLatin1String(";;"));
}

void QueueAnswer(QMessageBox::StandardButton answer)
{
    testState().answers.enqueue(answer);
}

void QueueFileName(const QString &fileName)
{
    testState().fileNames.enqueue(fileName);
}

QStringList ShownTexts()
{
    return testState().shown;
}

QStringList FileDialogStarts()
{
    return testState().fileStarts;
}

void ClearTestState()
{
    testState() = TTestState();
}

} // namespace QBDialogs
