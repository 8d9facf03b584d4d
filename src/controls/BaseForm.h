// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>

class TRegistry;

enum TSaveStateOption { soSize = 1, soPosition = 2, soState = 4 };

// A form that remembers its size, position and maximised state under the registry key
// "Forms\" + its class name: restored when it is shown, saved when it is hidden.
class TBaseForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit TBaseForm(QWidget *parent = nullptr);

    int SaveOptions() const { return FSaveOptions; }
    void SetSaveOptions(int options) { FSaveOptions = options; }

    // The form's key below the program's registry key.
    QString FormKey() const;

    void SaveState();
    void RestoreState();

Q_SIGNALS:
    // After the base wrote or read its own values; the registry's current key is the form key.
    void stateSaved(TRegistry &registry);
    void stateRestored(TRegistry &registry);
    // After the form was shown and restored, and whenever the desktop's fonts, style or theme change.
    void systemSettingChanged();

protected:
    virtual void SaveState(TRegistry &registry);
    virtual void RestoreState(TRegistry &registry);
    virtual void DoSaveState(TRegistry &registry) { Q_EMIT stateSaved(registry); }
    virtual void DoRestoreState(TRegistry &registry) { Q_EMIT stateRestored(registry); }

    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;

private:
    int FSaveOptions = soSize | soPosition | soState;
};
