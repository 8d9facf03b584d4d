// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>

class QAction;
class QLabel;
class QListWidget;
class QTextBrowser;
class TNVKLocalizer;

// The help pages are HTML files in the "help" folder of the program's resources. Each window and dialog
// page has a help context number; the table in QBHelp.cpp maps it to a page.

// Shows the help window at its contents page; the one help window is reused.
void QBShowHelpContents(QWidget *parent);
// Shows the page of a help context; an unknown context shows the contents page.
void QBShowHelpContext(int context, QWidget *parent);

// The file name (inside the help folder) of a context's page; the contents page for unknown ones.
QString QBHelpPageForContext(int context);
// Every context number that has a page of its own, 0 (contents) first.
QList<int> QBHelpContexts();
// The pages of the contents list, in their order.
QStringList QBHelpContentsPages();

// Where the pages are read from: the "help" folder of the program's resources unless set otherwise.
QString QBHelpFolder();
void QBSetHelpFolder(const QString &folder);

// Gives a widget the help context that F1 opens for it and for everything inside it.
void QBSetHelpContext(QWidget *widget, int context);
// The context of the nearest widget, from this one up through its parents, that has one; in a
// dialog with tabs, the current tab's when the tab has one. 0 (the contents) when none has one.
int QBHelpContextOf(const QWidget *widget);

// The help-topic translator: while one exists, F1 anywhere in the program opens the help page of
// the window, pane or dialog the key was pressed in.
class TQBHelpTranslator final : public QObject
{
    Q_OBJECT

public:
    explicit TQBHelpTranslator(QObject *parent = nullptr);
    ~TQBHelpTranslator() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

class TFHelpViewer;
// The help window when one exists, else nullptr.
TFHelpViewer *QBHelpViewer();
// Closes and frees the help window, if any.
void QBCloseHelpViewer();

// The help window: the contents list on the left, the page on the right, with back, forward and home.
class TFHelpViewer final : public QWidget
{
    Q_OBJECT

public:
    explicit TFHelpViewer(QWidget *parent = nullptr);

    // Shows a page of the help folder; a page that does not exist shows a message instead.
    void ShowPage(const QString &page);
    // The file name of the page shown, or empty while a message is shown.
    QString CurrentPage() const;
    QString PageTitle() const;
    // True while the window shows a "not found" message rather than a page.
    bool ShowingMessage() const { return FShowingMessage; }
    QTextBrowser *Browser() const { return hbPage; }
    QListWidget *Contents() const { return lbContents; }

    // Where links that leave the help pages go; the desktop by default. Tests replace it.
    using TUrlOpener = void (*)(const QUrl &url);
    static void SetUrlOpener(TUrlOpener opener);

private:
    void FillContents();
    void Load(const QUrl &url);
    void ShowMessage(const QString &text);
    void UpdateState();
    void hbPageAnchorClicked(const QUrl &url);
    void lbContentsCurrentRowChanged(int row);

    QListWidget *lbContents = nullptr;
    QTextBrowser *hbPage = nullptr;
    QAction *aBack = nullptr;
    QAction *aForward = nullptr;
    QAction *aHome = nullptr;
    TNVKLocalizer *xlHelp = nullptr;
    bool FShowingMessage = false;
    bool FSyncingContents = false;
};
