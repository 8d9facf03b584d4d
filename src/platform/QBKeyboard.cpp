// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBKeyboard.h"

#include <QGuiApplication>

#if defined(QB_HAVE_XKB) && QT_CONFIG(xcb)
// Xlib's headers define macros (Bool, None, Status ...) that clash with Qt's names: included last.
#include <X11/XKBlib.h>
#define QB_USE_XKB 1
#endif

std::optional<bool> QBReadLockState(TQBLockKey key)
{
#ifdef QB_USE_XKB
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return std::nullopt;
    // The keyboard's named indicators follow the lock state whatever the keymap's modifiers are,
    // and Scroll Lock has no modifier at all.
    static const char *const names[] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    const Atom atom = XInternAtom(display, names[key], True);
    if (atom == 0)
        return std::nullopt;
    int state = 0;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &state, nullptr, nullptr))
        return std::nullopt;
    return state != 0;
#else
    Q_UNUSED(key);
    return std::nullopt;
#endif
}
