// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKIntf.h"
#include "document/QBDataIntf.h"

#include <QByteArray>

class QObject;

// The editor as the rest of the program sees it: article windows with their back and forward
// histories over the one shared editor. Indexes outside the window list raise EListError.
class IQBEditorService : public virtual INVKService
{
public:
    // Appends a window and its tab for article; the first window becomes active. Returns its index.
    virtual int OpenWindow(const IQBArticlePtr &article) = 0;
    // Closes a window (never the last one); closing the active window first activates its left
    // neighbour, or window 1 when it is window 0.
    virtual void CloseWindow(int index) = 0;
    // First window whose caption equals caption exactly; -1 when none.
    virtual int IndexOfCaption(const QString &caption) const = 0;
    // First window showing this very article; -1 when none.
    virtual int IndexOfArticle(const IQBArticlePtr &article) const = 0;
    virtual bool CanGoForward() const = 0;
    virtual bool CanGoBack() const = 0;
    virtual void GoBack() = 0;
    virtual void GoForward() = 0;
    // Captions of the articles GoBack and GoForward would show; empty when none.
    virtual QString BackCaption() const = 0;
    virtual QString ForwardCaption() const = 0;
    // The editor control (a TVtlRichEdit); null when none is attached.
    virtual QObject *EditorHandle() const = 0;
    // The selection as plain RTF; empty without an editor.
    virtual QByteArray SelectionRTF() const = 0;
    // Streams the text being edited back into its article when it changed; must run before
    // anything reads bodies from the document.
    virtual void StoreChanges() = 0;
    virtual int WindowCount() const = 0;
    // -1 when no window is active.
    virtual int ActiveWindowIndex() const = 0;
    // Makes a window active (storing the body left and loading the one shown) and selects its tab.
    virtual void ActivateWindow(int index) = 0;
    virtual QString WindowCaption(int index) const = 0;
    virtual IQBArticlePtr WindowArticle(int index) const = 0;
    // The active window's article; none without an active window.
    virtual IQBArticlePtr CurrentArticle() const = 0;
    // Shows article in the active window, recording the article left in the back history.
    virtual void NavigateTo(const IQBArticlePtr &article) = 0;
};
using IQBEditorServicePtr = std::shared_ptr<IQBEditorService>;

// The registered editor service; empty when none runs.
IQBEditorServicePtr EditorService();
