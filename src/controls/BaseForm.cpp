// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "BaseForm.h"

#include "services/QBSettingsSvc.h"
#include "services/Registry.h"

#include <QGuiApplication>
#include <QHideEvent>
#include <QScreen>

TBaseForm::TBaseForm(QWidget *parent) : QMainWindow(parent) {}

QString TBaseForm::FormKey() const
{
    const IQBSettingsServicePtr settings = SettingsService();
    const QString base = settings ? settings->GetRegistryKey() : QStringLiteral("Software\\Brindlewood\\Quillbox\\");
    return base + QStringLiteral("Forms\\") + QString::fromLatin1(metaObject()->className()) + QLatin1Char('\\');
}

void TBaseForm::SaveState()
{
    TRegistry registry;
    registry.OpenKey(FormKey(), true);
    SaveState(registry);
    registry.CloseKey();
}

void TBaseForm::RestoreState()
{
    TRegistry registry;
    if (!registry.OpenKeyReadOnly(FormKey()))
        return;
    RestoreState(registry);
}

void TBaseForm::SaveState(TRegistry &registry)
{
    const bool maximized = isMaximized();
    if (FSaveOptions & soState)
        registry.WriteBool(QStringLiteral("Maximized"), maximized);
    // A maximised window leaves its normal size and place in the registry as they were.
    if (!maximized) {
        const QRect frame = geometry();
        if (FSaveOptions & soSize) {
            registry.WriteInteger(QStringLiteral("Width"), frame.width());
            registry.WriteInteger(QStringLiteral("Height"), frame.height());
        }
        if (FSaveOptions & soPosition) {
            registry.WriteInteger(QStringLiteral("Top"), frame.top());
            registry.WriteInteger(QStringLiteral("Left"), frame.left());
        }
    }
    DoSaveState(registry);
}

void TBaseForm::RestoreState(TRegistry &registry)
{
    // Each group in its own guard: a missing value ends that group only.
    if (FSaveOptions & soSize) {
        try {
            const int width = registry.ReadInteger(QStringLiteral("Width"));
            const int height = registry.ReadInteger(QStringLiteral("Height"));
            if (width > 0 && height > 0)
                resize(width, height);
        } catch (const ERegistryException &) {
        }
    }
    if (FSaveOptions & soPosition) {
        try {
            const int top = registry.ReadInteger(QStringLiteral("Top"));
            const int left = registry.ReadInteger(QStringLiteral("Left"));
            // A place on a screen that is no longer attached would hide the window.
            const QRect wanted(QPoint(left, top), size());
            bool visible = false;
            for (const QScreen *screen : QGuiApplication::screens())
                visible = visible || screen->availableGeometry().intersects(wanted);
            if (visible)
                move(left, top);
        } catch (const ERegistryException &) {
        }
    }
    if (FSaveOptions & soState) {
        try {
            if (registry.ReadBool(QStringLiteral("Maximized")))
                setWindowState(windowState() | Qt::WindowMaximized);
        } catch (const ERegistryException &) {
        }
    }
    DoRestoreState(registry);
}

void TBaseForm::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        RestoreState();
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        Q_EMIT systemSettingChanged();
}

void TBaseForm::hideEvent(QHideEvent *event)
{
    // Minimising also hides; only a real hide saves.
    if (!event->spontaneous()) {
        try {
            SaveState();
        } catch (...) {
            // Losing the layout must never keep a window from closing.
        }
    }
    QMainWindow::hideEvent(event);
}

bool TBaseForm::event(QEvent *event)
{
    const bool result = QMainWindow::event(event);
    switch (event->type()) {
    case QEvent::ThemeChange:
    case QEvent::ApplicationFontChange:
    case QEvent::StyleChange:
        Q_EMIT systemSettingChanged();
        break;
    default:
        break;
    }
    return result;
}
